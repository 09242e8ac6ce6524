#pragma once

// A normalised frame as the pixel-data decoders make it and the image object
// keeps it: top row first, no padding, in the sample type of its format, so
// it passes from decoder to image without being copied or converted.

#include <cstdint>
#include <vector>

namespace base {

enum class FrameFormat { Grey8, Rgb8, Grey16 };

struct Frame {
    FrameFormat format = FrameFormat::Grey8;
    std::vector<std::uint8_t> bytes;   // Grey8: one byte a pixel; Rgb8: R, G, B
    std::vector<std::int16_t> samples; // Grey16, host order
};

} // namespace base
