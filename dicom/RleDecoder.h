#pragma once

// The DICOM RLE compression of PS3.5 Annex G: a 64-byte header with up to 15
// segment offsets, each segment a PackBits byte stream holding one byte plane.

#include "dicom/DicomError.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dicom {

// How control byte -128 is read. PS3.5 G.3.2 makes it a no-op. Some old
// encoders meant it as a long replicate run: read that way it writes the next
// byte 129 times, yet counts 127 output bytes and consumes only itself, so the
// byte it repeated is read as the next control byte.
enum class RleMinus128 { NoOperation, Replicate129 };

// No control byte, read either way, yields more than this many output bytes
// per byte of segment.
inline constexpr std::uint64_t RleMaxExpansion = 128;

// G.3.2: decodes one segment into out while the output count is below
// out.size(), and returns the count as the runs add it up: past out.size()
// when the last run ran past the end (writes beyond out are dropped), short
// of it when the segment ended first. out keeps what was there where nothing
// was written.
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
// A segment whose count misses its plane is decoded again with -128 read the
// old way; what that gives is kept, and a plane it leaves short stays zero.
// Error 5 for a header that does not fit the shape, or a frame larger than
// its segments can yield (checked before anything is allocated); error 3 for
// a shape RLE cannot hold.
Result<std::vector<std::uint8_t>> decodeRleFrame(std::span<const std::uint8_t> frame, const RleFrameShape& shape);

// The same for frame after frame: the decoder keeps its buffers, so a long
// series allocates (and faults in) its memory once. The span returned stays
// valid until the next decode.
class RleDecoder {
public:
    Result<std::span<const std::uint8_t>> decode(std::span<const std::uint8_t> frame, const RleFrameShape& shape);

private:
    std::vector<std::uint8_t> m_out;
    std::vector<std::uint8_t> m_high;
    std::vector<std::uint8_t> m_low;
};

} // namespace dicom
