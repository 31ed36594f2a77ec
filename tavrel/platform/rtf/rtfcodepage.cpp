#include "platform/rtf/rtfcodepage.h"

#include "platform/symbolfonts.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace Rtf {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
const iconv_t kNoConverter = iconv_t(-1);

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
    // The few bytes the font leaves without a character keep their own value.
    const char16_t c = SymbolFonts::character(SymbolFonts::Layout::Symbol, byte);
    return c ? c : char16_t(byte);
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
