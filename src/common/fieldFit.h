// Sizes fitted to a field's grid: the mark size in percent and the LIC's pixels per cell.
// Marks were sized for a 500-wide grid and the LIC has one pixel per cell, which buries or
// blurs a small field shown 600 pixels wide; these scale both to the field's width.
#pragma once

#include <algorithm>

namespace FieldFit
{
constexpr int kMarkWidth = 500;     // the grid width marks are drawn for at 100 %
constexpr int kMinMarkPercent = 25; // the mark size slider's range
constexpr int kMaxMarkPercent = 400;
constexpr int kLicViewPixels = 600; // the view's width, which a fitted LIC fills
constexpr int kLicFineWidth = 300;  // from this width on, one pixel per cell reads well
constexpr int kMaxLicSide = 4096;   // a fitted LIC image stays a texture every GL takes

// 100 % x width / 500, rounded, within the slider's range; no field keeps 100 %.
inline int markPercent(int width)
{
    if (width <= 0)
        return 100;
    const long long rounded = (200LL * width + kMarkWidth) / (2 * kMarkWidth);
    return int(std::clamp<long long>(rounded, kMinMarkPercent, kMaxMarkPercent));
}

// floor(600 / width) for fields narrower than 300 cells, else 1; lowered so that neither side
// of the image exceeds 4096 pixels (a tall, narrow field).
inline int licPixelsPerCell(int width, int height)
{
    if (width <= 0 || height <= 0 || width >= kLicFineWidth)
        return 1;
    const int longer = std::max(width, height);
    return std::max(1, std::min(kLicViewPixels / width, kMaxLicSide / longer));
}
} // namespace FieldFit
