#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "imaging/ImagingError.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/ImageLevel.h"
#include "imaging/PaletteTable.h"

namespace imaging {

struct SampleRange {
    std::int32_t min = 0;
    std::int32_t max = 0;
    bool isSigned = false;
};

// How a window given with a 16-bit frame is treated. The document clamps a
// file's window into the data; batch jobs keep it as given.
enum class GivenWindow { Clamp, Keep };

// Range of 16-bit samples. The maximum covers every sample; values below
// -16383 never become the minimum, so padding of -32768 stays out of default
// windows (when nothing else is left the true minimum is taken).
SampleRange scanSamples16(std::span<const std::int16_t> samples);

// The window an image starts with. A ramp (0, 0) becomes the full range;
// otherwise Clamp moves the centre to the middle of the range when the whole
// window lies above the maximum (centre - width / 2 > max), and cuts the
// width to the range. Widths are at least 1.
Window initialWindow16(const SampleRange& range, Window given, GivenWindow rule);

// setWindow's clamps: centre at most max, width at most 2 (max - min) + 1, at
// least 1; computed in 64 bits so wide ranges cannot wrap.
Window clampWindow(Window requested, std::int32_t min, std::int32_t max);

// The sample values that map to index 0 and 255; low < high always.
struct MappingBounds {
    std::int64_t low = 0;
    std::int64_t high = 1;
};
MappingBounds mappingBounds16(Window window, std::int32_t min, std::int32_t max, bool isSigned);
MappingBounds mappingBounds8(Window window, std::int32_t min, std::int32_t max);

// The defining formula: trunc((v - low) / (high - low) * 255 + 0.5) in double,
// clamped to 0..255. Tables built from it give identical results.
std::uint8_t mapSample(std::int64_t value, MappingBounds bounds);

std::array<std::uint8_t, 256> mappingTable8(MappingBounds bounds);

// Builds the display bitmap of a level under a window (which may differ from
// the level's own, for undo). Grey levels give the 8-bit form with the palette
// as colour table, RGB levels the 24-bit form. Fails with MemoryAllocation or
// InvalidParameters for an inconsistent level.
Result<DisplayBitmap> buildDisplayBitmap(const Level16& level, Window window, const PaletteTable& palette);
Result<DisplayBitmap> buildDisplayBitmap(const Level8& level, Window window, const PaletteTable& palette);

} // namespace imaging
