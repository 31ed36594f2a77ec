#include "formatting/screenfonts.h"

#include <QFontDatabase>

#include <algorithm>

namespace ScreenFonts {

QString plainName(const QString &family)
{
    const qsizetype bracket = family.lastIndexOf(QLatin1String(" ["));
    if (bracket > 0 && family.endsWith(QLatin1Char(']')))
        return family.left(bracket);
    return family;
}

QStringList families()
{
    QStringList names;
    const QStringList all = QFontDatabase::families();
    names.reserve(all.size());
    for (const QString &family : all) {
        if (!QFontDatabase::isPrivateFamily(family))
            names << plainName(family);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace ScreenFonts
