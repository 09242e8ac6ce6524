// libFuzzer target: the lossless JPEG decoder. The first byte picks the output
// depth and the decoding path; the frame size is taken from the stream's own
// frame header (when small) so that inputs get past the size check.

#include "codecs/LosslessJpegDecoder.h"

#include <cstddef>
#include <cstdint>
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
    (void)result;
    return 0;
}
