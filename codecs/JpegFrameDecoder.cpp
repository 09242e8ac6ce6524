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

Error sizeMismatch(const JpegFrameHeader& header)
{
    return { CodecError::Corrupt, std::string(kSizeMismatch) + " (" + std::to_string(header.width) + " x "
        + std::to_string(header.height) + " x " + std::to_string(header.components) + ")" };
}

// The stream's own size when it differs from the parameters' but still fits
// the rule: same samples, a sixteenth of the frame's pixels or more, and,
// when larger, rows of the frame's height that a decoder can pass over in
// proportion to the frame (JpegAdapter::maxCropWork).
Result<FrameParams> streamParamsOf(std::span<const std::uint8_t> stream, const FrameParams& params)
{
    const auto header = readJpegFrameHeader(stream);
    if (!header || header->width == 0 || header->height == 0
        || (header->width == params.columns && header->height == params.rows))
        return params;
    if (header->components != params.samplesPerPixel
        || std::uint64_t(header->width) * header->height * kMaxPaddingRatio
            < std::uint64_t(params.columns) * params.rows)
        return sizeMismatch(*header);
    FrameParams own = params;
    own.columns = header->width;
    own.rows = header->height;
    const FrameRegion kept = FrameRegion { params.columns, params.rows }.within(own.columns, own.rows);
    const std::uint64_t keptSamples = std::uint64_t(kept.columns) * kept.rows * params.samplesPerPixel;
    if (std::uint64_t(own.columns) * kept.rows * params.samplesPerPixel > JpegAdapter::maxCropWork(keptSamples))
        return sizeMismatch(*header);
    return own;
}

// Copies the kept part of the stream's picture (region-sized) into the
// frame's top-left corner over black.
void place(const std::vector<std::uint8_t>& picture, FrameRegion region, const FrameParams& params,
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
    const std::size_t copyBytes = region.columns * pixelBytes;
    for (std::size_t y = 0; y < region.rows; ++y)
        std::memcpy(&frame[y * params.columns * pixelBytes], &picture[y * copyBytes], copyBytes);
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

// Decodes the region of a stream of the size own gives into out (region-sized).
Result<std::vector<std::string>> decodeRegion(std::span<const std::uint8_t> stream, const FrameParams& own,
    FrameRegion region, std::vector<std::uint8_t>& out)
{
    const std::uint64_t regionBytes = std::uint64_t(region.columns) * region.rows * own.samplesPerPixel
        * own.bytesPerSample();
    const JpegProcess process = jpegProcessOf(stream);
    if (process != JpegProcess::Dct) {
        // Our decoder checks the header again and refuses a size other than
        // the parameters' before it writes a sample, so a stream whose header
        // does not match gets no buffer, and the decoder says what is wrong.
        const auto header = readJpegFrameHeader(stream);
        if (header && header->width == own.columns && header->height == own.rows
            && header->components == own.samplesPerPixel)
            out.resize(static_cast<std::size_t>(regionBytes));
        else
            out.clear();
        LosslessOptions options;
        options.region = region;
        auto lossless = LosslessJpegDecoder::decode(stream, own, out, options);
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
    auto picture = twelveBit ? Jpeg12Adapter::decodeFrame(stream, own, region)
                             : JpegAdapter::decodeFrame(stream, eightBit, region);
    if (!picture)
        return picture.error();
    if (!twelveBit && own.bitsAllocated == 16)
        picture->pixels = widen(picture->pixels);
    if (picture->pixels.size() != regionBytes)
        return Error { CodecError::Corrupt, kSizeMismatch };
    out = std::move(picture->pixels);
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
    const FrameRegion region = FrameRegion { params.columns, params.rows }.within(own->columns, own->rows);
    if (own->columns == params.columns && own->rows == params.rows)
        return decodeRegion(stream, params, region, frame);
    std::vector<std::uint8_t> picture;
    auto warnings = decodeRegion(stream, *own, region, picture);
    if (!warnings)
        return warnings;
    place(picture, region, params, placement ? placement->black : std::array<std::uint16_t, 4> {}, frame);
    return warnings;
}

} // namespace codecs
