#include "platform/textcodec.h"

#include "platform/windows1252.h"

#include <QStringDecoder>

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

QString decode(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        i = 3;

    // Most files are valid UTF-8 throughout: Qt's decoder does those far faster than
    // the byte-by-byte walk below, which is kept for files that mix in other bytes.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString fast = utf8.decode(QByteArrayView(bytes).sliced(i));
    if (!utf8.hasError()) {
        if (fast.contains(QLatin1Char('\r'))) {
            fast.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            fast.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        }
        return fast;
    }

    QString out;
    out.reserve(n - i);
    while (i < n) {
        const unsigned char b = p[i];
        if (b == '\r') {
            out.append(QLatin1Char('\n'));
            i += (i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        char32_t cp = 0;
        const int len = utf8SequenceLength(p, i, n, &cp);
        if (len == 0) {
            out.append(fromWindows1252(b));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            const char16_t high = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            const char16_t low = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
            out.append(QChar(high));
            out.append(QChar(low));
        } else {
            out.append(QChar(char16_t(cp)));
        }
        i += len;
    }
    return out;
}

QByteArray encode(const QString &text)
{
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalised.toUtf8();
}

} // namespace TextCodec
