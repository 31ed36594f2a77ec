#include "platform/rtf/rtfformat.h"

#include <algorithm>
#include <cstdint>

namespace Rtf {

namespace {

// Twips per pixel at 96 dots per inch, and per hundredth of a millimetre.
constexpr std::int64_t kTwipsPerPixel = 15;
constexpr std::int64_t kMaxDisplayTwips = 144000;

int displayTwips(PictureType type, int goal, int natural, int scale)
{
    std::int64_t twips = 0;
    if (goal > 0)
        twips = goal;
    else if (natural > 0 && (type == PictureType::Wmf || type == PictureType::Emf))
        twips = std::int64_t(natural) * 1440 / 2540;
    else if (natural > 0)
        twips = std::int64_t(natural) * kTwipsPerPixel;
    twips = twips * std::clamp(scale, 1, 100000) / 100;
    return int(std::clamp<std::int64_t>(twips, 0, kMaxDisplayTwips));
}

} // namespace

int Picture::displayWidthTwips() const
{
    return displayTwips(type, goalWidth, width, scaleX);
}

int Picture::displayHeightTwips() const
{
    return displayTwips(type, goalHeight, height, scaleY);
}

} // namespace Rtf
