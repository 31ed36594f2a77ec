#pragma once

#include <cstdint>
#include <string_view>

namespace Rtf {

// The control words the reader acts on. Any other word is passed over.
enum class Keyword : std::uint8_t {
    Unknown,
    // Destinations
    FontTable, ColorTable, Picture, ShapePicture, Field, FieldResult,
    SkippedDestination, // content that is not part of the text: passed over whole
    // Document
    Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, Binary,
    // Font table and colour table
    Font, FontCharset, FontCodePage, Red, Green, Blue,
    // Unicode
    UnicodeChar, UnicodeSkip,
    // Character formatting, then paragraph formatting: Plain to InTable, kept
    // together (the reader tests for the range)
    Plain, FontSize, Bold, Italic, Strike, StrikeDouble,
    Underline, UnderlineDouble, UnderlineDotted, UnderlineDashed, UnderlineDashDot,
    UnderlineDashDotDot, UnderlineWave, UnderlineNone,
    ForeColor, BackColor, Highlight,
    Superscript, Subscript, NoSuperSub, Up, Down, Hidden,
    ParagraphDefault, AlignLeft, AlignCenter, AlignRight, AlignJustify,
    LeftIndent, RightIndent, FirstLineIndent, SpaceBefore, SpaceAfter, InTable,
    // Structure
    Paragraph, Line, Page, Cell, Row, NestedCell, NestedRow,
    // Characters
    Tab, EmDash, EnDash, EmSpace, EnSpace, QuarterEmSpace, Bullet,
    LeftQuote, RightQuote, LeftDoubleQuote, RightDoubleQuote,
    ZeroWidthJoiner, ZeroWidthNonJoiner, LeftToRightMark, RightToLeftMark,
    // Pictures
    PngBlip, JpegBlip, DeviceIndependentBitmap, WindowsBitmap, WindowsMetafile,
    EnhancedMetafile, MacPicture, Os2Metafile,
    PictureWidth, PictureHeight, PictureGoalWidth, PictureGoalHeight,
    PictureScaleX, PictureScaleY,
};

Keyword lookupKeyword(std::string_view word);

} // namespace Rtf
