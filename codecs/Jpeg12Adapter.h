#pragma once

// The layer around the 12-bit build of the IJG JPEG library that comes with
// GDCM: DCT frames (T.81 extended and progressive processes) of precision 9
// to 12 are decoded at full precision. Its symbols carry their own prefix, so
// it lives beside libjpeg-turbo, which keeps the 8-bit frames. As with the
// 8-bit adapter, the library's error exit returns to us, its memory is capped
// and every call owns its library object.

#include "codecs/CodecError.h"
#include "codecs/FrameParams.h"
#include "codecs/JpegAdapter.h"

#include <cstdint>
#include <span>

namespace codecs {

class Jpeg12Adapter {
public:
    // Decodes a frame whose size and samples must match the parameters
    // (bits allocated 16); pixels holds host-order 16-bit samples, YCbCr
    // turned into R, G, B. A library error is Corrupt with its message. Only
    // the region is returned, and decoding stops after its rows; a stream
    // held whole (several scans) is refused as for the 8-bit library.
    static Result<DecodedPicture> decodeFrame(std::span<const std::uint8_t> input, const FrameParams& params,
        FrameRegion region = {});
};

} // namespace codecs
