// libFuzzer target: 12-bit DCT decoding through the 12-bit library adapter,
// directly and through the frame decoder's choice of library and its placing
// of streams of another size. Pictures larger than a few megapixels are
// skipped so that a forged header costs no time. Seeds: 24 x 24 streams made
// by dcmcjpeg +ee (SOF1) and +ep (SOF2) from grey/squares-12bit.dcm.

#include "codecs/Jpeg12Adapter.h"
#include "codecs/JpegFrameDecoder.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> stream(data, size);
    const auto header = codecs::readJpegFrameHeader(stream);
    if (!header || std::uint64_t(header->width) * header->height > (std::uint64_t(1) << 22))
        return 0;
    codecs::FrameParams params;
    params.columns = header->width;
    params.rows = header->height;
    params.samplesPerPixel = static_cast<std::uint16_t>(header->components);
    params.bitsAllocated = 16;
    params.bitsStored = 12;
    auto picture = codecs::Jpeg12Adapter::decodeFrame(stream, params);
    (void)picture;
    // The same stream in a frame a few pixels larger each way, so that it is placed.
    params.columns += 3;
    params.rows += 2;
    if (params.frameBytes() != 0 && params.frameBytes() <= (std::uint64_t(1) << 24)) {
        std::vector<std::uint8_t> frame;
        codecs::FramePlacement placement;
        auto warnings = codecs::decodeJpegFrame(stream, params, frame, &placement);
        (void)warnings;
    }
    return 0;
}
