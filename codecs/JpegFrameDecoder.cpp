#include "codecs/JpegFrameDecoder.h"

#include "codecs/JpegAdapter.h"
#include "codecs/LosslessJpegDecoder.h"

#include <utility>

namespace codecs {

namespace {

constexpr std::uint8_t kSof0 = 0xC0, kSof1 = 0xC1, kSof2 = 0xC2, kSof3 = 0xC3;
constexpr std::uint8_t kDht = 0xC4, kDac = 0xCC, kJpg = 0xC8;
constexpr std::uint8_t kEoi = 0xD9, kSos = 0xDA;

bool isFrameMarker(std::uint8_t marker)
{
    return marker >= kSof0 && marker <= 0xCF && marker != kDht && marker != kJpg && marker != kDac;
}

// T.81 B.1.1.2 and B.1.1.4: from SOI, hands each marker segment (marker and
// parameters) to visit until it returns false, EOI, or a length that does not
// fit. Fill bytes, stuffed zeros and the markers without parameters are passed over.
template<typename Visit>
void walkSegments(std::span<const std::uint8_t> stream, Visit visit)
{
    if (stream.size() < 4 || stream[0] != 0xFF || stream[1] != 0xD8)
        return;
    std::size_t pos = 2;
    while (pos + 4 <= stream.size()) {
        if (stream[pos] != 0xFF) {
            ++pos;
            continue;
        }
        const std::uint8_t marker = stream[pos + 1];
        if (marker == 0xFF || marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            ++pos;
            continue;
        }
        if (marker == kEoi)
            return;
        const std::size_t length = (std::size_t(stream[pos + 2]) << 8) | stream[pos + 3];
        if (length < 2 || length > stream.size() - pos - 2)
            return;
        if (!visit(marker, stream.subspan(pos + 4, length - 2)))
            return;
        pos += 2 + length;
    }
}

} // namespace

JpegProcess jpegProcessOf(std::span<const std::uint8_t> stream)
{
    int frameMarker = -1;
    JpegProcess process = JpegProcess::Unknown;
    walkSegments(stream, [&](std::uint8_t marker, std::span<const std::uint8_t> segment) {
        if (marker == kSof3) {
            process = JpegProcess::Lossless;
            return false;
        }
        if (marker == kSof0 || marker == kSof1 || marker == kSof2) {
            frameMarker = marker;
            process = JpegProcess::Dct;
        } else if (marker == kSos) {
            // Ns, Ns x 2 selector bytes, then Ss and Se.
            const std::size_t ss = segment.empty() ? 0 : 1 + std::size_t(segment[0]) * 2;
            if (frameMarker < 0 || ss + 1 >= segment.size()) {
                process = frameMarker < 0 ? JpegProcess::Unknown : JpegProcess::Dct;
                return false;
            }
            const bool lossless = frameMarker != kSof2 && segment[ss] != 0 && segment[ss + 1] == 0;
            process = lossless ? JpegProcess::Lossless : JpegProcess::Dct;
            return false;
        } else if (isFrameMarker(marker)) {
            process = JpegProcess::Unknown;
            return false;
        }
        return true;
    });
    return process;
}

std::optional<JpegFrameHeader> readJpegFrameHeader(std::span<const std::uint8_t> stream)
{
    std::optional<JpegFrameHeader> header;
    walkSegments(stream, [&header](std::uint8_t marker, std::span<const std::uint8_t> segment) {
        if (!isFrameMarker(marker))
            return marker != kSos;
        // P, Y, X (16 bits each, big endian), Nf.
        if (segment.size() >= 6) {
            header = JpegFrameHeader { marker, segment[0], (std::uint32_t(segment[3]) << 8) | segment[4],
                (std::uint32_t(segment[1]) << 8) | segment[2], segment[5] };
        }
        return false;
    });
    return header;
}

Result<std::vector<std::string>> decodeJpegFrame(std::span<const std::uint8_t> stream,
    const FrameParams& params, std::vector<std::uint8_t>& frame)
{
    const JpegProcess process = jpegProcessOf(stream);
    if (process != JpegProcess::Dct) {
        // Our decoder checks the header again and refuses a size other than
        // the parameters' before it writes a sample, so a stream whose header
        // does not match gets no buffer, and the decoder says what is wrong.
        const auto header = readJpegFrameHeader(stream);
        if (header && header->width == params.columns && header->height == params.rows
            && header->components == params.samplesPerPixel)
            frame.resize(static_cast<std::size_t>(params.frameBytes()));
        else
            frame.clear();
        auto lossless = LosslessJpegDecoder::decode(stream, params, frame);
        if (!lossless)
            return lossless.error();
        return std::move(lossless->warnings);
    }
    // The library reads the header before it allocates the picture.
    auto picture = JpegAdapter::decodeFrame(stream, params);
    if (!picture)
        return picture.error();
    if (picture->pixels.size() != params.frameBytes())
        return Error { CodecError::Corrupt, "JPEG frame size does not match the image attributes" };
    frame = std::move(picture->pixels);
    std::vector<std::string> warnings;
    if (!picture->warning.empty())
        warnings.push_back(picture->warning);
    return warnings;
}

} // namespace codecs
