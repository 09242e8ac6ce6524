#include "imaging/Intensity.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "imaging/FrameImage.h"
#include "imaging/OperationSupport.h"

namespace imaging {
namespace {

using detail::truncClamped;

template<typename Sample>
using LevelResult = Result<ImageLevel<Sample>>;

// The 8-bit stretch has always scaled by this single-precision 1/255 in float
// arithmetic; results of saved edits depend on its rounding.
constexpr float kOneOver255 = 0.003921569f;

// Copies the level and calls change(pixel) for every selected pixel of the
// area's rectangle; pixel points at the pixel's channels in the copy.
template<typename Sample, typename Change>
LevelResult<Sample> changeSelected(const ImageLevel<Sample>& level, const WorkArea& area, Change&& change)
{
    if (!level.isConsistent() || !area.fits(level.width, level.height))
        return makeError(ImagingError::InvalidParameters);
    return detail::guarded([&]() -> LevelResult<Sample> {
        ImageLevel<Sample> dst = level;
        const int channels = level.channels();
        for (std::int32_t y = area.top; y < area.bottom; ++y) {
            for (std::int32_t x = area.left; x < area.right; ++x) {
                const std::size_t index = detail::pixelIndex(x, y, level.width);
                if (area.selects(index))
                    change(dst.pixels.data() + index * channels, x, y);
            }
        }
        return dst;
    });
}

// The same change for every channel of every selected pixel, through a table
// over all sample values, since each result depends on the sample alone.
template<typename Sample, typename Map>
LevelResult<Sample> mapSelected(const ImageLevel<Sample>& level, const WorkArea& area, Map&& map)
{
    if (!level.isConsistent() || !area.fits(level.width, level.height))
        return makeError(ImagingError::InvalidParameters);
    return detail::guarded([&]() -> LevelResult<Sample> {
        constexpr std::int64_t lowest = std::numeric_limits<Sample>::min();
        constexpr std::int64_t highest = std::numeric_limits<Sample>::max();
        std::vector<Sample> table(static_cast<std::size_t>(highest - lowest + 1));
        for (std::int64_t v = lowest; v <= highest; ++v)
            table[static_cast<std::size_t>(v - lowest)] = static_cast<Sample>(map(v));
        const int channels = level.channels();
        return changeSelected(level, area, [&](Sample* pixel, std::int32_t, std::int32_t) {
            for (int c = 0; c < channels; ++c)
                pixel[c] = table[static_cast<std::size_t>(pixel[c] - lowest)];
        });
    });
}

// trunc(Y + 0.5) with the BT.601 luma weights.
std::int64_t roundedLuma(const std::uint8_t* pixel)
{
    return static_cast<std::int64_t>(0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2] + 0.5);
}

template<typename Sample>
std::int64_t bottomOf(const ImageLevel<Sample>& level)
{
    if constexpr (sizeof(Sample) == 1)
        return 0;
    else
        return level.min;
}

template<typename Sample>
std::int64_t topOf(const ImageLevel<Sample>& level)
{
    if constexpr (sizeof(Sample) == 1)
        return 255;
    else
        return level.max;
}

// One sample of the Stretch mode: the range squeezed into lower..upper.
template<typename Sample>
std::int64_t stretched(std::int64_t v, const ImageLevel<Sample>& level, std::int64_t lower, std::int64_t upper)
{
    const auto range = detail::resultRange(level);
    const std::int64_t low = range.first;
    const std::int64_t high = range.second;
    const std::int64_t bottom = bottomOf(level);
    const std::int64_t top = topOf(level);
    if (top == bottom) // a flat image has no range to squeeze
        return detail::clampOrdered(lower, low, high);
    if constexpr (sizeof(Sample) == 1) {
        const float value = static_cast<float>(v) * kOneOver255 * static_cast<float>(upper - lower)
            + static_cast<float>(lower);
        return truncClamped(value, low, high);
    } else {
        const double value = static_cast<double>(v - bottom) / static_cast<double>(top - bottom)
                * static_cast<double>(upper - lower)
            + static_cast<double>(lower);
        return truncClamped(value, low, high);
    }
}

} // namespace

template<typename Sample>
Result<ImageLevel<Sample>> invert(const ImageLevel<Sample>& level, const WorkArea& area)
{
    if constexpr (sizeof(Sample) == 1) {
        return mapSelected(level, area, [](std::int64_t v) { return 255 - v; });
    } else {
        // Mirrors the samples inside the window; computed wide and clamped to
        // the sample type so that inverting twice gives the samples back.
        const std::int64_t centre = level.window.centre;
        const std::int64_t half = level.window.width / 2;
        const std::int64_t hi = std::min<std::int64_t>(level.max, centre + half + 1);
        const std::int64_t lo = std::max<std::int64_t>(level.min, centre - half);
        return mapSelected(level, area, [&](std::int64_t v) {
            return std::clamp<std::int64_t>(hi + lo - v, std::numeric_limits<std::int16_t>::min(),
                                            std::numeric_limits<std::int16_t>::max());
        });
    }
}

