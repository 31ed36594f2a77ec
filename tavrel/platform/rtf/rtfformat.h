#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// What the RTF reader reports about the text it hands on. Plain C++: the reader
// knows nothing of any GUI toolkit.
namespace Rtf {

struct Color
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Color &) const = default;
};

enum class Underline : std::uint8_t {
    None,
    Single,
    Double,
    Dotted,
    Dashed,
    DashDot,
    DashDotDot,
    Wave,
};

enum class VerticalPosition : std::uint8_t { Normal, Superscript, Subscript };

// Character formatting in force for a run of text. Values the file does not give
// stay at their "not given" value, so that the pad's own base font fills them in.
struct CharFormat
{
    std::u16string_view fontFamily; // empty: not given
    int halfPoints = 0;             // font size in half-points; 0: not given
    bool bold = false;
    bool italic = false;
    bool strike = false;
    Underline underline = Underline::None;
    bool hasColor = false;          // false: the automatic text colour
    Color color;
    bool hasBackground = false;     // false: no highlight
    Color background;
    VerticalPosition vertical = VerticalPosition::Normal;
    int offsetHalfPoints = 0;       // raised (positive) or lowered (negative) baseline

    bool operator==(const CharFormat &) const = default;
};

enum class Alignment : std::uint8_t { Left, Right, Center, Justify };

// Paragraph formatting; lengths in twips.
struct ParagraphFormat
{
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;

    bool operator==(const ParagraphFormat &) const = default;
};

enum class PictureType : std::uint8_t { Png, Jpeg, Dib, Wmf, Emf, Other };

struct Picture
{
    PictureType type = PictureType::Other;
    std::span<const std::uint8_t> data;
    // Size of the picture itself: pixels for bitmaps, hundredths of a millimetre
    // for metafiles; 0 when not given.
    int width = 0;
    int height = 0;
    // Wanted display size in twips before scaling; 0 when not given.
    int goalWidth = 0;
    int goalHeight = 0;
    // Scaling in per cent.
    int scaleX = 100;
    int scaleY = 100;

    // Display size in twips, or 0 when the file says nothing usable; bitmaps
    // without a display size are then shown at their own pixel size.
    int displayWidthTwips() const;
    int displayHeightTwips() const;
};

} // namespace Rtf
