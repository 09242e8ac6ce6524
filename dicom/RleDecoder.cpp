#include "dicom/RleDecoder.h"

#include "base/ByteReader.h"
#include "dicom/PixelAttributes.h"
#include "dicom/DicomError.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>

namespace dicom {

std::size_t decodeRleSegment(std::span<const std::uint8_t> in, std::span<std::uint8_t> out, RleMinus128 minus128)
{
    const std::uint8_t* src = in.data();
    std::uint8_t* dst = out.data();
    std::size_t i = 0, o = 0;
    const std::size_t inSize = in.size(), outSize = out.size();
    while (o < outSize && i < inSize) {
        const int n = static_cast<std::int8_t>(src[i++]);
        if (n >= 0) {
            // Literal run of n + 1 bytes; a run cut off by the segment's end keeps what is there.
            const std::size_t run = std::size_t(n) + 1;
            const std::size_t count = std::min({run, inSize - i, outSize - o});
            std::memcpy(dst + o, src + i, count);
            i += run;
            o += run;
        } else if (n != -128) {
            const std::size_t run = std::size_t(1 - n);
            if (i < inSize)
                std::memset(dst + o, src[i], std::min(run, outSize - o));
            ++i;
            o += run;
        } else if (minus128 == RleMinus128::Replicate129) {
            if (i < inSize)
                std::memset(dst + o, src[i], std::min<std::size_t>(129, outSize - o));
            o += 127;
        }
    }
    return o;
}

namespace {

constexpr std::size_t HeaderBytes = 64;
constexpr std::uint32_t MaxSegments = 15;

Error corrupted(std::string detail)
{
    return Error{DicomError::Corrupted, std::move(detail)};
}

// A count that misses the plane, short or long, may come from an encoder that
// meant -128 as a long replicate run: the plane is then read again that way
// from a clean start, and kept whatever that gives.
void decodePlane(std::span<const std::uint8_t> segment, std::span<std::uint8_t> plane)
{
    if (decodeRleSegment(segment, plane) == plane.size())
        return;
    std::fill(plane.begin(), plane.end(), std::uint8_t{0});
    decodeRleSegment(segment, plane, RleMinus128::Replicate129);
}

} // namespace

Result<std::vector<std::uint8_t>> decodeRleFrame(std::span<const std::uint8_t> frame, const RleFrameShape& shape)
{
    RleDecoder decoder;
    auto planes = decoder.decode(frame, shape);
    if (!planes)
        return planes.error();
    return std::vector<std::uint8_t>(planes->begin(), planes->end());
}

Result<std::span<const std::uint8_t>> RleDecoder::decode(std::span<const std::uint8_t> frame,
                                                               const RleFrameShape& shape)
{
    if (shape.bytesPerSample != 1 && shape.bytesPerSample != 2)
        return Error{DicomError::UnsupportedFormat, "RLE holds 8- or 16-bit samples only"};
    if (shape.samplesPerPixel != 1 && shape.samplesPerPixel != 3)
        return Error{DicomError::UnsupportedFormat, "RLE samples per pixel must be 1 or 3"};
    const std::uint64_t planeSize = std::uint64_t(shape.rows) * shape.columns;
    const std::uint64_t segmentCount = std::uint64_t(shape.samplesPerPixel) * shape.bytesPerSample;
    if (planeSize == 0 || planeSize * segmentCount > MaxFrameBytes)
        return corrupted("RLE frame size out of range");

    // G.5: the header is 16 little-endian 32-bit numbers.
    if (frame.size() < HeaderBytes)
        return corrupted("RLE fragment shorter than its 64-byte header");
    base::ByteReader header(frame.first(HeaderBytes));
    const std::uint32_t segments = *header.u32();
    if (segments != segmentCount || segments > MaxSegments)
        return corrupted("RLE header has " + std::to_string(segments) + " segments, the image needs "
                         + std::to_string(segmentCount));
    std::array<std::uint32_t, MaxSegments + 1> offsets{};
    for (std::uint32_t k = 0; k < segments; ++k)
        offsets[k] = *header.u32();
    offsets[segments] = static_cast<std::uint32_t>(std::min<std::size_t>(frame.size(), 0xFFFFFFFFu));
    for (std::uint32_t k = 0; k < segments; ++k) {
        if (offsets[k] < HeaderBytes || offsets[k] > offsets[k + 1])
            return corrupted("RLE segment offset " + std::to_string(k + 1) + " out of order or outside the fragment");
    }
    auto segment = [&](std::uint32_t k) { return frame.subspan(offsets[k], offsets[k + 1] - offsets[k]); };
    // A forged Rows and Columns must not cost more memory than the fragment could fill.
    if (planeSize * segmentCount > RleMaxExpansion * (frame.size() - HeaderBytes))
        return corrupted("RLE frame of " + std::to_string(planeSize * segmentCount) + " bytes needs more than its "
                         + std::to_string(frame.size() - HeaderBytes) + " bytes of segments can yield");

    const std::size_t plane = static_cast<std::size_t>(planeSize);
    try {
        std::vector<std::uint8_t>& out = m_out;
        const std::size_t outSize = plane * static_cast<std::size_t>(segmentCount);
        if (shape.bytesPerSample == 1) {
            out.assign(outSize, 0);
            for (std::uint32_t s = 0; s < segments; ++s)
                decodePlane(segment(s), std::span(out).subspan(s * plane, plane));
            return std::span<const std::uint8_t>(out);
        }
        out.resize(outSize); // every byte is written below
        std::vector<std::uint8_t>& high = m_high;
        std::vector<std::uint8_t>& low = m_low;
        for (int s = 0; s < shape.samplesPerPixel; ++s) {
            const std::uint32_t k = static_cast<std::uint32_t>(2 * s);
            high.assign(plane, 0);
            low.assign(plane, 0);
            decodePlane(segment(k), high);
            decodePlane(segment(k + 1), low);
            std::uint8_t* dst = out.data() + std::size_t(s) * plane * 2;
            const std::uint8_t* hi = high.data();
            const std::uint8_t* lo = low.data();
            for (std::size_t i = 0; i < plane; ++i) {
                dst[2 * i] = lo[i];
                dst[2 * i + 1] = hi[i];
            }
        }
        return std::span<const std::uint8_t>(out);
    } catch (const std::bad_alloc&) {
        return Error{DicomError::OutOfMemory, "out of memory decoding an RLE frame"};
    }
}

} // namespace dicom
