// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

// The window's geometry is kept in twips (1/1440 inch), 15 of them to a pixel
// at 96 dots per inch; Qt's device-independent pixels are those 96-dpi pixels.
namespace Twips {

inline constexpr double perPixel = 15.0;

inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / perPixel));
}

inline double fromPixels(int pixels)
{
    return pixels * perPixel;
}

} // namespace Twips
