#include "platform/rtf/rtfwriter.h"

#include "platform/windows1252.h"

#include <array>
#include <charconv>

namespace Rtf {

namespace {

// ASCII characters that go out as they are.
constexpr std::array<bool, 128> kPlain = [] {
    std::array<bool, 128> plain{};
    for (int c = 0x20; c < 0x7F; ++c)
        plain[std::size_t(c)] = c != '\\' && c != '{' && c != '}';
    return plain;
}();

constexpr char kHexDigits[] = "0123456789abcdef";
// Picture data goes out in lines of this many hexadecimal digits.
constexpr std::size_t kHexLine = 128;

void appendNumber(std::string &out, long long value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, std::size_t(end - digits));
}

void appendWord(std::string &out, std::string_view word, long long value)
{
    out += word;
    appendNumber(out, value);
}

bool isNonCharacter(char16_t c)
{
    return (c >= 0xFDD0 && c <= 0xFDEF) || c >= 0xFFFE;
}

// Text as RTF: braces and backslashes escaped, Windows-1252 characters beyond
// ASCII as \'hh, any other character as \uN with "?" for readers without Unicode.
// In a font name a semicolon would end the name and a tab has no control word, so
// both go out as \uN there.
void appendText(std::string &out, std::u16string_view text, bool fontName)
{
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t start = i;
        while (i < n && text[i] < 0x80 && kPlain[text[i]] && !(fontName && text[i] == u';'))
            ++i;
        if (i > start) {
            const std::size_t old = out.size();
            out.resize(old + (i - start));
            for (std::size_t k = start; k < i; ++k)
                out[old + k - start] = char(text[k]);
        }
        if (i == n)
            break;
        const char16_t c = text[i++];
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t' && !fontName) {
            out += "\\tab ";
        } else if (c == 0x2028 && !fontName) {
            out += "\\line ";
        } else if (fontName && (c == u';' || c == u'\t')) {
            appendWord(out, "\\u", c);
            out += '?';
        } else if ((c < 0x20 && c != u'\t') || isNonCharacter(c)) {
            // No text: control characters and the marks Qt keeps round frames.
        } else if (const std::uint8_t byte = Windows1252::byteOf(c)) {
            out += "\\'";
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        } else {
            // \u takes a signed 16-bit number; a character beyond the first 64K
            // goes out as its two surrogates.
            appendWord(out, "\\u", c < 0x8000 ? int(c) : int(c) - 0x10000);
            out += '?';
        }
    }
}

const char *pictureKeyword(PictureType type)
{
    switch (type) {
    case PictureType::Png: return "\\pngblip";
    case PictureType::Jpeg: return "\\jpegblip";
    case PictureType::Dib: return "\\dibitmap0";
    case PictureType::Wmf: return "\\wmetafile8";
    case PictureType::Emf: return "\\emfblip";
    case PictureType::Other: break;
    }
    return nullptr;
}

} // namespace

Writer::Writer() = default;
Writer::~Writer() = default;

void Writer::setDefaultFont(std::u16string_view family)
{
    if (!m_fonts.empty())
        return;
    fontIndex(family);
    m_hasDefaultFont = true;
}

int Writer::fontIndex(std::u16string_view family)
{
    const auto known = m_fontIndex.find(family);
    if (known != m_fontIndex.end())
        return known->second;
    m_fonts.push_back(std::make_unique<std::u16string>(family));
    const int index = int(m_fonts.size() - 1);
    m_fontIndex.emplace(*m_fonts.back(), index);
    return index;
}

int Writer::colorIndex(Color color)
{
    const std::uint32_t key = std::uint32_t(color.red) | std::uint32_t(color.green) << 8
                              | std::uint32_t(color.blue) << 16;
    const auto known = m_colorIndex.find(key);
    if (known != m_colorIndex.end())
        return known->second;
    m_colors.push_back(color);
    // Entry 0 of the table is the automatic colour.
    const int index = int(m_colors.size());
    m_colorIndex.emplace(key, index);
    return index;
}