template<typename Sample>
Result<ImageLevel<Sample>> brightnessContrast(const ImageLevel<Sample>& level, const WorkArea& area,
                                                    std::int32_t brightness, std::int32_t contrast)
{
    const auto range = detail::resultRange(level);
    const std::int64_t low = range.first;
    const std::int64_t high = range.second;
    const std::int64_t min = std::min(level.min, level.max);
    const std::int64_t max = std::max(level.min, level.max);
    const double r = static_cast<double>(max - min) * 0.01;
    const double b = brightness;

    // The contrast works on the range as the brightness moved it.
    const double s = r * b + 0.5;
    const std::int64_t hi = truncClamped(s + static_cast<double>(max), min, max);
    std::int64_t lo = truncClamped(s + static_cast<double>(min), min, max);
    if (lo >= hi)
        lo = hi - 1;
    const std::int64_t e = min == hi ? 1 : 0;
    const std::int64_t base = lo + e;
    const double span = static_cast<double>(hi - lo);
    const auto c = static_cast<std::int64_t>((span * 0.01 * contrast + 1) * 0.5);
    const std::int64_t a = c < 0 ? -c : c;
    const std::int64_t newLo = base + a;
    std::int64_t newHi = hi + e - a;
    if (newLo >= newHi)
        newHi = newLo + 1;

    return mapSelected(level, area, [&](std::int64_t v) {
        if (brightness != 0)
            v = truncClamped(b * r + 0.5 + static_cast<double>(v), low, high);
        if (contrast == 0)
            return v;
        v = truncClamped(static_cast<double>(v - base) * static_cast<double>(newHi - newLo) / span
                             + static_cast<double>(newLo) + 0.5,
                         low, high);
        if (c > 0)
            v = truncClamped(static_cast<double>(v - newLo) * static_cast<double>(hi + 2 * c - lo)
                                     / static_cast<double>(newHi - newLo)
                                 + static_cast<double>(base - c) + 0.5,
                             low, high);
        return v;
    });
}

template<typename Sample>
Result<ImageLevel<Sample>> threshold(const ImageLevel<Sample>& level, const WorkArea& area, std::int32_t lower,
                                           std::int32_t upper, ThresholdMode mode)
{
    const int modeNumber = static_cast<int>(mode);
    if (modeNumber < 0 || modeNumber > 3)
        return makeError(ImagingError::InvalidParameters);
    const auto range = detail::resultRange(level);
    const std::int64_t low = range.first;
    const std::int64_t high = range.second;
    const std::int64_t bottom = bottomOf(level);
    const std::int64_t top = topOf(level);
    const bool rgb = level.kind == SampleKind::Rgb;
    const std::int64_t lo = lower;
    const std::int64_t up = upper;

    // Apply Window on the samples between the limits; equal limits leave no
    // width to spread, so those samples go to the top.
    auto windowed = [&](std::int64_t v) -> std::int64_t {
        if (up == lo)
            return rgb ? 255 : detail::clampOrdered(top, low, high);
        const double t = static_cast<double>(v - lo) / static_cast<double>(up - lo);
        if (rgb)
            return truncClamped(t * 255.0, 0, 255);
        return truncClamped(t * static_cast<double>(top - bottom) + static_cast<double>(bottom), low, high);
    };
    const auto outside = static_cast<Sample>(detail::clampOrdered(bottom, low, high));
    const auto insideTop = static_cast<Sample>(detail::clampOrdered(top, low, high));
    const int channels = level.channels();

    if (mode == ThresholdMode::Stretch)
        return mapSelected(level, area, [&](std::int64_t v) { return stretched(v, level, lo, up); });
    return changeSelected(level, area, [&](Sample* pixel, std::int32_t, std::int32_t) {
        std::int64_t tested = pixel[0];
        if constexpr (sizeof(Sample) == 1) {
            if (rgb)
                tested = roundedLuma(pixel);
        }
        if (tested < lo || tested > up) {
            std::fill_n(pixel, channels, outside);
            return;
        }
        if (mode == ThresholdMode::BlackAndWhite)
            std::fill_n(pixel, channels, insideTop);
        else if (mode == ThresholdMode::ApplyWindow)
            for (int c = 0; c < channels; ++c)
                pixel[c] = static_cast<Sample>(windowed(pixel[c]));
    });
}

