#pragma once

#include <QByteArray>
#include <QString>

// The one way a document reaches the disk: the pad's plain text followed by one line
// end, as UTF-8 with "\n" line ends. The text goes to a temporary file that then
// replaces the target, so a failed write leaves the previous file as it was.
namespace DocumentFile {

// The bytes written for a plain text.
QByteArray format(const QString &plainText);

// Returns false on failure, with the reason in *error when given; the file that was
// there before is then left as it was.
bool write(const QString &path, const QString &plainText, QString *error = nullptr);

} // namespace DocumentFile
