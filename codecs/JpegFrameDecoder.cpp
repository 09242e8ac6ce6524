#include "codecs/JpegFrameDecoder.h"

#include "codecs/Jpeg12Adapter.h"
#include "codecs/JpegAdapter.h"
#include "codecs/LosslessJpegDecoder.h"

#include <algorithm>
#include <cstring>
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

namespace {

const char kSizeMismatch[] = "JPEG frame size does not match the image attributes";

// A frame may hold at most this many times the pixels its stream declares, so
// that a small stream cannot make a forged Rows x Columns cost memory. Real
// files have streams of a quarter of the frame's width.
constexpr std::uint64_t kMaxPaddingRatio = 16;

// The stream's own size when it differs from the parameters' but still fits
// the rule: same samples, a sixteenth of the frame's pixels or more, and its
// decoded picture within the cap.
Result<FrameParams> streamParamsOf(std::span<const std::uint8_t> stream, const FrameParams& params)
{
    const auto header = readJpegFrameHeader(stream);
    if (!header || header->width == 0 || header->height == 0
        || (header->width == params.columns && header->height == params.rows))
        return params;
    if (header->components != params.samplesPerPixel
        || std::uint64_t(header->width) * header->height * kMaxPaddingRatio
            < std::uint64_t(params.columns) * params.rows)
        return Error { CodecError::Corrupt, std::string(kSizeMismatch) + " (" + std::to_string(header->width)
            + " x " + std::to_string(header->height) + " x " + std::to_string(header->components) + ")" };
    FrameParams own = params;
    own.columns = header->width;
    own.rows = header->height;
    if (own.frameBytes() > JpegAdapter::kMaxPictureBytes)
        return Error { CodecError::Unsupported, "JPEG picture too large" };
    return own;
}

// Copies the stream's picture into the frame's top-left corner, cropped, over black.
void place(const std::vector<std::uint8_t>& picture, const FrameParams& own, const FrameParams& params,
    const std::array<std::uint16_t, 4>& black, std::vector<std::uint8_t>& frame)
{
    const std::size_t sampleBytes = params.bytesPerSample();
    const std::size_t pixelBytes = sampleBytes * params.samplesPerPixel;
    frame.resize(static_cast<std::size_t>(params.frameBytes()));
    std::vector<std::uint8_t> blackPixel(pixelBytes);
    for (std::size_t s = 0; s < params.samplesPerPixel && s < black.size(); ++s) {
        if (sampleBytes == 2)
            std::memcpy(&blackPixel[s * 2], &black[s], 2);
        else
            blackPixel[s] = static_cast<std::uint8_t>(black[s]);
    }
    for (std::size_t p = 0; p < frame.size(); p += pixelBytes)
        std::memcpy(&frame[p], blackPixel.data(), pixelBytes);
    const std::size_t rows = std::min(own.rows, params.rows);
    const std::size_t copyBytes = std::min(own.columns, params.columns) * pixelBytes;
    for (std::size_t y = 0; y < rows; ++y)
        std::memcpy(&frame[y * params.columns * pixelBytes], &picture[y * own.columns * pixelBytes], copyBytes);
}

// An 8-bit picture into 16-bit samples, for a data set that allocates 16 bits
// to an 8-bit DCT stream.
std::vector<std::uint8_t> widen(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t> wide(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint16_t sample = bytes[i];
        std::memcpy(&wide[i * 2], &sample, 2);
    }
    return wide;
}

Result<std::vector<std::string>> decodeAtStreamSize(std::span<const std::uint8_t> stream, const FrameParams& own,
    std::vector<std::uint8_t>& frame)
{
    const JpegProcess process = jpegProcessOf(stream);
    if (process != JpegProcess::Dct) {
        // Our decoder checks the header again and refuses a size other than
        // the parameters' before it writes a sample, so a stream whose header
        // does not match gets no buffer, and the decoder says what is wrong.
        const auto header = readJpegFrameHeader(stream);
        if (header && header->width == own.columns && header->height == own.rows
            && header->components == own.samplesPerPixel)
            frame.resize(static_cast<std::size_t>(own.frameBytes()));
        else
            frame.clear();
        auto lossless = LosslessJpegDecoder::decode(stream, own, frame);
        if (!lossless)
            return lossless.error();
        return std::move(lossless->warnings);
    }
    // T.81 B.2.2: P is 8 for baseline and 8 or 12 for the other DCT processes.
    const auto header = readJpegFrameHeader(stream);
    const bool twelveBit = header && header->precision > 8;
    if (twelveBit && own.bitsAllocated != 16)
        return Error { CodecError::Unsupported, "12-bit lossy JPEG frames need 16 bits allocated" };
    // The libraries read the header before they allocate the picture.
    FrameParams eightBit = own;
    eightBit.bitsAllocated = 8;
    auto picture = twelveBit ? Jpeg12Adapter::decodeFrame(stream, own) : JpegAdapter::decodeFrame(stream, eightBit);
    if (!picture)
        return picture.error();
    if (!twelveBit && own.bitsAllocated == 16)
        picture->pixels = widen(picture->pixels);
    if (picture->pixels.size() != own.frameBytes())
        return Error { CodecError::Corrupt, kSizeMismatch };
    frame = std::move(picture->pixels);
    std::vector<std::string> warnings;
    if (!picture->warning.empty())
        warnings.push_back(picture->warning);
    return warnings;
}

} // namespace

Result<std::vector<std::string>> decodeJpegFrame(std::span<const std::uint8_t> stream,
    const FrameParams& params, std::vector<std::uint8_t>& frame, FramePlacement* placement)
{
    auto own = streamParamsOf(stream, params);
    if (!own)
        return own.error();
    if (placement) {
        placement->streamWidth = own->columns;
        placement->streamHeight = own->rows;
        placement->placed = own->columns != params.columns || own->rows != params.rows;
    }
    if (own->columns == params.columns && own->rows == params.rows)
        return decodeAtStreamSize(stream, params, frame);
    std::vector<std::uint8_t> picture;
    auto warnings = decodeAtStreamSize(stream, *own, picture);
    if (!warnings)
        return warnings;
    place(picture, *own, params, placement ? placement->black : std::array<std::uint16_t, 4> {}, frame);
    return warnings;
}

} // namespace codecs
