#pragma once

#include <QByteArray>
#include <QString>

class RichTextPad;

// The one way a document reaches the disk. Under a name ending in ".rtf" (in any
// case) the pad's content goes out as RTF with its formatting, pictures and
// tables; under any other name as the pad's plain text followed by one line end,
// as UTF-8 with "\n" line ends. The bytes go to a temporary file that then replaces
// the target, so a failed write leaves the previous file as it was.
namespace DocumentFile {

// The bytes written for a plain text.
QByteArray format(const QString &plainText);

// Whether a document saved under this name is written as RTF.
bool isRichTextName(const QString &path);

// Returns false on failure, with the reason in *error when given; the file that was
// there before is then left as it was.
bool write(const QString &path, const RichTextPad &pad, QString *error = nullptr);

} // namespace DocumentFile
