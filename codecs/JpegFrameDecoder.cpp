#include "codecs/JpegFrameDecoder.h"

#include "codecs/JpegAdapter.h"
#include "codecs/LosslessJpegDecoder.h"

#include <algorithm>

namespace codecs {

JpegProcess jpegProcessOf(std::span<const std::uint8_t> stream)
{
    int frameMarker = -1;
    std::size_t pos = 2;
    if (stream.size() < 4 || stream[0] != 0xFF || stream[1] != 0xD8)
        return JpegProcess::Unknown;
    while (pos + 4 <= stream.size()) {
        if (stream[pos] != 0xFF) {
            ++pos;
            continue;
        }
        const int marker = stream[pos + 1];
        if (marker == 0xFF || marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            ++pos;
            continue;
        }
        if (marker == 0xD9)
            break;
        const std::size_t length = (std::size_t(stream[pos + 2]) << 8) | stream[pos + 3];
        if (length < 2 || length > stream.size() - pos - 2)
            break;
        if (marker == 0xC3)
            return JpegProcess::Lossless;
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            frameMarker = marker;
        } else if (marker == 0xDA) {
            // Ns, Ns x 2 selector bytes, then Ss and Se.
            const std::size_t ns = length >= 3 ? stream[pos + 4] : 0;
            const std::size_t ss = pos + 5 + ns * 2;
            if (frameMarker < 0 || ss + 1 >= pos + 2 + length)
                break;
            const bool lossless = frameMarker != 0xC2 && stream[ss] != 0 && stream[ss + 1] == 0;
            return lossless ? JpegProcess::Lossless : JpegProcess::Dct;
        } else if ((marker >= 0xC5 && marker <= 0xCF && marker != 0xC8 && marker != 0xCC)) {
            return JpegProcess::Unknown;
        }
        pos += 2 + length;
    }
    return frameMarker >= 0 ? JpegProcess::Dct : JpegProcess::Unknown;
}

base::Result<std::vector<std::string>> decodeJpegFrame(std::span<const std::uint8_t> stream,
    const FrameParams& params, std::span<std::uint8_t> dest)
{
    if (jpegProcessOf(stream) != JpegProcess::Dct) {
        auto lossless = LosslessJpegDecoder::decode(stream, params, dest);
        if (!lossless)
            return lossless.error();
        return std::move(lossless->warnings);
    }
    auto picture = JpegAdapter::decodeFrame(stream, params);
    if (!picture)
        return picture.error();
    if (picture->pixels.size() != params.frameBytes() || dest.size() < picture->pixels.size())
        return base::Error { CodecError::Corrupt, "JPEG frame size does not match the image attributes" };
    std::copy(picture->pixels.begin(), picture->pixels.end(), dest.begin());
    std::vector<std::string> warnings;
    if (!picture->warning.empty())
        warnings.push_back(picture->warning);
    return warnings;
}

} // namespace codecs
