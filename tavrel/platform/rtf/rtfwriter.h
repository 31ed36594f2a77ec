#pragma once

#include "platform/rtf/rtfhandler.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Rtf {

// One cell of a table row: where its right edge lies and how it joins the cells
// above and below it.
struct TableCell
{
    int rightEdge = 0;            // twips from the row's left edge
    bool mergesDown = false;      // the first of cells merged downwards
    bool mergedFromAbove = false; // covered by the cell above; holds nothing
    int borderTwips = 0;          // width of a single line round the cell; 0: none
};

// Writes an RTF document from the same events the reader hands on, so that what
// the reader reads, the writer writes back. The text goes out in Windows-1252 with
// every other character as \uN and "?" for readers that know no Unicode; the font
// and colour tables hold what the document uses. Reading the result gives back
// the same text, character formats, paragraph formats and pictures.
//
// Tables: beginRow() with the row's cells, then each cell's paragraphs, the last
// of each cell ended by cellEnd() instead of paragraphEnd(), then endRow().
class Writer : public Handler
{
public:
    Writer();
    ~Writer() override;
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    // The font of text whose format names none; set before any text.
    void setDefaultFont(std::u16string_view family);

    void text(std::u16string_view text, const CharFormat &format) override;
    void paragraphEnd(const ParagraphFormat &format) override;
    void picture(const Picture &picture, const CharFormat &format) override;
    void documentEnd(const ParagraphFormat &format) override;

    void beginRow(std::span<const TableCell> cells);
    void cellEnd(const ParagraphFormat &format);
    void endRow();

    // The whole document, once documentEnd() has been called; the writer is empty
    // afterwards.
    std::string take();

private:
    void useFormat(const CharFormat &format);
    int fontIndex(std::u16string_view family);
    int colorIndex(Color color);
    void endParagraph(const ParagraphFormat &format, std::string_view mark);

    // The body goes out paragraph by paragraph: a paragraph's formatting is known
    // at its end, and other readers want it at its start.
    std::string m_body;
    std::string m_paragraph;
    bool m_inRow = false;
    bool m_ended = false;

    bool m_hasDefaultFont = false;
    std::vector<std::unique_ptr<std::u16string>> m_fonts;
    std::unordered_map<std::u16string_view, int> m_fontIndex;
    std::vector<Color> m_colors;
    std::unordered_map<std::uint32_t, int> m_colorIndex;

    bool m_hasCurrent = false;
    CharFormat m_current; // its fontFamily views one of m_fonts
};

} // namespace Rtf
