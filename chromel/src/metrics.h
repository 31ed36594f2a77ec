#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Sizes and placements of the control's parts. They are designed in twips; at
// 96 dpi one logical pixel is 15 twips, so the design sizes are whole pixels and
// everything here is computed in logical pixels, converting only where a length
// is a fraction of a pixel.
namespace Chromel {

inline constexpr int TwipsPerPixel = 15;

// The arrow button keeps its design width; the palette its design height.
inline constexpr int ButtonWidth = 225 / TwipsPerPixel;   // 15
inline constexpr int PaletteHeight = 3240 / TwipsPerPixel; // 216

// The swatch and the palette have a flat one-pixel border; what they paint lies
// in the inner area.
inline constexpr int BorderWidth = 1;

// Twips to the nearest logical pixel.
constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}

// Where the palette of `popup` size opens for a control occupying `control` on a
// screen whose usable area is `screen` (all in global logical pixels).
QPoint popupPosition(const QRect &control, const QSize &popup, const QRect &screen);

// The palette row (0..15 inside the rows, below 0 above them, 16 or more below
// the painted rows) under a point `y` logical pixels below the top of an inner
// area `innerHeight` pixels high. The rows are picked at an exact sixteenth of
// the height, fraction kept.
int paletteRowAt(qreal y, int innerHeight);

// Row `row` of the palette in its inner area of size `inner`: the black outline
// and the colour bar inside it. Painted rows are a whole number of twips high,
// so a few twips at the bottom may stay background.
QRect paletteRowOutline(int row, const QSize &inner);
QRect paletteRowBar(int row, const QSize &inner);

// In the swatch's inner area: the focus rectangle, one pixel inside the edge,
// and the colour block, one pixel inside that.
QRect swatchFocusRect(const QSize &inner);
QRect swatchColourRect(const QSize &inner);

} // namespace Chromel
