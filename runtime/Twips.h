#pragma once

#include <cmath>

namespace runtime {

// Positions and sizes are kept in twips (1/1440 inch) as single-precision values; pixels are
// always derived from twips by rounding, never the other way round, so that a twips value reads
// back exactly as it was assigned.

// Twips for one inch.
inline constexpr float TwipsPerInch = 1440.0f;

// Twips per pixel for a screen of the given logical dots per inch (15 at 96 dpi).
constexpr float twipsPerPixelForDpi(double dpi)
{
    return dpi > 0 ? static_cast<float>(TwipsPerInch / dpi) : 15.0f;
}

// The pixel count nearest to a twips value, at the given twips per pixel.
constexpr int twipsToPixels(float twips, float twipsPerPixel)
{
    const double px = static_cast<double>(twips) / static_cast<double>(twipsPerPixel);
    return static_cast<int>(px < 0 ? px - 0.5 : px + 0.5);
}

// The twips covered by a pixel count, at the given twips per pixel.
constexpr float pixelsToTwips(int pixels, float twipsPerPixel)
{
    return static_cast<float>(pixels) * twipsPerPixel;
}

} // namespace runtime
