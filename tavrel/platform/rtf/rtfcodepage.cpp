#include "platform/rtf/rtfcodepage.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace Rtf {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
const iconv_t kNoConverter = iconv_t(-1);

// The Symbol font's characters from 0x20 on (the Adobe Symbol encoding); the few
// bytes it leaves unassigned keep their own value.
constexpr char16_t kSymbolFont[224] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220D,
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    0xF8E5, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0x007F,
    0x0080, 0x0081, 0x0082, 0x0083, 0x0084, 0x0085, 0x0086, 0x0087,
    0x0088, 0x0089, 0x008A, 0x008B, 0x008C, 0x008D, 0x008E, 0x008F,
    0x0090, 0x0091, 0x0092, 0x0093, 0x0094, 0x0095, 0x0096, 0x0097,
    0x0098, 0x0099, 0x009A, 0x009B, 0x009C, 0x009D, 0x009E, 0x009F,
    0x00A0, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0xF8E6, 0xF8E7, 0x21B5,
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    0x22C4, 0x2329, 0xF8E8, 0xF8E9, 0xF8EA, 0x2211, 0xF8EB, 0xF8EC,
    0xF8ED, 0xF8EE, 0xF8EF, 0xF8F0, 0xF8F1, 0xF8F2, 0xF8F3, 0xF8F4,
    0xF8FF, 0x232A, 0x222B, 0x2320, 0xF8F5, 0x2321, 0xF8F6, 0xF8F7,
    0xF8F8, 0xF8F9, 0xF8FA, 0xF8FB, 0xF8FC, 0xF8FD, 0xF8FE, 0x00FF,
};

const char *utf16Name()
{
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// iconv's name for a Windows code page.
std::string iconvName(int codePage)
{
    switch (codePage) {
    case 10000: return "MACINTOSH";
    case 10001: return "SHIFT_JIS";
    case 10002: return "BIG5";
    case 10003: return "EUC-KR";
    case 10007: return "MAC-CYRILLIC";
    case 10008: return "GB2312";
    case 10017: return "MACUKRAINIAN";
    case 10029: return "MAC-CENTRALEUROPE";
    case 10079: return "MAC-IS";
    case 1361: return "JOHAB";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 20932:
    case 51932: return "EUC-JP";
    case 51936: return "EUC-CN";
    case 51949: return "EUC-KR";
    case 54936: return "GB18030";
    case 65001: return "UTF-8";
    default: break;
    }
    if (codePage >= 28591 && codePage <= 28606)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

bool isControl(char16_t c)
{
    return c < 0x20 && c != u'\t';
}

// Code points Unicode keeps out of text; Qt uses two of them to mark frames.
bool isNonCharacter(char16_t c)
{
    return (c >= 0xFDD0 && c <= 0xFDEF) || c >= 0xFFFE;
}

} // namespace

struct CodePageDecoder::Converter
{
    int codePage = 0;
    iconv_t cd = kNoConverter;
    bool multiByte = false;
    // Single-byte code pages: the character of each byte, 0 for one to drop.
    std::array<char16_t, 256> table{};
};

CodePageDecoder::CodePageDecoder() = default;

CodePageDecoder::~CodePageDecoder()
{
    for (const auto &c : m_converters) {
        if (c->cd != kNoConverter)
            iconv_close(c->cd);
    }
}

bool CodePageDecoder::isMultiByte(int codePage)
{
    switch (codePage) {
    case 932: case 936: case 949: case 950: case 1361:
    case 10001: case 10002: case 10003: case 10008:
    case 20932: case 51932: case 51936: case 51949: case 54936:
    case 65001:
        return true;
    default:
        return false;
    }
}

char16_t CodePageDecoder::symbolCharacter(std::uint8_t byte)
{
    return byte < 0x20 ? char16_t(byte) : kSymbolFont[byte - 0x20];
}

int CodePageDecoder::codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;    // ANSI
    case 2: return 1252;    // symbol fonts other than Symbol itself: no better guess
    case 77: return 10000;  // Mac Roman
    case 78: return 10001;  // Mac Japanese
    case 79: return 10003;  // Mac Korean
    case 80: return 10008;  // Mac Simplified Chinese
    case 81: return 10002;  // Mac Traditional Chinese
    case 89: return 10007;  // Mac Cyrillic
    case 128: return 932;   // Shift JIS
    case 129: return 949;   // Hangul
    case 130: return 1361;  // Johab
    case 134: return 936;   // GB2312 / GBK
    case 136: return 950;   // Big5
    case 161: return 1253;  // Greek
    case 162: return 1254;  // Turkish
    case 163: return 1258;  // Vietnamese
    case 177: return 1255;  // Hebrew
    case 178: return 1256;  // Arabic
    case 186: return 1257;  // Baltic
    case 204: return 1251;  // Russian
    case 222: return 874;   // Thai
    case 238: return 1250;  // Eastern European
    case 254: return 437;   // PC 437
    case 255: return 850;   // OEM
    default: return 0;      // 1 (default) and anything unknown
    }
}

