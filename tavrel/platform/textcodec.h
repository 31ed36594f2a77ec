#pragma once

#include <QByteArray>
#include <QString>

namespace TextCodec {

// Decodes the bytes of a text file: UTF-8 where the bytes are valid UTF-8 (a byte
// order mark is dropped), Windows-1252 for each byte that is not. Line ends
// "\r\n", "\r" and "\n" all become "\n".
QString decode(const QByteArray &bytes);

// Encodes text for writing: UTF-8 with "\n" line ends.
QByteArray encode(const QString &text);

// Windows-1252 of one byte: 0x80 to 0x9F hold the typographic characters; the
// few unassigned bytes map to the C1 control of the same value.
QChar fromWindows1252(unsigned char byte);

} // namespace TextCodec
