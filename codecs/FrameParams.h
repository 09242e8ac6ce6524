#pragma once

// What a codec needs to know about the frame it decodes, taken from the data
// set's image attributes by the caller, so that codecs/ never sees dicom/.

#include "codecs/CodecError.h"

#include <cstdint>

namespace codecs {

// What the data set's Photometric Interpretation says of a three-component
// frame. A JPEG stream that names its own colour space (Adobe or JFIF marker,
// component identifiers, subsampled chroma) is read as it says; otherwise
// "RGB" means no colour transform was applied (PS3.5 8.2.1).
enum class DeclaredColour { Other, Rgb, Ybr };

struct FrameParams {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint16_t samplesPerPixel = 1;
    std::uint16_t bitsAllocated = 8; // 8: one byte per sample; 16: host-order 16-bit samples
    std::uint16_t bitsStored = 8;
    std::uint8_t planarConfiguration = 0; // decoders always write samples interleaved per pixel
    DeclaredColour declaredColour = DeclaredColour::Other;

    std::uint64_t bytesPerSample() const { return bitsAllocated > 8 ? 2 : 1; }
    std::uint64_t frameBytes() const
    {
        return std::uint64_t(rows) * columns * samplesPerPixel * bytesPerSample();
    }
};

// The top-left part of a stream's picture a decoder writes when the stream
// is larger than its frame: columns x rows, each cut to the stream's own.
// Zero keeps the whole picture. Decoders pass over no more of the stream
// than these rows need, so a forged stream size costs neither memory nor time.
struct FrameRegion {
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;

    FrameRegion within(std::uint32_t width, std::uint32_t height) const
    {
        return { columns == 0 || columns > width ? width : columns, rows == 0 || rows > height ? height : rows };
    }
};

} // namespace codecs
