#include "platform/rtf/rtfreader.h"

#include "platform/rtf/rtftokenizer.h"

#include <algorithm>

namespace Rtf {

namespace {

constexpr char16_t kLineBreak = 0x2028;
constexpr char16_t kReplacement = 0xFFFD;
// Largest font size RTF can express, in half-points.
constexpr int kMaxHalfPoints = 3276;
// Lengths beyond 100 inches are taken for 100 inches.
constexpr int kMaxTwips = 144000;
constexpr int kMaxPendingTabs = 1000;

bool isOn(const Token &token)
{
    return !token.hasParameter || token.parameter != 0;
}

int parameterOr(const Token &token, int fallback)
{
    return token.hasParameter ? token.parameter : fallback;
}

int twips(const Token &token)
{
    return std::clamp(parameterOr(token, 0), -kMaxTwips, kMaxTwips);
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Surrogates that do not form a pair are no character.
void repairSurrogates(std::u16string &text)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < n && isLowSurrogate(text[i + 1]))
            ++i;
        else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]))
            text[i] = kReplacement;
    }
}

bool startsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

bool isDingbatFamily(std::u16string_view family)
{
    return startsWithIgnoringCase(family, u"wingdings")
        || startsWithIgnoringCase(family, u"webdings")
        || startsWithIgnoringCase(family, u"zapf dingbats");
}

// Word writes the characters of symbol fonts as U+F020 to U+F0FF.
bool isSymbolFontPrivateUse(char16_t c)
{
    return c >= 0xF020 && c <= 0xF0FF;
}

Color colorComponent(Color color, Keyword keyword, int value)
{
    const auto v = std::uint8_t(std::clamp(value, 0, 255));
    if (keyword == Keyword::Red)
        color.red = v;
    else if (keyword == Keyword::Green)
        color.green = v;
    else
        color.blue = v;
    return color;
}

} // namespace

bool looksLikeRtf(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start, 5) == "{\\rtf";
}

Reader::Reader(Handler &handler)
    : m_handler(handler)
{
}

void Reader::reset()
{
    m_stack.assign(1, State{});
    m_codePage = 1252;
    m_defaultFont = -1;
    m_unicodeSkipLeft = 0;
    m_optionalDestination = false;
    m_closedRootParagraph = ParagraphFormat{};
    m_text.clear();
    m_pendingBytes.clear();
    m_sawSurrogate = false;
    m_pendingTabs = 0;
    m_paragraphHasContent = false;
    m_cacheValid = false;
    m_fonts.clear();
    m_hasPendingFont = false;
    m_colors.clear();
    m_pendingColor = ColorEntry{};
    m_pictureData.clear();
    m_pictureDepth = 0;
    m_excessDepth = 0;
    m_closedOutermost = false;
}

void Reader::read(std::string_view input)
{
    reset();
    // A byte order mark and blank lines before the header are not text.
    if (looksLikeRtf(input))
        input.remove_prefix(input.find('{'));
    Tokenizer tokens(input);
    // The document ends where its outermost group closes: what follows (a second
    // document pasted after it, a signature) is no part of it.
    while (!m_closedOutermost) {
        const Token t = tokens.next();
        if (t.type == Token::End)
            break;
        token(t, tokens);
    }
    finish();
}

