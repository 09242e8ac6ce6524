// libFuzzer target: JPEG decoding through the library adapter, and the choice
// between it and the lossless decoder. Pictures larger than a few megapixels
// are skipped so that a forged header costs no time.

#include "codecs/JpegAdapter.h"
#include "codecs/JpegFrameDecoder.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

bool smallPicture(std::span<const std::uint8_t> s, codecs::FrameParams& p)
{
    for (std::size_t i = 0; i + 9 < s.size(); ++i) {
        if (s[i] == 0xFF && s[i + 1] >= 0xC0 && s[i + 1] <= 0xCF && s[i + 1] != 0xC4 && s[i + 1] != 0xC8
            && s[i + 1] != 0xCC) {
            p.rows = (std::uint32_t(s[i + 5]) << 8) | s[i + 6];
            p.columns = (std::uint32_t(s[i + 7]) << 8) | s[i + 8];
            p.samplesPerPixel = s[i + 9];
            return std::uint64_t(p.rows) * p.columns <= (std::uint64_t(1) << 22);
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> stream(data, size);
    codecs::FrameParams params;
    if (!smallPicture(stream, params))
        return 0;
    auto picture = codecs::JpegAdapter::decode(stream);
    (void)picture;
    if (params.frameBytes() != 0 && params.frameBytes() <= (std::uint64_t(1) << 24)) {
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(params.frameBytes()));
        auto warnings = codecs::decodeJpegFrame(stream, params, frame);
        (void)warnings;
    }
    return 0;
}
