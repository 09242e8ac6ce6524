#pragma once

// The layer around CharLS, the JPEG-LS library (ISO/IEC 14495-1, T.87):
// lossless and near-lossless frames of 2 to 16 bits a sample, grey or colour,
// in any interleave mode. The stream's own header is read and checked against
// the frame's attributes and our memory bound before the library decodes a
// sample, so a forged header costs no memory. Library errors are Corrupt,
// with the library's text.

#include "codecs/CodecError.h"
#include "codecs/FrameParams.h"

#include <cstdint>
#include <span>
#include <vector>

namespace codecs {

enum class JpegLsInterleave { None, Line, Sample };

// T.87 C.2.2 (SOF55) and C.2.3 (SOS): what the stream says of itself.
struct JpegLsHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 0;
    int bitsPerSample = 0;
    int nearLossless = 0; // 0: lossless; else the largest error a sample may have
    JpegLsInterleave interleave = JpegLsInterleave::None;
};

class JpegLsAdapter {
public:
    // Largest frame we decode, as for the JPEG library.
    static constexpr std::uint64_t kMaxPictureBytes = std::uint64_t(1) << 30;

    static Result<JpegLsHeader> readHeader(std::span<const std::uint8_t> stream);

    // Decodes into frame (rows x columns x samples, interleaved per pixel;
    // bytes for bits allocated 8, host-order 16-bit samples for 16), sized
    // only once the header matches params: its size and components exactly,
    // its precision at most bits allocated. A mismatch is Corrupt.
    static Result<void> decodeFrame(std::span<const std::uint8_t> stream, const FrameParams& params,
        std::vector<std::uint8_t>& frame);
};

} // namespace codecs
