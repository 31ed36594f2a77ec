#include "platform/textcodec.h"

#include "platform/windows1252.h"

#include <QStringDecoder>

#include <algorithm>

namespace TextCodec {

namespace {

// Length of the valid UTF-8 sequence starting at i, or 0 when it is not one
// (overlong forms, surrogates and values above U+10FFFF are not valid).
int utf8SequenceLength(const unsigned char *p, qsizetype i, qsizetype n, char32_t *out)
{
    const unsigned char b0 = p[i];
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        *out = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2; cp = b0 & 0x1F; min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3; cp = b0 & 0x0F; min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4; cp = b0 & 0x07; min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > n)
        return 0;
    for (int k = 1; k < len; ++k) {
        const unsigned char b = p[i + k];
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    *out = cp;
    return len;
}

} // namespace

QChar fromWindows1252(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(Windows1252::kHigh[byte - 0x80]);
    return QChar(byte);
}

Decoder::Decoder(qint64 expectedBytes)
{
    // UTF-8 never takes fewer bytes than characters; Qt's decoder asks for room for
    // one more than it writes.
    if (expectedBytes > 0)
        m_text.reserve(qsizetype(expectedBytes) + 1);
}

void Decoder::add(QByteArrayView bytes)
{
    // Large inputs go in pieces, so that nothing beside the text grows with them.
    constexpr qsizetype kPiece = qsizetype(1) << 22;
    while (!bytes.isEmpty()) {
        const QByteArrayView part = bytes.first(qMin(bytes.size(), kPiece));
        bytes = bytes.sliced(part.size());
        QByteArray joined;
        QByteArrayView piece = part;
        if (!m_held.isEmpty()) {
            joined = m_held + part.toByteArray();
            m_held.clear();
            piece = joined;
        }
        // A sequence the next bytes finish, or a "\r" they may follow with "\n", waits
        // for them.
        qsizetype cut = piece.size();
        for (qsizetype k = cut - 1; k >= 0 && k >= cut - 4; --k) {
            const auto b = static_cast<unsigned char>(piece[k]);
            if ((b & 0xC0) == 0x80)
                continue;
            const int need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            if (k + need > cut)
                cut = k;
            break;
        }
        if (cut > 0 && piece[cut - 1] == '\r')
            --cut;
        m_held = piece.sliced(cut).toByteArray();
        decodePiece(piece.first(cut));
    }
}

QString Decoder::finish()
{
    decodePiece(m_held);
    m_held.clear();
    return std::move(m_text);
}

void Decoder::decodePiece(QByteArrayView piece)
{
    if (!m_started && !piece.isEmpty()) {
        // A byte order mark starts the file only.
        if (piece.startsWith("\xEF\xBB\xBF"))
            piece = piece.sliced(3);
        m_started = true;
    }
    if (piece.isEmpty())
        return;
    const qsizetype before = m_text.size();
    // Most files are valid UTF-8 throughout: Qt's decoder does those far faster than
    // the byte-by-byte walk below, which is kept for pieces that mix in other bytes.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    m_text.resize(before + utf8.requiredSpace(piece.size()));
    QChar *end = utf8.appendToBuffer(m_text.data() + before, piece);
    if (!utf8.hasError()) {
        m_text.truncate(end - m_text.constData());
        // Line ends become "\n", in place.
        QChar *write = m_text.data() + before;
        const QChar *stop = m_text.constData() + m_text.size();
        if (std::find(static_cast<const QChar *>(write), stop, QLatin1Char('\r')) == stop)
            return;
        for (const QChar *read = write; read != stop; ++read) {
            if (*read == u'\r') {
                *write++ = u'\n';
                if (read + 1 != stop && read[1] == u'\n')
                    ++read;
            } else {
                *write++ = *read;
            }
        }
        m_text.truncate(write - m_text.constData());
        return;
    }

    m_text.truncate(before);
    const auto *p = reinterpret_cast<const unsigned char *>(piece.data());
    const qsizetype n = piece.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b == '\r') {
            m_text.append(QLatin1Char('\n'));
            i += (i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        char32_t cp = 0;
        const int len = utf8SequenceLength(p, i, n, &cp);
        if (len == 0) {
            m_text.append(fromWindows1252(b));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            m_text.append(QChar(char16_t(0xD800 + ((cp - 0x10000) >> 10))));
            m_text.append(QChar(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF))));
        } else {
            m_text.append(QChar(char16_t(cp)));
        }
        i += len;
    }
}

QString decode(const QByteArray &bytes)
{
    Decoder decoder(bytes.size());
    decoder.add(bytes);
    return decoder.finish();
}

QByteArray encode(const QString &text)
{
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalised.toUtf8();
}

} // namespace TextCodec
