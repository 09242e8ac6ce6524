#pragma once

// The layer around zlib: inflates a raw deflate stream (RFC 1951, without the
// zlib or gzip wrapper), as PS3.5 A.5 stores the data set of the deflated
// explicit VR little endian syntax. The output is bounded, so that a small
// stream cannot make us allocate gigabytes (a deflate bomb).
//
// A stream that zlib rejects, that ends before its last block, or whose
// output would pass the bound is Corrupt; a failed allocation OutOfMemory.

#include "codecs/CodecError.h"

#include <cstdint>
#include <span>
#include <vector>

namespace codecs {

class DeflateAdapter {
public:
    // Deflate cannot do better than about 1032:1; real data sets (text and
    // pixels) stay far below a quarter of that, but a mostly blank image
    // can come close, hence the floor for small streams.
    static constexpr std::uint64_t kMaxRatio = 256;
    static constexpr std::uint64_t kMinOutputBytes = std::uint64_t(64) << 20;
    // The same ceiling as for a decoded JPEG picture.
    static constexpr std::uint64_t kMaxOutputBytes = std::uint64_t(1) << 30;

    // How many bytes a stream of inputSize bytes may inflate to.
    static std::uint64_t outputLimit(std::uint64_t inputSize);

    // Appends the inflated stream to head and returns it; at most maxOutput
    // bytes (and never more than kMaxOutputBytes) are inflated. Bytes after the end of the stream (a pad to even
    // length) are ignored.
    static Result<std::vector<std::uint8_t>> inflate(std::span<const std::uint8_t> input, std::uint64_t maxOutput,
        std::vector<std::uint8_t> head = {});
};

} // namespace codecs