void Reader::token(const Token &t, Tokenizer &tokens)
{
    if (m_optionalDestination) {
        // "\*" marks a group the reader may pass over unless it knows the word
        // that follows.
        m_optionalDestination = false;
        if (t.type == Token::GroupEnd) {
            endGroup();
            return;
        }
        const bool known = t.type == Token::ControlWord
            && lookupKeyword(t.text) == Keyword::ShapePicture;
        if (!known) {
            if (t.type == Token::GroupStart)
                tokens.skipGroup();
            skipGroup(tokens);
            return;
        }
    }

    switch (t.type) {
    case Token::End:
        break;
    case Token::GroupStart:
        startGroup();
        break;
    case Token::GroupEnd:
        m_unicodeSkipLeft = 0;
        endGroup();
        break;
    case Token::ControlWord:
        if (m_unicodeSkipLeft > 0) {
            // A control word may stand in for the character just given by \u.
            --m_unicodeSkipLeft;
            if (t.text == "bin")
                tokens.takeBinary(t.parameter);
            break;
        }
        controlWord(t, tokens);
        break;
    case Token::ControlSymbol:
        if (m_unicodeSkipLeft > 0) {
            --m_unicodeSkipLeft;
            break;
        }
        controlSymbol(t.symbol);
        break;
    case Token::HexByte:
        if (m_unicodeSkipLeft > 0) {
            --m_unicodeSkipLeft;
            break;
        }
        if (state().destination != Destination::Picture)
            bytes(std::string_view(reinterpret_cast<const char *>(&t.byte), 1));
        break;
    case Token::Text: {
        std::string_view text = t.text;
        if (m_unicodeSkipLeft > 0) {
            const std::size_t skip = std::min<std::size_t>(std::size_t(m_unicodeSkipLeft),
                                                           text.size());
            text.remove_prefix(skip);
            m_unicodeSkipLeft -= int(skip);
        }
        if (!text.empty())
            bytes(text);
        break;
    }
    }
}

void Reader::startGroup()
{
    m_unicodeSkipLeft = 0;
    if (m_stack.size() > kMaxDepth) {
        ++m_excessDepth;
        return;
    }
    m_stack.push_back(m_stack.back());
}

void Reader::endGroup()
{
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return;
    }
    if (m_stack.size() <= 1)
        return; // a closing brace too many
    switch (state().destination) {
    case Destination::Text:
        flushText();
        break;
    case Destination::FontTable:
        commitFont();
        break;
    case Destination::ColorTable:
        break;
    case Destination::Picture:
        if (m_stack.size() == m_pictureDepth)
            emitPicture();
        break;
    }
    popState();
}

void Reader::popState()
{
    if (m_stack.size() == 2) {
        m_closedRootParagraph = state().paragraph;
        m_closedOutermost = true;
    }
    m_stack.pop_back();
}

void Reader::skipGroup(Tokenizer &tokens)
{
    // Never at the outermost level: that would pass over the rest of the input.
    if (m_stack.size() <= 1)
        return;
    if (state().destination == Destination::Text)
        flushText();
    tokens.skipGroup();
    if (m_excessDepth > 0)
        --m_excessDepth;
    else
        popState();
}

bool Reader::changesFormat(Keyword keyword)
{
    // The character and paragraph formatting words, which the enumeration keeps
    // together, and the font.
    return keyword == Keyword::Font
        || (keyword >= Keyword::Plain && keyword <= Keyword::InTable);
}