template<typename Sample>
Result<ImageLevel<Sample>> removeBurnedIn(const ImageLevel<Sample>& level, const WorkArea& area)
{
    const int channels = level.channels();
    // The pixels and their neighbours are read from the old level, so wiped
    // pixels do not change the decision for the next ones.
    return changeSelected(level, area, [&](Sample* pixel, std::int32_t x, std::int32_t y) {
        if (x <= area.left || x >= area.right - 1 || y <= area.top || y >= area.bottom - 1)
            return;
        std::array<Sample, 3> smallest{};
        std::array<Sample, 3> largest{};
        for (int c = 0; c < channels; ++c) {
            std::array<Sample, 9> values{};
            int n = 0;
            for (std::int32_t dy = -1; dy <= 1; ++dy)
                for (std::int32_t dx = -1; dx <= 1; ++dx)
                    values[n++] = level.pixels[detail::pixelIndex(x + dx, y + dy, level.width) * channels + c];
            std::sort(values.begin(), values.end());
            int steps = 0;
            for (int i = 1; i < 9; ++i)
                steps += values[i] != values[i - 1] ? 1 : 0;
            if (steps != 1)
                return;
            smallest[c] = values[0];
            largest[c] = values[8];
        }
        for (int c = 1; c < channels; ++c) {
            if (smallest[c] != smallest[0] || largest[c] != largest[0])
                return;
        }
        std::copy_n(smallest.begin(), channels, pixel);
    });
}

template<typename Sample>
Result<ImageLevel<Sample>> clearSelection(const ImageLevel<Sample>& level, const WorkArea& area)
{
    if (area.mask.empty())
        return makeError(ImagingError::InvalidParameters);
    const auto range = detail::resultRange(level);
    const std::int64_t low = range.first;
    const std::int64_t high = range.second;
    const auto value = static_cast<Sample>(detail::clampOrdered(level.min, low, high));
    const int channels = level.channels();
    return changeSelected(level, area,
                          [&](Sample* pixel, std::int32_t, std::int32_t) { std::fill_n(pixel, channels, value); });
}

template Result<ImageLevel<std::uint8_t>> invert(const ImageLevel<std::uint8_t>&, const WorkArea&);
template Result<ImageLevel<std::int16_t>> invert(const ImageLevel<std::int16_t>&, const WorkArea&);
template Result<ImageLevel<std::uint8_t>> brightnessContrast(const ImageLevel<std::uint8_t>&, const WorkArea&,
                                                                   std::int32_t, std::int32_t);
template Result<ImageLevel<std::int16_t>> brightnessContrast(const ImageLevel<std::int16_t>&, const WorkArea&,
                                                                   std::int32_t, std::int32_t);
template Result<ImageLevel<std::uint8_t>> threshold(const ImageLevel<std::uint8_t>&, const WorkArea&,
                                                          std::int32_t, std::int32_t, ThresholdMode);
template Result<ImageLevel<std::int16_t>> threshold(const ImageLevel<std::int16_t>&, const WorkArea&,
                                                          std::int32_t, std::int32_t, ThresholdMode);
template Result<ImageLevel<std::uint8_t>> removeBurnedIn(const ImageLevel<std::uint8_t>&, const WorkArea&);
template Result<ImageLevel<std::int16_t>> removeBurnedIn(const ImageLevel<std::int16_t>&, const WorkArea&);
template Result<ImageLevel<std::uint8_t>> clearSelection(const ImageLevel<std::uint8_t>&, const WorkArea&);
template Result<ImageLevel<std::int16_t>> clearSelection(const ImageLevel<std::int16_t>&, const WorkArea&);

bool invert(FrameImage& frame)
{
    return detail::applyInWorkArea(frame, [](const auto& level, const WorkArea& area) { return invert(level, area); });
}

bool brightnessContrast(FrameImage& frame, std::int16_t brightness, std::int16_t contrast)
{
    return detail::applyInWorkArea(frame, [&](const auto& level, const WorkArea& area) {
        return brightnessContrast(level, area, brightness, contrast);
    });
}

bool threshold(FrameImage& frame, std::int32_t lower, std::int32_t upper, ThresholdMode mode)
{
    return detail::applyInWorkArea(frame, [&](const auto& level, const WorkArea& area) {
        return threshold(level, area, lower, upper, mode);
    });
}

bool removeBurnedIn(FrameImage& frame)
{
    return detail::applyInWorkArea(frame,
                                   [](const auto& level, const WorkArea& area) { return removeBurnedIn(level, area); });
}

bool clearSelection(FrameImage& frame)
{
    if (!frame.hasSelection())
        return false;
    return detail::applyInWorkArea(frame,
                                   [](const auto& level, const WorkArea& area) { return clearSelection(level, area); });
}

} // namespace imaging
