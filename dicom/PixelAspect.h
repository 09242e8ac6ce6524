#pragma once

// Pixel Aspect Ratio (0028,0034): the vertical and horizontal size of a pixel,
// written "a\b" (PS3.3 C.7.6.3.1.7).

#include <optional>
#include <string_view>

namespace dicom {

// a / b for a text "a\b" with both numbers above 0 (decimals accepted, as some
// writers put them in this IS); nothing otherwise.
std::optional<double> pixelAspectRatio(std::string_view text);

} // namespace dicom
