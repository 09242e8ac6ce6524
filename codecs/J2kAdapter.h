#pragma once

// The layer around OpenJPEG, the JPEG 2000 library (ISO/IEC 15444-1, and
// the high-throughput blocks of 15444-15): lossless and lossy frames of up to
// 16 bits a sample, signed or unsigned, grey or colour. The library undoes
// the stream's own colour transform (RCT or ICT, as its COD segment says), so
// three-component frames come out as R, G, B. The stream's main header is
// read and checked against the frame's attributes and our memory bound before
// the library decodes a sample, so a forged header costs no memory. Library
// errors are Corrupt, with the library's text.
//
// OpenJPEG decodes the high-throughput codestreams too. OpenJPH, the decoder
// made for them, was 2.5 times as fast on 512 x 512 16-bit lossless frames,
// but the build Debian ships aborts on an assertion in its block decoder and
// divides by zero on a zero tile size when fed damaged streams: a bad file
// would take the viewer down, so it is not used.

#include "codecs/CodecError.h"
#include "codecs/FrameParams.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace codecs {

// 15444-1 A.5.1 (SIZ): what the stream says of itself.
struct J2kHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 0;
    int precision = 0;     // bits of the widest component
    bool isSigned = false; // any component signed
    bool subsampled = false;
};

// What a decode found that the attributes may disagree with.
struct J2kDecoded {
    int precision = 0;
    bool isSigned = false;
};

// The checks made before the library decodes: size and
// components exactly as the attributes give them (Corrupt), precision at most
// bits allocated (Corrupt), no subsampled component (Unsupported) and the
// library's own buffers, 4 bytes a sample, within kMaxPictureBytes (Unsupported).
Result<void> checkJ2kHeader(const J2kHeader& header, const FrameParams& params);

// Writes decoded sample v of the frame: bytes for bits allocated 8,
// host-order 16-bit samples otherwise; signed values keep two's complement.
inline void storeJ2kSample(std::vector<std::uint8_t>& frame, bool wide, std::size_t at, std::int32_t v)
{
    if (wide)
        reinterpret_cast<std::uint16_t*>(frame.data())[at] = static_cast<std::uint16_t>(v);
    else
        frame[at] = static_cast<std::uint8_t>(v);
}

// Runs work in this thread with abort() turned into a false return, for a
// library that asserts on damaged input. Whatever work allocated before the
// abort stays allocated; work must hold nothing that needs destroying.
bool runTrappingAborts(const std::function<bool()>& work);

class J2kAdapter {
public:
    // Largest frame we let the library hold, as for the JPEG library.
    static constexpr std::uint64_t kMaxPictureBytes = std::uint64_t(1) << 30;

    // A raw codestream (starting with SOC, FF 4F) or a JP2 file.
    static Result<J2kHeader> readHeader(std::span<const std::uint8_t> stream);

    // Decodes into frame (rows x columns x samples, interleaved per pixel),
    // sized only once the header passed checkJ2kHeader.
    static Result<J2kDecoded> decodeFrame(std::span<const std::uint8_t> stream, const FrameParams& params,
        std::vector<std::uint8_t>& frame);
};

} // namespace codecs
