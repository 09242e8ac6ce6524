// Building the display bitmap of a frame through its window: the table-driven
// 16-bit mapping against a per-sample floating-point division loop that
// computes the same indices, and the 8-bit RGB mapping.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "imaging/WindowMapping.h"

namespace {

using namespace imaging;

// A CT-like slice: air padding outside a disc, soft tissue with noise inside,
// a brighter ring of bone.
Level16 ctLevel(std::int32_t size)
{
    Level16 level;
    level.width = size;
    level.height = size;
    level.pixels.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 20.0);
    const double r = size / 2.0;
    for (std::int32_t y = 0; y < size; ++y) {
        for (std::int32_t x = 0; x < size; ++x) {
            const double d = std::hypot(x - r, y - r) / r;
            double v = d > 0.95 ? -2000 : d > 0.85 ? 1800 : 1040;
            if (d <= 0.95)
                v += noise(random);
            level.pixels[static_cast<std::size_t>(y) * size + x] = static_cast<std::int16_t>(v);
        }
    }
    const SampleRange range = scanSamples16(level.pixels);
    level.min = range.min;
    level.max = range.max;
    level.isSigned = range.isSigned;
    level.window = Window{1040, 400};
    return level;
}

void divisionLoop(const Level16& level, DisplayBitmap& bitmap)
{
    const MappingBounds b = mappingBounds16(level.window, level.min, level.max, level.isSigned);
    const double span = static_cast<double>(b.high - b.low);
    for (std::int32_t y = 0; y < level.height; ++y) {
        const std::int16_t* src = level.pixels.data() + static_cast<std::size_t>(y) * level.width;
        std::uint8_t* dst = bitmap.imageRow(y);
        for (std::int32_t x = 0; x < level.width; ++x) {
            const double t = static_cast<double>(src[x] - b.low) / span;
            const int v = static_cast<int>(t * 255.0 + 0.5);
            dst[x] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
        }
    }
}

void BM_Map16Table(benchmark::State& state)
{
    const Level16 level = ctLevel(static_cast<std::int32_t>(state.range(0)));
    const PaletteTable grey = PaletteTable::grayscale();
    for (auto _ : state) {
        auto bitmap = buildDisplayBitmap(level, level.window, grey);
        benchmark::DoNotOptimize(bitmap->pixelRows().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(level.byteSize()));
}

void BM_Map16DivisionBaseline(benchmark::State& state)
{
    const Level16 level = ctLevel(static_cast<std::int32_t>(state.range(0)));
    {
        // The baseline must produce the very bitmap the table gives.
        auto reference = buildDisplayBitmap(level, level.window, PaletteTable::grayscale());
        auto check = DisplayBitmap::create(level.width, level.height, 8);
        divisionLoop(level, *check);
        if (!std::equal(reference->bytes().begin(), reference->bytes().end(), check->bytes().begin())) {
            state.SkipWithError("baseline differs from the table mapping");
            return;
        }
    }
    for (auto _ : state) {
        auto bitmap = DisplayBitmap::create(level.width, level.height, 8);
        divisionLoop(level, *bitmap);
        benchmark::DoNotOptimize(bitmap->pixelRows().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(level.byteSize()));
}

void BM_MapRgb(benchmark::State& state)
{
    const auto size = static_cast<std::int32_t>(state.range(0));
    Level8 level;
    level.kind = SampleKind::Rgb;
    level.width = size;
    level.height = size;
    level.max = 255;
    level.window = Window{128, 256};
    level.pixels.resize(static_cast<std::size_t>(level.sampleCount()));
    std::mt19937 random(3);
    for (auto& v : level.pixels)
        v = static_cast<std::uint8_t>(random());
    const PaletteTable grey = PaletteTable::grayscale();
    for (auto _ : state) {
        auto bitmap = buildDisplayBitmap(level, Window{100, 180}, grey);
        benchmark::DoNotOptimize(bitmap->pixelRows().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(level.byteSize()));
}

} // namespace

BENCHMARK(BM_Map16Table)->Arg(512)->Arg(2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Map16DivisionBaseline)->Arg(512)->Arg(2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapRgb)->Arg(512)->Unit(benchmark::kMicrosecond);
