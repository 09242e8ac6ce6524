#pragma once

// Pixel Aspect Ratio (0028,0034): the vertical and horizontal size of a pixel,
// written "a\b" (PS3.3 C.7.6.3.1.7).

#include <cstdint>
#include <optional>
#include <string_view>

namespace dicom {

// a / b for a text "a\b" with both numbers above 0 (decimals accepted, as some
// writers put them in this IS); nothing otherwise.
std::optional<double> pixelAspectRatio(std::string_view text);

// The height a frame gets when resampled to square pixels: height x ratio,
// rounded, at least 1, and capped so the frame stays within 65535 rows and
// the frame size limit for its width and bytes a pixel.
std::uint32_t aspectResampledHeight(std::uint32_t height, double ratio, std::uint32_t width,
                                    std::uint32_t bytesPerPixel);

} // namespace dicom
