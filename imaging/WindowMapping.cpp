#include "imaging/WindowMapping.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "imaging/ImagingError.h"

namespace imaging {
namespace {

// Values below this are padding (air outside the scan circle and the like).
constexpr std::int32_t kLowestCountedMinimum = -16383;

std::int32_t clampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

MappingBounds boundsFromWindow(Window window, std::int32_t min, std::int32_t max)
{
    MappingBounds b;
    if (window.isRamp()) {
        b.low = min;
        b.high = max;
    } else {
        const std::int64_t half = window.width / 2;
        b.low = static_cast<std::int64_t>(window.centre) - half;
        b.high = static_cast<std::int64_t>(window.centre) + half;
    }
    return b;
}

void fillGreyRows(const Level8& level, const std::array<std::uint8_t, 256>& table, DisplayBitmap& bitmap)
{
    const auto width = static_cast<std::size_t>(level.width);
    for (std::int32_t y = 0; y < level.height; ++y) {
        const std::uint8_t* src = level.pixels.data() + static_cast<std::size_t>(y) * width;
        std::uint8_t* dst = bitmap.imageRow(y);
        for (std::size_t x = 0; x < width; ++x)
            dst[x] = table[src[x]];
    }
}

void fillRgbRows(const Level8& level, const std::array<std::uint8_t, 256>& table, DisplayBitmap& bitmap)
{
    const auto width = static_cast<std::size_t>(level.width);
    for (std::int32_t y = 0; y < level.height; ++y) {
        const std::uint8_t* src = level.pixels.data() + static_cast<std::size_t>(y) * width * 3;
        std::uint8_t* dst = bitmap.imageRow(y);
        for (std::size_t x = 0; x < width; ++x) {
            dst[3 * x] = table[src[3 * x + 2]];
            dst[3 * x + 1] = table[src[3 * x + 1]];
            dst[3 * x + 2] = table[src[3 * x]];
        }
    }
}

// Sets the entries of the 16-bit values [from, to) of a table indexed by the
// values' bit patterns: the negative ones sit in its upper half.
void fillByValue(std::vector<std::uint8_t>& table, std::int64_t from, std::int64_t to, std::uint8_t index)
{
    auto fill = [&](std::int64_t lo, std::int64_t hi, std::int64_t offset) {
        if (lo < hi)
            std::fill(table.begin() + lo + offset, table.begin() + hi + offset, index);
    };
    fill(from, std::min<std::int64_t>(to, 0), 65536);
    fill(std::max<std::int64_t>(from, 0), to, 0);
}

} // namespace

SampleRange scanSamples16(std::span<const std::int16_t> samples)
{
    constexpr std::int32_t highest = std::numeric_limits<std::int16_t>::max();
    std::int32_t max = std::numeric_limits<std::int16_t>::min();
    std::int32_t min = highest;
    std::int32_t trueMin = highest;
    // Every open scans each frame: selects rather than a branch (and rather
    // than std::min's references) keep the loop on vectors.
    for (const std::int16_t sample : samples) {
        const std::int32_t s = sample;
        const std::int32_t counted = s >= kLowestCountedMinimum ? s : highest;
        max = s > max ? s : max;
        trueMin = s < trueMin ? s : trueMin;
        min = counted < min ? counted : min;
    }
    if (samples.empty())
        return SampleRange{0, 0, false};
    if (min > max) // only padding: nothing above the floor
        min = trueMin;
    return SampleRange{min, max, min < 0};
}

Window initialWindow16(const SampleRange& range, Window given, GivenWindow rule)
{
    const std::int64_t span = static_cast<std::int64_t>(range.max) - range.min;
    if (given.isRamp()) {
        const std::int64_t width = span + 1;
        return Window{clampToInt32(range.min + width / 2), clampToInt32(width)};
    }
    Window window = given;
    window.width = std::max(window.width, 1);
    if (rule == GivenWindow::Clamp) {
        // Only a window whose lower end lies above every sample would show a
        // black frame; one that overlaps the data is the file's choice (a soft
        // tissue centre of 40 on CT padded with -3024 sits far below the
        // middle of the range, yet is right).
        const std::int64_t low = static_cast<std::int64_t>(window.centre) - window.width / 2;
        if (low > range.max)
            window.centre = clampToInt32(range.min + span / 2);
        if (window.width > span + 1)
            window.width = clampToInt32(span + 1);
    }
    return window;
}

Window clampWindow(Window requested, std::int32_t min, std::int32_t max)
{
    Window window = requested;
    window.centre = std::min(window.centre, max);
    const std::int64_t widest = 2 * (static_cast<std::int64_t>(max) - min) + 1;
    window.width = clampToInt32(std::clamp<std::int64_t>(window.width, 1, std::max<std::int64_t>(widest, 1)));
    return window;
}

MappingBounds mappingBounds16(Window window, std::int32_t min, std::int32_t max, bool isSigned)
{
    MappingBounds b = boundsFromWindow(window, min, max);
    if (!isSigned && b.low < 0)
        b.low = 0;
    // Also for high < low, so a window wholly below 0 of unsigned data keeps
    // the ramp rising instead of inverting it.
    if (b.high <= b.low)
        b.high = b.low + 1;
    return b;
}

MappingBounds mappingBounds8(Window window, std::int32_t min, std::int32_t max)
{
    MappingBounds b = boundsFromWindow(window, min, max);
    if (b.high <= b.low)
        b.high = b.low + 1;
    b.low = std::clamp<std::int64_t>(b.low, 0, 254);
    b.high = std::clamp<std::int64_t>(b.high, 1, 255);
    if (b.high <= b.low)
        b.high = b.low + 1;
    return b;
}

std::uint8_t mapSample(std::int64_t value, MappingBounds bounds)
{
    const double t = static_cast<double>(value - bounds.low) / static_cast<double>(bounds.high - bounds.low);
    const double scaled = t * 255.0 + 0.5;
    if (scaled >= 255.0)
        return 255;
    if (scaled < 1.0) // truncation toward zero sends everything below 1 to 0
        return 0;
    return static_cast<std::uint8_t>(scaled);
}

std::array<std::uint8_t, 256> mappingTable8(MappingBounds bounds)
{
    std::array<std::uint8_t, 256> table{};
    for (int s = 0; s < 256; ++s)
        table[static_cast<std::size_t>(s)] = mapSample(s, bounds);
    return table;
}

Result<DisplayBitmap> buildDisplayBitmap(const Level16& level, Window window, const PaletteTable& palette)
{
    if (!level.isConsistent())
        return makeError(ImagingError::InvalidParameters);
    auto bitmap = DisplayBitmap::create(level.width, level.height, 8);
    if (!bitmap)
        return bitmap.error();
    bitmap->setColourTable(palette);

    // The mapping is monotone, 0 at or below low and 255 at or above high, so
    // a table over every 16-bit value (indexed by the sample's bit pattern)
    // gives exactly the per-sample formula; only [low, high] needs the
    // division.
    const MappingBounds bounds = mappingBounds16(window, level.min, level.max, level.isSigned);
    std::vector<std::uint8_t> table;
    try {
        table.resize(65536);
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
    const std::int64_t first = std::clamp<std::int64_t>(bounds.low, INT16_MIN, INT16_MAX + 1);
    const std::int64_t end = std::clamp<std::int64_t>(bounds.high + 1, INT16_MIN, INT16_MAX + 1);
    fillByValue(table, INT16_MIN, first, 0);
    for (std::int64_t v = first; v < end; ++v)
        table[static_cast<std::uint16_t>(v)] = mapSample(v, bounds);
    fillByValue(table, end, INT16_MAX + 1, 255);
    const std::uint8_t* lut = table.data();
    const auto width = static_cast<std::size_t>(level.width);
    for (std::int32_t y = 0; y < level.height; ++y) {
        const std::int16_t* src = level.pixels.data() + static_cast<std::size_t>(y) * width;
        std::uint8_t* dst = bitmap->imageRow(y);
        for (std::size_t x = 0; x < width; ++x)
            dst[x] = lut[static_cast<std::uint16_t>(src[x])];
    }
    return bitmap;
}

Result<DisplayBitmap> buildDisplayBitmap(const Level8& level, Window window, const PaletteTable& palette)
{
    if (!level.isConsistent())
        return makeError(ImagingError::InvalidParameters);
    const bool rgb = level.kind == SampleKind::Rgb;
    auto bitmap = DisplayBitmap::create(level.width, level.height, rgb ? 24 : 8);
    if (!bitmap)
        return bitmap.error();
    const auto table = mappingTable8(mappingBounds8(window, level.min, level.max));
    if (rgb) {
        fillRgbRows(level, table, *bitmap);
    } else {
        bitmap->setColourTable(palette);
        fillGreyRows(level, table, *bitmap);
    }
    return bitmap;
}

} // namespace imaging
