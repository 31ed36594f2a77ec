#pragma once

#include <QStringList>

// The fonts a user can choose from, as font lists show them.
namespace ScreenFonts {

// Every installed family once, by its plain name (without the foundry Qt adds when
// two foundries ship a family of the same name), sorted without regard to case.
QStringList families();

// A family name as Qt lists it, without its foundry: "C059 [urw]" -> "C059".
QString plainName(const QString &family);

} // namespace ScreenFonts