bool CodePageDecoder::isKnown(int codePage)
{
    switch (codePage) {
    case kSymbolCodePage:
    case 437: case 737: case 775: case 850: case 852: case 855: case 857: case 860:
    case 861: case 862: case 863: case 864: case 865: case 866: case 869: case 874:
    case 932: case 936: case 949: case 950: case 1250: case 1251: case 1252: case 1253:
    case 1254: case 1255: case 1256: case 1257: case 1258: case 1361:
    case 10000: case 10001: case 10002: case 10003: case 10007: case 10008: case 10017:
    case 10029: case 10079: case 20866: case 21866: case 20932: case 51932: case 51936:
    case 51949: case 54936: case 65001:
        return true;
    default:
        return codePage >= 28591 && codePage <= 28606;
    }
}

CodePageDecoder::Converter &CodePageDecoder::converter(int codePage)
{
    if (m_last && m_last->codePage == codePage)
        return *m_last;
    // Anything else reads as Windows-1252; this also keeps the converters few,
    // whatever numbers a file throws at the reader.
    if (!isKnown(codePage))
        codePage = 1252;
    for (const auto &c : m_converters) {
        if (c->codePage == codePage) {
            m_last = c.get();
            return *m_last;
        }
    }
    auto c = std::make_unique<Converter>();
    c->codePage = codePage;
    if (codePage == kSymbolCodePage) {
        for (int b = 0; b < 256; ++b)
            c->table[b] = isControl(char16_t(b)) ? 0 : symbolCharacter(std::uint8_t(b));
        m_converters.push_back(std::move(c));
        m_last = m_converters.back().get();
        return *m_last;
    }
    c->cd = iconv_open(utf16Name(), iconvName(codePage).c_str());
    if (c->cd == kNoConverter && codePage != 1252) {
        // A code page iconv does not know reads as Windows-1252.
        Converter &fallback = converter(1252);
        c->table = fallback.table;
    } else if (isMultiByte(codePage)) {
        c->multiByte = true;
    } else {
        for (int b = 0; b < 256; ++b) {
            char in = char(b);
            char16_t out = 0;
            char *inPtr = &in;
            size_t inLeft = 1;
            char *outPtr = reinterpret_cast<char *>(&out);
            size_t outLeft = sizeof out;
            iconv(c->cd, nullptr, nullptr, nullptr, nullptr);
            const bool ok = c->cd != kNoConverter
                && iconv(c->cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1)
                && outLeft == 0;
            // Bytes the code page leaves unassigned keep their own value, as
            // Windows does.
            c->table[b] = ok ? out : char16_t(b);
            if (isControl(c->table[b]))
                c->table[b] = 0;
        }
    }
    m_converters.push_back(std::move(c));
    m_last = m_converters.back().get();
    return *m_last;
}

void CodePageDecoder::decode(int codePage, std::string_view bytes, std::u16string &out)
{
    if (bytes.empty())
        return;
    Converter &c = converter(codePage);
    if (c.multiByte) {
        decodeMultiByte(c, bytes, out);
        return;
    }
    const std::size_t old = out.size();
    out.resize(old + bytes.size());
    char16_t *d = out.data() + old;
    for (const char b : bytes) {
        const char16_t u = c.table[std::uint8_t(b)];
        *d = u;
        d += u != 0;
    }
    out.resize(std::size_t(d - out.data()));
}

void CodePageDecoder::decodeMultiByte(Converter &c, std::string_view bytes, std::u16string &out)
{
    const std::size_t old = out.size();
    // No code page here yields more UTF-16 units than it takes bytes.
    out.resize(old + bytes.size() + 2);
    std::size_t written = old;
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = bytes.size();
    iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        char *outPtr = reinterpret_cast<char *>(out.data() + written);
        size_t outLeft = (out.size() - written) * sizeof(char16_t);
        const size_t result = iconv(c.cd, &in, &inLeft, &outPtr, &outLeft);
        written = std::size_t(reinterpret_cast<char16_t *>(outPtr) - out.data());
        if (result != size_t(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() + inLeft + 2);
            continue;
        }
        // A byte that starts no character, or a character cut off at the end.
        if (written >= out.size())
            out.resize(out.size() + inLeft + 2);
        out[written++] = kReplacement;
        ++in;
        --inLeft;
        iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush whatever a stateful code page still holds.
    for (;;) {
        if (out.size() - written < 4)
            out.resize(written + 8);
        char *outPtr = reinterpret_cast<char *>(out.data() + written);
        size_t outLeft = (out.size() - written) * sizeof(char16_t);
        const size_t result = iconv(c.cd, nullptr, nullptr, &outPtr, &outLeft);
        written = std::size_t(reinterpret_cast<char16_t *>(outPtr) - out.data());
        if (result != size_t(-1) || errno != E2BIG)
            break;
    }
    std::size_t keep = old;
    for (std::size_t i = old; i < written; ++i) {
        if (isControl(out[i]))
            continue;
        out[keep++] = isNonCharacter(out[i]) ? kReplacement : out[i];
    }
    out.resize(keep);
}

} // namespace Rtf
