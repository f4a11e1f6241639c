#pragma once

namespace runtime {

// The design measures in twips: 1/1440 inch, whatever the screen. These convert them to the
// pixels of a screen given by its twips per pixel.

// Twips for one inch.
inline constexpr double TwipsPerInch = 1440.0;

// Twips per pixel for a screen of the given logical dots per inch (15 at 96 dpi); 15 for a screen
// that reports none.
constexpr double twipsPerPixelForDpi(double dpi)
{
    return dpi > 0 ? TwipsPerInch / dpi : 15.0;
}

// The pixel count nearest to a twips value (halves away from zero), at the given twips per pixel.
constexpr int twipsToPixels(int twips, double twipsPerPixel)
{
    const double px = twips / twipsPerPixel;
    return static_cast<int>(px < 0 ? px - 0.5 : px + 0.5);
}

} // namespace runtime
