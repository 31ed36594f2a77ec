#pragma once

#include "platform/rtf/rtfcodepage.h"
#include "platform/rtf/rtfformat.h"
#include "platform/rtf/rtfhandler.h"
#include "platform/rtf/rtfkeywords.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Rtf {

class Tokenizer;
struct Token;

// True when the first bytes that are not blank (after a UTF-8 byte order mark)
// are "{\rtf".
bool looksLikeRtf(std::string_view bytes);

// Reads an RTF document and hands its text, formatting and pictures to a handler.
// Font, colour and style tables, document information, headers, footers, notes,
// field instructions and unknown optional groups are read past; a field's result
// is kept. Tables come out as text: cells separated by tabs, one paragraph per
// row. The document ends where its outermost group closes; bytes after it are not
// read. Broken input is read as far as it makes sense: groups nested deeper than
// kMaxDepth are read as part of the deepest group, in its formatting, parameters
// are clamped, and nothing is read twice, so reading takes time and memory in
// proportion to the input.
class Reader
{
public:
    static constexpr std::size_t kMaxDepth = 200;

    explicit Reader(Handler &handler);
    void read(std::string_view input);

private:
    enum class Destination : std::uint8_t { Text, FontTable, ColorTable, Picture };

    struct CharState
    {
        int font = -1; // -1: the document's default font
        int halfPoints = 0;
        bool bold = false;
        bool italic = false;
        bool strike = false;
        bool hidden = false;
        Underline underline = Underline::None;
        int color = 0;
        int background = 0;
        VerticalPosition vertical = VerticalPosition::Normal;
        int offsetHalfPoints = 0;
    };

    struct State
    {
        Destination destination = Destination::Text;
        bool inTable = false;
        int unicodeSkip = 1;
        CharState chars;
        ParagraphFormat paragraph;
    };

    struct FontEntry
    {
        int charset = -1;
        int codePage = 0;
        std::u16string family;
    };

    struct ColorEntry
    {
        bool given = false;
        Color color;
    };

    void reset();
    void token(const Token &token, Tokenizer &tokens);
    void startGroup();
    void endGroup();
    void popState();
    void skipGroup(Tokenizer &tokens);
    static bool changesFormat(Keyword keyword);
    void controlWord(const Token &token, Tokenizer &tokens);
    void textControlWord(Keyword keyword, const Token &token);
    void pictureControlWord(Keyword keyword, const Token &token);
    void controlSymbol(char symbol);
    void bytes(std::string_view bytes);
    void unicodeChar(std::int32_t value);
    void finish();

    // Text destination
    void beginContent();
    void appendBytes(std::string_view bytes);
    void appendUnit(char16_t unit);
    void decodePendingBytes();
    void flushText();
    void endParagraph();
    CharFormat charFormat() const;
    int currentCodePage();
    const FontEntry *findFont(int number) const;
    int codePageOf(const FontEntry &font) const;

    // Font and colour tables
    void fontTableText(std::string_view bytes);
    void commitFont();
    void colorTableText(std::string_view bytes);

    // Pictures
    void pictureText(std::string_view bytes);
    void emitPicture();

    State &state() { return m_stack.back(); }
    // In the picture's own group, not in a group nested in it.
    bool inPictureGroup() const
    {
        return m_excessDepth == 0 && m_stack.size() == m_pictureDepth;
    }

    Handler &m_handler;
    CodePageDecoder m_decoder;
    std::vector<State> m_stack;
    // Groups open beyond kMaxDepth, which share the deepest state.
    std::size_t m_excessDepth = 0;
    bool m_closedOutermost = false;

    int m_codePage = 1252;
    int m_defaultFont = -1;
    int m_unicodeSkipLeft = 0;
    bool m_optionalDestination = false;
    ParagraphFormat m_closedRootParagraph;

    // Text waiting to be handed on, in the format of the current state.
    std::u16string m_text;
    std::string m_pendingBytes;
    int m_pendingCodePage = 0;
    bool m_sawSurrogate = false;
    int m_pendingTabs = 0;
    bool m_paragraphHasContent = false;

    // Code page of the current font, kept until the font or the tables change.
    int m_cachedFontNumber = 0;
    int m_cachedCodePage = 0;
    bool m_cacheValid = false;

    std::unordered_map<int, FontEntry> m_fonts;
    bool m_hasPendingFont = false;
    int m_pendingFontNumber = 0;
    FontEntry m_pendingFont;
    std::string m_pendingFontName;

    std::vector<ColorEntry> m_colors;
    ColorEntry m_pendingColor;

    Picture m_picture;
    std::vector<std::uint8_t> m_pictureData;
    std::size_t m_pictureDepth = 0;
    int m_pictureNibble = -1;
};

} // namespace Rtf
