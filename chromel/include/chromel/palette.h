#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

// The 16-colour table of the ClrSelect control. SelectedColor is an index into this
// table; the control paints with it and hosts turn the index into a colour with it.
// Header-only: a host needs no link against Chromel to use it.
namespace Chromel {

inline constexpr int PaletteSize = 16;

inline constexpr QRgb PaletteRgb[PaletteSize] = {
    qRgb(0, 0, 0),       // 0  black
    qRgb(0, 0, 128),     // 1  dark blue
    qRgb(0, 128, 0),     // 2  dark green
    qRgb(0, 128, 128),   // 3  dark cyan
    qRgb(128, 0, 0),     // 4  dark red
    qRgb(128, 0, 128),   // 5  dark magenta
    qRgb(128, 128, 0),   // 6  dark yellow
    qRgb(192, 192, 192), // 7  light grey
    qRgb(128, 128, 128), // 8  grey
    qRgb(0, 0, 255),     // 9  blue
    qRgb(0, 255, 0),     // 10 green
    qRgb(0, 255, 255),   // 11 cyan
    qRgb(255, 0, 0),     // 12 red
    qRgb(255, 0, 255),   // 13 magenta
    qRgb(255, 255, 0),   // 14 yellow
    qRgb(255, 255, 255), // 15 white
};

// English names, as a screen reader announces the colours.
inline constexpr const char *PaletteNames[PaletteSize] = {
    "Black", "Dark blue", "Dark green", "Dark cyan",
    "Dark red", "Dark magenta", "Dark yellow", "Light grey",
    "Grey", "Blue", "Green", "Cyan",
    "Red", "Magenta", "Yellow", "White",
};

constexpr bool isPaletteIndex(int index)
{
    return index >= 0 && index < PaletteSize;
}

// An index outside the table has no colour: the result is then invalid.
inline QColor paletteColor(int index)
{
    return isPaletteIndex(index) ? QColor::fromRgb(PaletteRgb[index]) : QColor();
}

inline QString paletteColorName(int index)
{
    return isPaletteIndex(index) ? QString::fromLatin1(PaletteNames[index]) : QString();
}

} // namespace Chromel