void Reader::controlWord(const Token &t, Tokenizer &tokens)
{
    const Keyword keyword = lookupKeyword(t.text);
    if (keyword == Keyword::Unknown)
        return;
    State &s = state();
    if (m_excessDepth > 0) {
        // Beyond the depth limit every group shares the deepest state kept: its text
        // is read in that group's formatting, and a group that would change the
        // destination is passed over.
        switch (keyword) {
        case Keyword::FontTable:
        case Keyword::ColorTable:
        case Keyword::Picture:
            skipGroup(tokens);
            return;
        case Keyword::UnicodeSkip:
            return;
        default:
            if (s.destination == Destination::Text && changesFormat(keyword))
                return;
            break;
        }
    }
    switch (keyword) {
    case Keyword::SkippedDestination:
        skipGroup(tokens);
        return;
    case Keyword::FontTable:
    case Keyword::ColorTable:
        if (s.destination != Destination::Text || m_stack.size() <= 1) {
            skipGroup(tokens);
            return;
        }
        flushText();
        s.destination = keyword == Keyword::FontTable ? Destination::FontTable
                                                      : Destination::ColorTable;
        if (keyword == Keyword::ColorTable) {
            m_colors.clear();
            m_pendingColor = ColorEntry{};
        }
        return;
    case Keyword::Picture:
        if (s.destination != Destination::Text || m_stack.size() <= 1) {
            skipGroup(tokens);
            return;
        }
        flushText();
        s.destination = Destination::Picture;
        m_picture = Picture{};
        m_pictureData.clear();
        m_pictureNibble = -1;
        m_pictureDepth = m_stack.size();
        return;
    case Keyword::Binary: {
        const std::string_view data = tokens.takeBinary(parameterOr(t, 0));
        if (s.destination == Destination::Picture && inPictureGroup())
            m_pictureData.insert(m_pictureData.end(), data.begin(), data.end());
        return;
    }
    case Keyword::UnicodeSkip:
        s.unicodeSkip = std::clamp(parameterOr(t, 1), 0, 255);
        return;
    case Keyword::UnicodeChar:
        unicodeChar(parameterOr(t, 0));
        m_unicodeSkipLeft = s.unicodeSkip;
        return;
    case Keyword::Ansi:
    case Keyword::Mac:
    case Keyword::Pc:
    case Keyword::Pca:
    case Keyword::AnsiCodePage: {
        int codePage = 1252;
        if (keyword == Keyword::Mac)
            codePage = 10000;
        else if (keyword == Keyword::Pc)
            codePage = 437;
        else if (keyword == Keyword::Pca)
            codePage = 850;
        else if (keyword == Keyword::AnsiCodePage)
            codePage = t.parameter > 0 ? t.parameter : 1252;
        flushText();
        m_codePage = codePage;
        m_cacheValid = false;
        return;
    }
    case Keyword::DefaultFont:
        flushText();
        m_defaultFont = parameterOr(t, 0);
        m_cacheValid = false;
        return;
    default:
        break;
    }

    switch (s.destination) {
    case Destination::Text:
        textControlWord(keyword, t);
        break;
    case Destination::FontTable:
        if (keyword == Keyword::Font) {
            commitFont();
            m_hasPendingFont = true;
            m_pendingFontNumber = parameterOr(t, 0);
            m_pendingFont = FontEntry{};
            m_pendingFontName.clear();
        } else if (m_hasPendingFont && keyword == Keyword::FontCharset) {
            m_pendingFont.charset = parameterOr(t, 1);
        } else if (m_hasPendingFont && keyword == Keyword::FontCodePage) {
            m_pendingFont.codePage = std::max(0, parameterOr(t, 0));
        }
        break;
    case Destination::ColorTable:
        if (keyword == Keyword::Red || keyword == Keyword::Green || keyword == Keyword::Blue) {
            m_pendingColor.color = colorComponent(m_pendingColor.color, keyword,
                                                  parameterOr(t, 0));
            m_pendingColor.given = true;
        }
        break;
    case Destination::Picture:
        pictureControlWord(keyword, t);
        break;
    }
}

