// libFuzzer target: the lossless JPEG decoder. The first byte picks the output
// depth and the decoding path; the frame size is taken from the stream's own
// frame header (when small) so that inputs get past the size check. Frames of
// at most 8 bits decoded to 16-bit samples are decoded to bytes as well, and
// must agree.

#include "codecs/LosslessJpegDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace {

codecs::FrameParams paramsFromStream(std::span<const std::uint8_t> s)
{
    codecs::FrameParams p;
    p.rows = 8;
    p.columns = 8;
    for (std::size_t i = 0; i + 9 < s.size(); ++i) {
        if (s[i] == 0xFF && (s[i + 1] == 0xC3 || s[i + 1] == 0xC0 || s[i + 1] == 0xC1)) {
            p.rows = (std::uint32_t(s[i + 5]) << 8) | s[i + 6];
            p.columns = (std::uint32_t(s[i + 7]) << 8) | s[i + 8];
            p.samplesPerPixel = s[i + 9];
            break;
        }
    }
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);
    codecs::FrameParams params = paramsFromStream(stream);
    params.bitsAllocated = data[0] & 1 ? 16 : 8;
    params.bitsStored = params.bitsAllocated;
    if (params.frameBytes() > (std::uint64_t(1) << 22))
        return 0;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(params.frameBytes()));
    codecs::LosslessOptions options;
    options.fastPath = data[0] & 2 ? codecs::FastPath::Disabled : codecs::FastPath::Allowed;
    auto result = codecs::LosslessJpegDecoder::decode(stream, params, frame, options);
    if (!result || params.bitsAllocated != 16 || result->precision > 8)
        return 0;
    // A frame of 8-bit samples that never leave 0..255 must come out the same
    // when decoded to bytes, whichever path (the fast one or the general) runs.
    std::vector<std::uint8_t> bytes(frame.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::uint16_t sample; // host order
        std::memcpy(&sample, &frame[2 * i], 2);
        if (sample > 0xFF)
            return 0;
        bytes[i] = static_cast<std::uint8_t>(sample);
    }
    params.bitsAllocated = 8;
    params.bitsStored = 8;
    std::vector<std::uint8_t> narrow(bytes.size());
    auto again = codecs::LosslessJpegDecoder::decode(stream, params, narrow);
    if (!again || narrow != bytes)
        __builtin_trap();
    return 0;
}
