// Twips, the unit the forms' sizes and positions are given in.
#pragma once

#include <QRect>

#include <cmath>

// A twip is 1/1440 inch; the forms are laid out at 96 dots per inch, so 15
// twips make a pixel. Every conversion in the program goes through here, so
// all round the same way: to the nearest pixel.
namespace Twips {

inline constexpr int kPerPixel = 15;

inline int px(int twips)
{
    return int(std::lround(double(twips) / kPerPixel));
}

inline int tw(int pixels)
{
    return pixels * kPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace Twips
