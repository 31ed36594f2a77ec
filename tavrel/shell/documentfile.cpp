#include "shell/documentfile.h"

#include "platform/textcodec.h"

#include <QSaveFile>

namespace DocumentFile {

bool write(const QString &path, const QString &plainText, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = TextCodec::encode(plainText + QLatin1Char('\n'));
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace DocumentFile