void Reader::textControlWord(Keyword keyword, const Token &t)
{
    State &s = state();
    CharState &c = s.chars;
    ParagraphFormat &p = s.paragraph;

    // Whatever changes the character format ends the run of text before it.
    switch (keyword) {
    case Keyword::Font: case Keyword::Plain: case Keyword::FontSize: case Keyword::Bold:
    case Keyword::Italic: case Keyword::Strike: case Keyword::StrikeDouble:
    case Keyword::Underline: case Keyword::UnderlineDouble: case Keyword::UnderlineDotted:
    case Keyword::UnderlineDashed: case Keyword::UnderlineDashDot:
    case Keyword::UnderlineDashDotDot: case Keyword::UnderlineWave:
    case Keyword::UnderlineNone: case Keyword::ForeColor: case Keyword::BackColor:
    case Keyword::Highlight: case Keyword::Superscript: case Keyword::Subscript:
    case Keyword::NoSuperSub: case Keyword::Up: case Keyword::Down: case Keyword::Hidden:
        flushText();
        break;
    default:
        break;
    }

    auto underline = [&](Underline style) { c.underline = isOn(t) ? style : Underline::None; };

    switch (keyword) {
    case Keyword::Font:
        c.font = parameterOr(t, 0);
        break;
    case Keyword::Plain:
        c = CharState{};
        break;
    case Keyword::FontSize:
        c.halfPoints = std::clamp(parameterOr(t, 24), 0, kMaxHalfPoints);
        break;
    case Keyword::Bold:
        c.bold = isOn(t);
        break;
    case Keyword::Italic:
        c.italic = isOn(t);
        break;
    case Keyword::Strike:
    case Keyword::StrikeDouble:
        c.strike = isOn(t);
        break;
    case Keyword::Underline: underline(Underline::Single); break;
    case Keyword::UnderlineDouble: underline(Underline::Double); break;
    case Keyword::UnderlineDotted: underline(Underline::Dotted); break;
    case Keyword::UnderlineDashed: underline(Underline::Dashed); break;
    case Keyword::UnderlineDashDot: underline(Underline::DashDot); break;
    case Keyword::UnderlineDashDotDot: underline(Underline::DashDotDot); break;
    case Keyword::UnderlineWave: underline(Underline::Wave); break;
    case Keyword::UnderlineNone:
        c.underline = Underline::None;
        break;
    case Keyword::ForeColor:
        c.color = std::max(0, parameterOr(t, 0));
        break;
    case Keyword::BackColor:
    case Keyword::Highlight:
        c.background = std::max(0, parameterOr(t, 0));
        break;
    case Keyword::Superscript:
        c.vertical = isOn(t) ? VerticalPosition::Superscript : VerticalPosition::Normal;
        break;
    case Keyword::Subscript:
        c.vertical = isOn(t) ? VerticalPosition::Subscript : VerticalPosition::Normal;
        break;
    case Keyword::NoSuperSub:
        c.vertical = VerticalPosition::Normal;
        break;
    case Keyword::Up:
        c.offsetHalfPoints = std::clamp(parameterOr(t, 6), 0, kMaxHalfPoints);
        break;
    case Keyword::Down:
        c.offsetHalfPoints = -std::clamp(parameterOr(t, 6), 0, kMaxHalfPoints);
        break;
    case Keyword::Hidden:
        c.hidden = isOn(t);
        break;

    case Keyword::ParagraphDefault:
        p = ParagraphFormat{};
        s.inTable = false;
        break;
    case Keyword::AlignLeft: p.alignment = Alignment::Left; break;
    case Keyword::AlignCenter: p.alignment = Alignment::Center; break;
    case Keyword::AlignRight: p.alignment = Alignment::Right; break;
    case Keyword::AlignJustify: p.alignment = Alignment::Justify; break;
    case Keyword::LeftIndent: p.leftIndent = twips(t); break;
    case Keyword::RightIndent: p.rightIndent = twips(t); break;
    case Keyword::FirstLineIndent: p.firstLineIndent = twips(t); break;
    case Keyword::SpaceBefore: p.spaceBefore = std::max(0, twips(t)); break;
    case Keyword::SpaceAfter: p.spaceAfter = std::max(0, twips(t)); break;
    case Keyword::InTable:
        s.inTable = true;
        break;

    case Keyword::Paragraph:
        // Paragraphs inside a table cell stay in the row's line.
        if (s.inTable)
            appendUnit(kLineBreak);
        else
            endParagraph();
        break;
    case Keyword::Line: appendUnit(kLineBreak); break;
    case Keyword::Page:
        if (m_paragraphHasContent)
            endParagraph();
        break;
    case Keyword::Cell:
    case Keyword::NestedCell:
        flushText();
        m_pendingTabs = std::min(m_pendingTabs + 1, kMaxPendingTabs);
        break;
    case Keyword::Row:
    case Keyword::NestedRow:
        m_pendingTabs = 0;
        endParagraph();
        break;

    case Keyword::Tab: appendUnit(u'\t'); break;
    case Keyword::EmDash: appendUnit(0x2014); break;
    case Keyword::EnDash: appendUnit(0x2013); break;
    case Keyword::EmSpace: appendUnit(0x2003); break;
    case Keyword::EnSpace: appendUnit(0x2002); break;
    case Keyword::QuarterEmSpace: appendUnit(0x2005); break;
    case Keyword::Bullet: appendUnit(0x2022); break;
    case Keyword::LeftQuote: appendUnit(0x2018); break;
    case Keyword::RightQuote: appendUnit(0x2019); break;
    case Keyword::LeftDoubleQuote: appendUnit(0x201C); break;
    case Keyword::RightDoubleQuote: appendUnit(0x201D); break;
    case Keyword::ZeroWidthJoiner: appendUnit(0x200D); break;
    case Keyword::ZeroWidthNonJoiner: appendUnit(0x200C); break;
    case Keyword::LeftToRightMark: appendUnit(0x200E); break;
    case Keyword::RightToLeftMark: appendUnit(0x200F); break;
    default:
        break;
    }
}

