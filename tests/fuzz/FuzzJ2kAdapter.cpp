// libFuzzer target: JPEG 2000 and HTJ2K decoding through the OpenJPEG adapter, with
// the frame parameters the stream's own header declares (so the fuzzer
// reaches the libraries), and once with parameters that disagree. Pictures
// larger than a few megapixels are skipped so that a forged header costs no time.

#include "codecs/J2kAdapter.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

template<typename Adapter>
void decodeWith(std::span<const std::uint8_t> stream)
{
    auto header = Adapter::readHeader(stream);
    if (!header || std::uint64_t(header->width) * header->height * std::uint64_t(header->components)
            > (std::uint64_t(1) << 22))
        return;
    codecs::FrameParams params;
    params.rows = header->height;
    params.columns = header->width;
    params.samplesPerPixel = static_cast<std::uint16_t>(header->components);
    params.bitsAllocated = header->precision > 8 || stream.size() % 2 == 1 ? 16 : 8;
    params.bitsStored = static_cast<std::uint16_t>(header->precision);
    std::vector<std::uint8_t> frame;
    auto decoded = Adapter::decodeFrame(stream, params, frame);
    (void)decoded;
    params.rows += 1;
    auto refused = Adapter::decodeFrame(stream, params, frame);
    (void)refused;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> stream(data, size);
    decodeWith<codecs::J2kAdapter>(stream);
    return 0;
}
