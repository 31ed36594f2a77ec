#include "speech/exportprogress.h"

#include <algorithm>
#include <cmath>

namespace ExportProgress {

QString describe(double share, qint64 elapsedMs)
{
    const double done = std::clamp(share, 0.0, 1.0);
    QString text = QStringLiteral("%1% done").arg(int(std::floor(done * 100.0)));
    // Too early a guess swings wildly: none before a percent and a second.
    if (done >= 0.01 && done < 1.0 && elapsedMs >= 1000) {
        const qint64 left = qint64(std::ceil(elapsedMs / 1000.0 * (1.0 - done) / done));
        text += QStringLiteral(", about %1:%2 left")
                    .arg(left / 60)
                    .arg(left % 60, 2, 10, QLatin1Char('0'));
    }
    return text;
}

} // namespace ExportProgress
