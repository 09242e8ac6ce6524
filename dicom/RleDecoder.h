#pragma once

// The DICOM RLE compression of PS3.5 Annex G: a 64-byte header with up to 15
// segment offsets, each segment a PackBits byte stream holding one byte plane.

#include "base/Result.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dicom {

// How control byte -128 is read. PS3.5 G.3.2 makes it a no-op; a few old
// encoders used it as a replicate run of 129 bytes.
enum class RleMinus128 { NoOperation, Replicate129 };

// G.3.2: decodes one segment into out and returns the number of bytes
// produced (never more than out.size()). Runs past the end of out are cut.
std::size_t decodeRleSegment(std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
                             RleMinus128 minus128 = RleMinus128::NoOperation);

struct RleFrameShape {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    int samplesPerPixel = 1;
    int bytesPerSample = 1; // 1 or 2
};

// Decodes one frame (header and segments) into colour-by-plane order: plane s
// holds rows x columns samples of sample s, 16-bit samples little endian.
// G.2 orders the segments most significant byte first, sample after sample.
// Error 5 for a header that does not fit the shape or a segment that decodes
// short; error 3 for a shape RLE cannot hold.
base::Result<std::vector<std::uint8_t>> decodeRleFrame(std::span<const std::uint8_t> frame, const RleFrameShape& shape);

// The same for frame after frame: the decoder keeps its buffers, so a long
// series allocates (and faults in) its memory once. The span returned stays
// valid until the next decode.
class RleDecoder {
public:
    base::Result<std::span<const std::uint8_t>> decode(std::span<const std::uint8_t> frame, const RleFrameShape& shape);

private:
    std::vector<std::uint8_t> m_out;
    std::vector<std::uint8_t> m_high;
    std::vector<std::uint8_t> m_low;
};

} // namespace dicom