void Writer::useFormat(const CharFormat &format)
{
    if (m_hasCurrent && format == m_current)
        return;
    std::string &out = m_paragraph;
    // Only what changes goes out, but RTF has no word that takes a run back to the
    // default font or size: \plain does, and then everything is given anew.
    static const CharFormat plain;
    const bool reset = !m_hasCurrent
                       || (format.fontFamily.empty() && !m_current.fontFamily.empty())
                       || (format.halfPoints == 0 && m_current.halfPoints != 0);
    const CharFormat &was = reset ? plain : m_current;
    if (reset)
        out += "\\plain";
    const auto flag = [&out](bool now, bool before, std::string_view on, std::string_view off) {
        if (now != before)
            out += now ? on : off;
    };

    std::u16string_view family;
    if (!format.fontFamily.empty()) {
        const int font = fontIndex(format.fontFamily);
        family = *m_fonts[std::size_t(font)];
        if (family != was.fontFamily)
            appendWord(out, "\\f", font);
    }
    if (format.halfPoints != was.halfPoints)
        appendWord(out, "\\fs", format.halfPoints);
    flag(format.bold, was.bold, "\\b", "\\b0");
    flag(format.italic, was.italic, "\\i", "\\i0");
    flag(format.strike, was.strike, "\\strike", "\\strike0");
    if (format.underline != was.underline) {
        switch (format.underline) {
        case Underline::None: out += "\\ulnone"; break;
        case Underline::Single: out += "\\ul"; break;
        case Underline::Double: out += "\\uldb"; break;
        case Underline::Dotted: out += "\\uld"; break;
        case Underline::Dashed: out += "\\uldash"; break;
        case Underline::DashDot: out += "\\uldashd"; break;
        case Underline::DashDotDot: out += "\\uldashdd"; break;
        case Underline::Wave: out += "\\ulwave"; break;
        }
    }
    if (format.hasColor != was.hasColor || (format.hasColor && format.color != was.color))
        appendWord(out, "\\cf", format.hasColor ? colorIndex(format.color) : 0);
    if (format.hasBackground != was.hasBackground
        || (format.hasBackground && format.background != was.background)) {
        appendWord(out, "\\chshdng0\\chcbpat",
                   format.hasBackground ? colorIndex(format.background) : 0);
    }
    if (format.vertical != was.vertical) {
        switch (format.vertical) {
        case VerticalPosition::Normal: out += "\\nosupersub"; break;
        case VerticalPosition::Superscript: out += "\\super"; break;
        case VerticalPosition::Subscript: out += "\\sub"; break;
        }
    }
    if (format.offsetHalfPoints != was.offsetHalfPoints) {
        if (format.offsetHalfPoints < 0)
            appendWord(out, "\\dn", -static_cast<long long>(format.offsetHalfPoints));
        else
            appendWord(out, "\\up", format.offsetHalfPoints);
    }
    out += ' ';
    m_current = format;
    m_current.fontFamily = family;
    m_hasCurrent = true;
}

void Writer::text(std::u16string_view text, const CharFormat &format)
{
    if (text.empty())
        return;
    useFormat(format);
    appendText(m_paragraph, text, false);
}

void Writer::picture(const Picture &picture, const CharFormat &format)
{
    const char *keyword = pictureKeyword(picture.type);
    if (!keyword)
        return; // a kind of picture this writer cannot describe
    useFormat(format);
    std::string &out = m_paragraph;
    out += "{\\pict";
    out += keyword;
    if (picture.width > 0)
        appendWord(out, "\\picw", picture.width);
    if (picture.height > 0)
        appendWord(out, "\\pich", picture.height);
    if (picture.goalWidth > 0)
        appendWord(out, "\\picwgoal", picture.goalWidth);
    if (picture.goalHeight > 0)
        appendWord(out, "\\pichgoal", picture.goalHeight);
    if (picture.scaleX != 100)
        appendWord(out, "\\picscalex", picture.scaleX);
    if (picture.scaleY != 100)
        appendWord(out, "\\picscaley", picture.scaleY);
    const std::size_t old = out.size();
    const std::size_t digits = picture.data.size() * 2;
    out.resize(old + digits + digits / kHexLine + 2);
    char *d = out.data() + old;
    *d++ = '\n';
    std::size_t onLine = 0;
    for (const std::uint8_t byte : picture.data) {
        if (onLine == kHexLine) {
            *d++ = '\n';
            onLine = 0;
        }
        *d++ = kHexDigits[byte >> 4];
        *d++ = kHexDigits[byte & 0xF];
        onLine += 2;
    }
    *d++ = '}';
    out.resize(std::size_t(d - out.data()));
}