void Reader::pictureControlWord(Keyword keyword, const Token &t)
{
    if (!inPictureGroup())
        return;
    const int size = std::clamp(parameterOr(t, 0), 0, kMaxTwips);
    switch (keyword) {
    case Keyword::PngBlip: m_picture.type = PictureType::Png; break;
    case Keyword::JpegBlip: m_picture.type = PictureType::Jpeg; break;
    case Keyword::DeviceIndependentBitmap: m_picture.type = PictureType::Dib; break;
    case Keyword::WindowsMetafile: m_picture.type = PictureType::Wmf; break;
    case Keyword::EnhancedMetafile: m_picture.type = PictureType::Emf; break;
    case Keyword::WindowsBitmap:
    case Keyword::MacPicture:
    case Keyword::Os2Metafile:
        m_picture.type = PictureType::Other;
        break;
    case Keyword::PictureWidth: m_picture.width = size; break;
    case Keyword::PictureHeight: m_picture.height = size; break;
    case Keyword::PictureGoalWidth: m_picture.goalWidth = size; break;
    case Keyword::PictureGoalHeight: m_picture.goalHeight = size; break;
    case Keyword::PictureScaleX: m_picture.scaleX = size > 0 ? size : 100; break;
    case Keyword::PictureScaleY: m_picture.scaleY = size > 0 ? size : 100; break;
    default:
        break;
    }
}

void Reader::controlSymbol(char symbol)
{
    switch (symbol) {
    case '*':
        m_optionalDestination = true;
        return;
    case '\\':
    case '{':
    case '}':
        bytes(std::string_view(&symbol, 1));
        return;
    default:
        break;
    }
    if (state().destination != Destination::Text || state().chars.hidden)
        return;
    switch (symbol) {
    case '~': appendUnit(0x00A0); break;   // no-break space
    case '-': appendUnit(0x00AD); break;   // optional hyphen
    case '_': appendUnit(0x2011); break;   // no-break hyphen
    case '\t': appendUnit(u'\t'); break;
    default: break;
    }
}

void Reader::bytes(std::string_view data)
{
    State &s = state();
    switch (s.destination) {
    case Destination::Text:
        if (!s.chars.hidden)
            appendBytes(data);
        break;
    case Destination::FontTable:
        fontTableText(data);
        break;
    case Destination::ColorTable:
        colorTableText(data);
        break;
    case Destination::Picture:
        if (inPictureGroup())
            pictureText(data);
        break;
    }
}

