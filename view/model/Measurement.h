#pragma once

#include "view/model/ViewTransform.h"

#include <optional>
#include <string>
#include <string_view>

namespace viewmodel {

// Millimetres per pixel. Pixel Spacing (0028,0030) holds the row spacing
// first (between rows: vertical, applied to y) and the column spacing second
// (between columns: horizontal, applied to x), PS3.3 10.7.1.3. Both are
// always finite and above 0.
struct PixelSpacing {
    double row = 1.0;
    double column = 1.0;
    friend bool operator==(const PixelSpacing&, const PixelSpacing&) = default;
};

// A spacing value fit to measure with: one that is missing, 0, negative or
// not finite counts as 1 mm per pixel, so every frame can still be measured.
double usableSpacing(std::optional<double> value);
PixelSpacing pixelSpacing(std::optional<double> row, std::optional<double> column);

// The two values of a Pixel Spacing text ("0.5\0.25"), each read as a decimal
// number with blanks around it; what cannot be read counts as missing.
PixelSpacing pixelSpacingFromText(std::string_view text);

// The distance between the centres of two pixels: the same whichever end
// was clicked first, and 0 from a pixel to itself.
double lengthMillimetres(Point a, Point b, PixelSpacing spacing);
// "%dmm" of the distance truncated to whole millimetres.
std::string lengthLabel(Point a, Point b, PixelSpacing spacing);

// The angle at `vertex` between the arms to `first` and `second`, in degrees
// from 0 to 180, in single precision with the constants the stored labels
// were made with, so a label made here matches one made before.
float angleDegrees(Point vertex, Point first, Point second);
// "%.2f°" of the angle, UTF-8, with a decimal point whatever the C locale.
std::string angleLabel(float degrees);

} // namespace viewmodel