void Writer::endParagraph(const ParagraphFormat &format, std::string_view mark)
{
    std::string &out = m_body;
    out += "\\pard";
    if (m_inRow)
        out += "\\intbl";
    switch (format.alignment) {
    case Alignment::Left: break;
    case Alignment::Right: out += "\\qr"; break;
    case Alignment::Center: out += "\\qc"; break;
    case Alignment::Justify: out += "\\qj"; break;
    }
    if (format.leftIndent != 0)
        appendWord(out, "\\li", format.leftIndent);
    if (format.rightIndent != 0)
        appendWord(out, "\\ri", format.rightIndent);
    if (format.firstLineIndent != 0)
        appendWord(out, "\\fi", format.firstLineIndent);
    if (format.spaceBefore != 0)
        appendWord(out, "\\sb", format.spaceBefore);
    if (format.spaceAfter != 0)
        appendWord(out, "\\sa", format.spaceAfter);
    out += ' ';
    out += m_paragraph;
    m_paragraph.clear();
    out += mark;
}

void Writer::paragraphEnd(const ParagraphFormat &format)
{
    endParagraph(format, "\\par\n");
}

void Writer::cellEnd(const ParagraphFormat &format)
{
    endParagraph(format, "\\cell\n");
}

void Writer::documentEnd(const ParagraphFormat &format)
{
    // The last paragraph has no paragraph mark: one would add an empty paragraph.
    endParagraph(format, {});
    m_ended = true;
}

void Writer::beginRow(std::span<const TableCell> cells)
{
    std::string &out = m_body;
    out += "\\trowd\\trgaph108";
    for (const TableCell &cell : cells) {
        if (cell.mergesDown)
            out += "\\clvmgf";
        if (cell.mergedFromAbove)
            out += "\\clvmrg";
        if (cell.borderTwips > 0) {
            for (const char *side : {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"}) {
                out += side;
                appendWord(out, "\\brdrs\\brdrw", cell.borderTwips);
            }
        }
        appendWord(out, "\\cellx", cell.rightEdge);
    }
    out += '\n';
    m_inRow = true;
}

void Writer::endRow()
{
    m_body += "\\row\n";
    m_inRow = false;
}

std::string Writer::take()
{
    if (!m_ended)
        documentEnd(ParagraphFormat{});
    std::string out;
    out.reserve(m_body.size() + 256 + m_fonts.size() * 40 + m_colors.size() * 24);
    out += "{\\rtf1\\ansi\\ansicpg1252";
    if (m_hasDefaultFont)
        out += "\\deff0";
    out += "\\uc1\n";
    if (!m_fonts.empty()) {
        out += "{\\fonttbl";
        for (std::size_t i = 0; i < m_fonts.size(); ++i) {
            appendWord(out, "{\\f", static_cast<long long>(i));
            out += "\\fnil\\fcharset0 ";
            appendText(out, *m_fonts[i], true);
            out += ";}";
        }
        out += "}\n";
    }
    if (!m_colors.empty()) {
        out += "{\\colortbl;";
        for (const Color &c : m_colors) {
            appendWord(out, "\\red", c.red);
            appendWord(out, "\\green", c.green);
            appendWord(out, "\\blue", c.blue);
            out += ';';
        }
        out += "}\n";
    }
    out += m_body;
    out += "}\n";

    m_body.clear();
    m_paragraph.clear();
    m_inRow = false;
    m_ended = false;
    m_hasDefaultFont = false;
    m_fontIndex.clear();
    m_fonts.clear();
    m_colorIndex.clear();
    m_colors.clear();
    m_hasCurrent = false;
    m_current = CharFormat{};
    return out;
}

} // namespace Rtf
