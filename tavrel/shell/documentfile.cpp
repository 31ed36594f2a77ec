#include "shell/documentfile.h"

#include "platform/richtextpad.h"
#include "platform/textcodec.h"
#include "shell/safewrite.h"

namespace DocumentFile {

QByteArray format(const QString &plainText)
{
    return TextCodec::encode(plainText + QLatin1Char('\n'));
}

bool isRichTextName(const QString &path)
{
    return path.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
}

bool write(const QString &path, const RichTextPad &pad, QString *error)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("No file name was given.");
        return false;
    }
    return SafeWrite::writeFile(path, isRichTextName(path) ? pad.toRtf() : format(pad.text()),
                                error);
}

} // namespace DocumentFile
