#include "shell/documentfile.h"

#include "platform/textcodec.h"
#include "shell/safewrite.h"

namespace DocumentFile {

QByteArray format(const QString &plainText)
{
    return TextCodec::encode(plainText + QLatin1Char('\n'));
}

bool write(const QString &path, const QString &plainText, QString *error)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("No file name was given.");
        return false;
    }
    return SafeWrite::writeFile(path, format(plainText), error);
}

} // namespace DocumentFile
