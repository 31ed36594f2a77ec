#include "platform/rtf/rtfkeywords.h"

#include <array>
#include <cstdint>

namespace Rtf {

namespace {

struct Entry
{
    std::string_view word;
    Keyword keyword;
};

constexpr Entry kEntries[] = {
    {"fonttbl", Keyword::FontTable},
    {"colortbl", Keyword::ColorTable},
    {"pict", Keyword::Picture},
    {"shppict", Keyword::ShapePicture},
    {"field", Keyword::Field},
    {"fldrslt", Keyword::FieldResult},

    // Tables, document information, page furniture, notes, field codes and
    // alternative representations: none of it is running text.
    {"stylesheet", Keyword::SkippedDestination},
    {"info", Keyword::SkippedDestination},
    {"header", Keyword::SkippedDestination},
    {"headerl", Keyword::SkippedDestination},
    {"headerr", Keyword::SkippedDestination},
    {"headerf", Keyword::SkippedDestination},
    {"footer", Keyword::SkippedDestination},
    {"footerl", Keyword::SkippedDestination},
    {"footerr", Keyword::SkippedDestination},
    {"footerf", Keyword::SkippedDestination},
    {"footnote", Keyword::SkippedDestination},
    {"annotation", Keyword::SkippedDestination},
    {"fldinst", Keyword::SkippedDestination},
    {"nonshppict", Keyword::SkippedDestination},
    {"shpinst", Keyword::SkippedDestination},
    {"listtable", Keyword::SkippedDestination},
    {"listoverridetable", Keyword::SkippedDestination},
    {"revtbl", Keyword::SkippedDestination},
    {"rsidtbl", Keyword::SkippedDestination},
    {"filetbl", Keyword::SkippedDestination},
    {"latentstyles", Keyword::SkippedDestination},
    {"pgdsctbl", Keyword::SkippedDestination},
    {"generator", Keyword::SkippedDestination},
    {"xmlnstbl", Keyword::SkippedDestination},
    {"themedata", Keyword::SkippedDestination},
    {"colorschememapping", Keyword::SkippedDestination},
    {"datastore", Keyword::SkippedDestination},
    {"pn", Keyword::SkippedDestination},
    {"pntxta", Keyword::SkippedDestination},
    {"pntxtb", Keyword::SkippedDestination},
    {"objdata", Keyword::SkippedDestination},
    {"objclass", Keyword::SkippedDestination},
    {"objname", Keyword::SkippedDestination},
    {"template", Keyword::SkippedDestination},
    {"xe", Keyword::SkippedDestination},
    {"tc", Keyword::SkippedDestination},
    {"tcn", Keyword::SkippedDestination},
    {"ftnsep", Keyword::SkippedDestination},
    {"ftnsepc", Keyword::SkippedDestination},
    {"ftncn", Keyword::SkippedDestination},
    {"aftnsep", Keyword::SkippedDestination},
    {"aftnsepc", Keyword::SkippedDestination},
    {"aftncn", Keyword::SkippedDestination},
    {"fchars", Keyword::SkippedDestination},
    {"lchars", Keyword::SkippedDestination},
    {"author", Keyword::SkippedDestination},
    {"title", Keyword::SkippedDestination},
    {"subject", Keyword::SkippedDestination},
    {"keywords", Keyword::SkippedDestination},
    {"operator", Keyword::SkippedDestination},
    {"doccomm", Keyword::SkippedDestination},
    {"comment", Keyword::SkippedDestination},
    {"company", Keyword::SkippedDestination},
    {"NeXTGraphic", Keyword::SkippedDestination},

    {"ansi", Keyword::Ansi},
    {"mac", Keyword::Mac},
    {"pc", Keyword::Pc},
    {"pca", Keyword::Pca},
    {"ansicpg", Keyword::AnsiCodePage},
    {"deff", Keyword::DefaultFont},
    {"bin", Keyword::Binary},

    {"f", Keyword::Font},
    {"fcharset", Keyword::FontCharset},
    {"cpg", Keyword::FontCodePage},
    {"red", Keyword::Red},
    {"green", Keyword::Green},
    {"blue", Keyword::Blue},

    {"u", Keyword::UnicodeChar},
    {"uc", Keyword::UnicodeSkip},

    {"plain", Keyword::Plain},
    {"fs", Keyword::FontSize},
    {"b", Keyword::Bold},
    {"i", Keyword::Italic},
    {"strike", Keyword::Strike},
    {"striked", Keyword::StrikeDouble},
    {"ul", Keyword::Underline},
    {"ulw", Keyword::Underline},
    {"ulth", Keyword::Underline},
    {"uldb", Keyword::UnderlineDouble},
    {"uld", Keyword::UnderlineDotted},
    {"ulthd", Keyword::UnderlineDotted},
    {"uldash", Keyword::UnderlineDashed},
    {"ulldash", Keyword::UnderlineDashed},
    {"ulthdash", Keyword::UnderlineDashed},
    {"ulthldash", Keyword::UnderlineDashed},
    {"uldashd", Keyword::UnderlineDashDot},
    {"ulthdashd", Keyword::UnderlineDashDot},
    {"uldashdd", Keyword::UnderlineDashDotDot},
    {"ulthdashdd", Keyword::UnderlineDashDotDot},
    {"ulwave", Keyword::UnderlineWave},
    {"ulhwave", Keyword::UnderlineWave},
    {"ululdbwave", Keyword::UnderlineWave},
    {"ulnone", Keyword::UnderlineNone},
    {"cf", Keyword::ForeColor},
    {"cb", Keyword::BackColor},
    {"chcbpat", Keyword::BackColor},
    {"highlight", Keyword::Highlight},
    {"super", Keyword::Superscript},
    {"sub", Keyword::Subscript},
    {"nosupersub", Keyword::NoSuperSub},
    {"up", Keyword::Up},
    {"dn", Keyword::Down},
    {"v", Keyword::Hidden},

    {"pard", Keyword::ParagraphDefault},
    {"ql", Keyword::AlignLeft},
    {"qc", Keyword::AlignCenter},
    {"qr", Keyword::AlignRight},
    {"qj", Keyword::AlignJustify},
    {"qd", Keyword::AlignJustify},
    {"li", Keyword::LeftIndent},
    {"ri", Keyword::RightIndent},
    {"fi", Keyword::FirstLineIndent},
    {"sb", Keyword::SpaceBefore},
    {"sa", Keyword::SpaceAfter},
    {"intbl", Keyword::InTable},

    {"par", Keyword::Paragraph},
    {"line", Keyword::Line},
    {"lbr", Keyword::Line},
    {"page", Keyword::Page},
    {"cell", Keyword::Cell},
    {"row", Keyword::Row},
    {"nestcell", Keyword::NestedCell},
    {"nestrow", Keyword::NestedRow},

    {"tab", Keyword::Tab},
    {"emdash", Keyword::EmDash},
    {"endash", Keyword::EnDash},
    {"emspace", Keyword::EmSpace},
    {"enspace", Keyword::EnSpace},
    {"qmspace", Keyword::QuarterEmSpace},
    {"bullet", Keyword::Bullet},
    {"lquote", Keyword::LeftQuote},
    {"rquote", Keyword::RightQuote},
    {"ldblquote", Keyword::LeftDoubleQuote},
    {"rdblquote", Keyword::RightDoubleQuote},
    {"zwj", Keyword::ZeroWidthJoiner},
    {"zwnj", Keyword::ZeroWidthNonJoiner},
    {"ltrmark", Keyword::LeftToRightMark},
    {"rtlmark", Keyword::RightToLeftMark},

    {"pngblip", Keyword::PngBlip},
    {"jpegblip", Keyword::JpegBlip},
    {"dibitmap", Keyword::DeviceIndependentBitmap},
    {"wbitmap", Keyword::WindowsBitmap},
    {"wmetafile", Keyword::WindowsMetafile},
    {"emfblip", Keyword::EnhancedMetafile},
    {"macpict", Keyword::MacPicture},
    {"pmmetafile", Keyword::Os2Metafile},
    {"picw", Keyword::PictureWidth},
    {"pich", Keyword::PictureHeight},
    {"picwgoal", Keyword::PictureGoalWidth},
    {"pichgoal", Keyword::PictureGoalHeight},
    {"picscalex", Keyword::PictureScaleX},
    {"picscaley", Keyword::PictureScaleY},
};

// An open-addressing table with a cheap hash: control words are short, and a
// document holds millions of them, most of them words the reader passes over.
class KeywordTable
{
public:
    KeywordTable()
    {
        for (const Entry &e : kEntries) {
            std::size_t slot = hash(e.word) & kMask;
            while (!m_slots[slot].word.empty())
                slot = (slot + 1) & kMask;
            m_slots[slot] = e;
        }
    }

    Keyword find(std::string_view word) const
    {
        for (std::size_t slot = hash(word) & kMask;; slot = (slot + 1) & kMask) {
            const Entry &e = m_slots[slot];
            if (e.word.empty())
                return Keyword::Unknown;
            if (e.word == word)
                return e.keyword;
        }
    }

private:
    static constexpr std::size_t kSize = 1024; // a power of two, well above the entries
    static constexpr std::size_t kMask = kSize - 1;
    static_assert(std::size(kEntries) < kSize / 2);

    static std::size_t hash(std::string_view word)
    {
        std::uint32_t h = 2166136261u;
        for (const char c : word)
            h = (h ^ std::uint8_t(c)) * 16777619u;
        return h ^ (h >> 15);
    }

    std::array<Entry, kSize> m_slots{};
};

} // namespace

Keyword lookupKeyword(std::string_view word)
{
    static const KeywordTable table;
    return table.find(word);
}

} // namespace Rtf
