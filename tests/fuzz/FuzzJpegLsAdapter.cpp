// libFuzzer target: JPEG-LS decoding through the CharLS adapter, with the
// frame parameters the stream's own header declares (so the fuzzer reaches
// the library), and once with parameters that disagree. Pictures larger than
// a few megapixels are skipped so that a forged header costs no time.

#include "codecs/JpegLsAdapter.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> stream(data, size);
    auto header = codecs::JpegLsAdapter::readHeader(stream);
    if (!header || std::uint64_t(header->width) * header->height * std::uint64_t(header->components)
            > (std::uint64_t(1) << 22))
        return 0;
    codecs::FrameParams params;
    params.rows = header->height;
    params.columns = header->width;
    params.samplesPerPixel = static_cast<std::uint16_t>(header->components);
    params.bitsAllocated = header->bitsPerSample > 8 || size % 2 == 1 ? 16 : 8;
    params.bitsStored = static_cast<std::uint16_t>(header->bitsPerSample);
    std::vector<std::uint8_t> frame;
    auto decoded = codecs::JpegLsAdapter::decodeFrame(stream, params, frame);
    (void)decoded;
    params.rows += 1;
    auto refused = codecs::JpegLsAdapter::decodeFrame(stream, params, frame);
    (void)refused;
    return 0;
}
