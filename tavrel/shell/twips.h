#pragma once

#include <QRect>

// Window and control lengths are designed in twips; at 96 dpi a logical pixel is
// 15 twips.
namespace Twips {

constexpr int kPerPixel = 15;

constexpr int toPixels(double twips)
{
    return int(twips / kPerPixel + (twips >= 0 ? 0.5 : -0.5));
}

constexpr double fromPixels(int pixels)
{
    return double(pixels) * kPerPixel;
}

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Twips