void Reader::unicodeChar(std::int32_t value)
{
    // \u takes a signed 16-bit value: negative numbers stand for the upper half.
    if (value < 0)
        value += 0x10000;
    // Unicode's noncharacters are no text either; Qt marks frames with two of them.
    if (value < 0 || value > 0xFFFD || (value >= 0xFDD0 && value <= 0xFDEF))
        value = kReplacement;
    const auto unit = char16_t(value);
    if (unit < 0x20 && unit != u'\t')
        return;
    State &s = state();
    if (s.destination == Destination::FontTable && m_hasPendingFont) {
        const int codePage = codePageOf(m_pendingFont);
        m_decoder.decode(codePage, m_pendingFontName, m_pendingFont.family);
        m_pendingFontName.clear();
        m_pendingFont.family.push_back(unit);
        return;
    }
    if (s.destination != Destination::Text || s.chars.hidden)
        return;
    if (isHighSurrogate(unit) || isLowSurrogate(unit))
        m_sawSurrogate = true;
    if (isSymbolFontPrivateUse(unit)) {
        const FontEntry *font = findFont(s.chars.font < 0 ? m_defaultFont : s.chars.font);
        if (!font || !isDingbatFamily(font->family)) {
            appendUnit(CodePageDecoder::symbolCharacter(std::uint8_t(unit - 0xF000)));
            return;
        }
    }
    appendUnit(unit);
}

void Reader::beginContent()
{
    m_paragraphHasContent = true;
    if (m_pendingTabs > 0) {
        decodePendingBytes();
        m_text.append(std::size_t(m_pendingTabs), u'\t');
        m_pendingTabs = 0;
    }
}

void Reader::appendBytes(std::string_view data)
{
    beginContent();
    const int codePage = currentCodePage();
    if (CodePageDecoder::isMultiByte(codePage)) {
        // Kept until the run ends, so that both bytes of a character meet.
        if (!m_pendingBytes.empty() && m_pendingCodePage != codePage)
            decodePendingBytes();
        m_pendingBytes.append(data);
        m_pendingCodePage = codePage;
    } else {
        decodePendingBytes();
        m_decoder.decode(codePage, data, m_text);
    }
}

void Reader::appendUnit(char16_t unit)
{
    if (state().chars.hidden)
        return;
    beginContent();
    decodePendingBytes();
    m_text.push_back(unit);
}

void Reader::decodePendingBytes()
{
    if (m_pendingBytes.empty())
        return;
    m_decoder.decode(m_pendingCodePage, m_pendingBytes, m_text);
    m_pendingBytes.clear();
}

void Reader::flushText()
{
    decodePendingBytes();
    if (m_text.empty())
        return;
    if (m_sawSurrogate) {
        repairSurrogates(m_text);
        m_sawSurrogate = false;
    }
    m_handler.text(m_text, charFormat());
    m_text.clear();
}

void Reader::endParagraph()
{
    flushText();
    m_pendingTabs = 0;
    m_paragraphHasContent = false;
    m_handler.paragraphEnd(state().paragraph);
}

CharFormat Reader::charFormat() const
{
    const CharState &c = m_stack.back().chars;
    CharFormat f;
    if (const FontEntry *font = findFont(c.font < 0 ? m_defaultFont : c.font))
        f.fontFamily = font->family;
    f.halfPoints = c.halfPoints;
    f.bold = c.bold;
    f.italic = c.italic;
    f.strike = c.strike;
    f.underline = c.underline;
    // Colour 0 is the automatic colour; so is any entry the table leaves empty.
    if (c.color > 0 && std::size_t(c.color) < m_colors.size() && m_colors[c.color].given) {
        f.hasColor = true;
        f.color = m_colors[c.color].color;
    }
    if (c.background > 0 && std::size_t(c.background) < m_colors.size()
        && m_colors[c.background].given) {
        f.hasBackground = true;
        f.background = m_colors[c.background].color;
    }
    f.vertical = c.vertical;
    f.offsetHalfPoints = c.offsetHalfPoints;
    return f;
}

