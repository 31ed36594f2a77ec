#pragma once

#include "platform/symbolfonts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The characters of the Insert Symbol grid: the 224 codes 32 to 255 of the 8-bit
// code page, Windows-1252, in a chosen font. A symbol font draws its own glyphs at
// those codes; the grid shows them and inserts the Unicode characters they stand
// for, so that the document holds real text.
namespace SymbolCharacters {

constexpr int kFirstCode = 32;
constexpr int kCount = 224;

// The layout of the font a family name resolves to ("Symbol" is an alias of another
// font on most systems), or none for a font that follows the code page.
std::optional<SymbolFonts::Layout> layoutOf(const QString &family);

struct Cell {
    // Drawn in the font: the font's own glyph for the code.
    QString shown;
    // What a click inserts. Both are empty for a code without a character.
    QString inserted;
};

Cell cell(std::optional<SymbolFonts::Layout> layout, int code);

// The 224 cells of a font, codes 32 to 255. A code at which a symbol font has no
// glyph of its own is left empty, whatever its layout says.
QList<Cell> cells(const QString &family);

// The families to set an inserted character in: the chosen one, followed, when the
// chosen font cannot draw that character by its Unicode value (a symbol font draws
// its glyphs only at its own codes), by the fallback's font or else the
// application's.
QStringList familiesFor(const QString &family, const QString &character,
                        const QString &fallback);

} // namespace SymbolCharacters
