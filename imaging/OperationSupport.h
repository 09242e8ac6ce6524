#pragma once

// Helpers shared by the geometry, intensity and statistics operations.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "imaging/ImagingError.h"
#include "imaging/FrameImage.h"
#include "imaging/ImageLevel.h"
#include "imaging/ImagingError.h"
#include "imaging/WorkArea.h"

namespace imaging::detail {

// No side of a new level may pass this; together with kMaxLevelBytes it keeps
// every index product of the operations inside 64 bits and every size a
// bitmap header can carry.
inline constexpr std::int32_t kMaxSide = 65535;

// A target size is usable when both sides are 1..kMaxSide and the buffer
// stays under the per-level cap.
inline bool isUsableSize(std::int64_t width, std::int64_t height, int channels, std::size_t sampleBytes)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return false;
    const auto bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height)
        * static_cast<std::uint64_t>(channels) * sampleBytes;
    return bytes <= kMaxLevelBytes;
}

// Clamps to the range of two bounds in whichever order they come.
inline std::int64_t clampOrdered(std::int64_t value, std::int64_t a, std::int64_t b)
{
    return std::clamp(value, std::min(a, b), std::max(a, b));
}

// trunc(value) clamped to the range of two bounds; NaN gives the lower bound.
inline std::int64_t truncClamped(double value, std::int64_t a, std::int64_t b)
{
    const double low = static_cast<double>(std::min(a, b));
    const double high = static_cast<double>(std::max(a, b));
    if (!(value >= low))
        return std::min(a, b);
    if (value >= high)
        return std::max(a, b);
    return static_cast<std::int64_t>(value);
}

// The range results of a level are clamped to: the bytes' range for 8-bit
// levels, the level's own min..max for 16-bit ones. Callers take .first and
// .second rather than a structured binding: clang 14 cannot capture bindings
// in the lambdas that apply an operation per sample.
template<typename Sample>
std::pair<std::int64_t, std::int64_t> resultRange(const ImageLevel<Sample>& level)
{
    if constexpr (sizeof(Sample) == 1)
        return {0, 255};
    else
        return {std::min(level.min, level.max), std::max(level.min, level.max)};
}

inline std::size_t pixelIndex(std::int32_t x, std::int32_t y, std::int32_t width)
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

// Runs body() and turns std::bad_alloc into the allocation error, so that the
// pure operations can be called directly as well as through an image.
template<typename Body>
auto guarded(Body&& body) -> decltype(body())
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

// Runs operation(level, workArea) on whichever image the frame holds and adds
// the result as a new level.
template<typename Operation>
bool applyInWorkArea(FrameImage& frame, Operation&& operation)
{
    if (Image8* image = frame.image8()) {
        const WorkArea area = WorkArea::of(image->region());
        return image->applyPixelOperation([&](const Level8& level) { return operation(level, area); });
    }
    if (Image16* image = frame.image16()) {
        const WorkArea area = WorkArea::of(image->region());
        return image->applyPixelOperation([&](const Level16& level) { return operation(level, area); });
    }
    return false;
}

// The fill of the frame's geometry operations in the form the level functions
// take: the 8-bit fill as it is, the 16-bit one in the low 16 bits.
inline std::uint32_t fillOf(const FrameImage& frame)
{
    if (frame.sampleDepth() == 16)
        return static_cast<std::uint16_t>(frame.backgroundFill16());
    return frame.backgroundFill8();
}

} // namespace imaging::detail