const Reader::FontEntry *Reader::findFont(int number) const
{
    const auto it = m_fonts.find(number);
    return it == m_fonts.end() ? nullptr : &it->second;
}

int Reader::codePageOf(const FontEntry &font) const
{
    if (font.codePage > 0)
        return font.codePage;
    if (font.charset == 2 && startsWithIgnoringCase(font.family, u"symbol"))
        return CodePageDecoder::kSymbolCodePage;
    const int codePage = font.charset >= 0 ? CodePageDecoder::codePageOfCharset(font.charset) : 0;
    return codePage > 0 ? codePage : m_codePage;
}

int Reader::currentCodePage()
{
    const int c = state().chars.font;
    const int number = c < 0 ? m_defaultFont : c;
    if (!m_cacheValid || m_cachedFontNumber != number) {
        const FontEntry *font = findFont(number);
        m_cachedFontNumber = number;
        m_cachedCodePage = font ? codePageOf(*font) : m_codePage;
        m_cacheValid = true;
    }
    return m_cachedCodePage;
}

void Reader::fontTableText(std::string_view data)
{
    // "Name;" ends an entry; what follows a semicolon before the next \f is noise.
    while (!data.empty()) {
        const std::size_t semicolon = data.find(';');
        if (m_hasPendingFont)
            m_pendingFontName.append(data.substr(0, semicolon));
        if (semicolon == std::string_view::npos)
            break;
        commitFont();
        data.remove_prefix(semicolon + 1);
    }
}

void Reader::commitFont()
{
    if (!m_hasPendingFont)
        return;
    m_hasPendingFont = false;
    m_decoder.decode(codePageOf(m_pendingFont), m_pendingFontName, m_pendingFont.family);
    m_pendingFontName.clear();
    std::u16string &family = m_pendingFont.family;
    // Always: a name is short, and the text's own flag may have been reset by the
    // text read while this entry was open.
    repairSurrogates(family);
    const auto first = family.find_first_not_of(u' ');
    family.erase(0, first == std::u16string::npos ? family.size() : first);
    const auto last = family.find_last_not_of(u' ');
    family.erase(last == std::u16string::npos ? 0 : last + 1);
    // A font defined twice keeps its last definition.
    m_fonts[m_pendingFontNumber] = std::move(m_pendingFont);
    m_pendingFont = FontEntry{};
    m_cacheValid = false;
}

void Reader::colorTableText(std::string_view data)
{
    for (const char c : data) {
        if (c != ';')
            continue;
        m_colors.push_back(m_pendingColor);
        m_pendingColor = ColorEntry{};
    }
}

void Reader::pictureText(std::string_view data)
{
    for (const char c : data) {
        const int v = hexValue(c);
        if (v < 0)
            continue;
        if (m_pictureNibble < 0) {
            m_pictureNibble = v;
        } else {
            m_pictureData.push_back(std::uint8_t(m_pictureNibble * 16 + v));
            m_pictureNibble = -1;
        }
    }
}

void Reader::emitPicture()
{
    m_pictureDepth = 0;
    const State &parent = m_stack[m_stack.size() - 2];
    if (parent.destination != Destination::Text || parent.chars.hidden)
        return;
    beginContent();
    flushText();
    Picture picture = m_picture;
    picture.data = m_pictureData;
    m_handler.picture(picture, charFormat());
    m_pictureData.clear();
}

void Reader::finish()
{
    decodePendingBytes();
    // The last paragraph has no paragraph mark: it takes the formatting in force
    // where the text ends.
    ParagraphFormat last = m_closedRootParagraph;
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        if (m_stack.size() > 1 && it->destination == Destination::Text) {
            last = it->paragraph;
            break;
        }
    }
    m_excessDepth = 0;
    while (m_stack.size() > 1)
        endGroup();
    flushText();
    m_handler.documentEnd(last);
}

} // namespace Rtf
