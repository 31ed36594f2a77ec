#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace TextCodec {

// Decodes the bytes of a text file: UTF-8 where the bytes are valid UTF-8 (a byte
// order mark is dropped), Windows-1252 for each byte that is not. Line ends
// "\r\n", "\r" and "\n" all become "\n".
QString decode(const QByteArray &bytes);

// Decodes a text file given in pieces as they are read, as decode() does the whole:
// a large file's bytes need not be held beside its text.
class Decoder
{
public:
    // Room for the text of a file of that many bytes is taken at once.
    explicit Decoder(qint64 expectedBytes = 0);
    void add(QByteArrayView bytes);
    // The text; the decoder is used up.
    QString finish();

private:
    void decodePiece(QByteArrayView piece);

    QString m_text;
    // The end of the bytes so far, when the next bytes decide how it reads.
    QByteArray m_held;
    bool m_started = false;
};

// Encodes text for writing: UTF-8 with "\n" line ends.
QByteArray encode(const QString &text);

// Windows-1252 of one byte: 0x80 to 0x9F hold the typographic characters; the
// few unassigned bytes map to the C1 control of the same value.
QChar fromWindows1252(unsigned char byte);

} // namespace TextCodec
