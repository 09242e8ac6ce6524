// Pixel operations on a 512 x 512 16-bit frame, the size of a CT slice:
// bilinear resampling and bicubic rotation (the slowest geometry), threshold
// and histogram. Bytes processed are the source level's bytes.
#include <benchmark/benchmark.h>

#include <random>

#include "imaging/Geometry.h"
#include "imaging/Intensity.h"
#include "imaging/Statistics.h"

namespace {

using namespace imaging;

Level16 ctSlice()
{
    constexpr std::int32_t size = 512;
    Level16 level;
    level.width = size;
    level.height = size;
    level.min = -1024;
    level.max = 3071;
    level.isSigned = true;
    level.window = Window{40, 400};
    level.pixels.resize(static_cast<std::size_t>(size) * size);
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 25.0);
    for (std::int32_t y = 0; y < size; ++y) {
        for (std::int32_t x = 0; x < size; ++x) {
            const double d = std::hypot(x - size / 2.0, y - size / 2.0) / (size / 2.0);
            const double v = d > 0.95 ? -1024 : d > 0.85 ? 1500 + noise(random) : 40 + noise(random);
            level.pixels[static_cast<std::size_t>(y) * size + x] = static_cast<std::int16_t>(v);
        }
    }
    return level;
}

const Level16& slice()
{
    static const Level16 level = ctSlice();
    return level;
}

void setBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations())
                            * static_cast<std::int64_t>(slice().byteSize()));
}

void BM_ResampleBilinear(benchmark::State& state)
{
    const auto side = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        auto out = resampleBilinear(slice(), side, side);
        benchmark::DoNotOptimize(out);
    }
    setBytes(state);
}
BENCHMARK(BM_ResampleBilinear)->Arg(384)->Arg(768)->Unit(benchmark::kMillisecond);

void BM_RotateBicubic(benchmark::State& state)
{
    for (auto _ : state) {
        auto out = rotate(slice(), 30.0f, Turn::Clockwise, Interpolation::Bicubic, 0xFC00);
        benchmark::DoNotOptimize(out);
    }
    setBytes(state);
}
BENCHMARK(BM_RotateBicubic)->Unit(benchmark::kMillisecond);

void BM_RotateBilinear(benchmark::State& state)
{
    for (auto _ : state) {
        auto out = rotate(slice(), 30.0f, Turn::Clockwise, Interpolation::Bilinear, 0xFC00);
        benchmark::DoNotOptimize(out);
    }
    setBytes(state);
}
BENCHMARK(BM_RotateBilinear)->Unit(benchmark::kMillisecond);

void BM_Threshold(benchmark::State& state)
{
    const auto mode = static_cast<ThresholdMode>(state.range(0));
    const WorkArea all = WorkArea::whole(512, 512);
    for (auto _ : state) {
        auto out = threshold(slice(), all, -100, 200, mode);
        benchmark::DoNotOptimize(out);
    }
    setBytes(state);
}
BENCHMARK(BM_Threshold)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_Histogram(benchmark::State& state)
{
    const WorkArea all = WorkArea::whole(512, 512);
    for (auto _ : state) {
        auto counts = histogram(slice(), all);
        benchmark::DoNotOptimize(counts);
    }
    setBytes(state);
}
BENCHMARK(BM_Histogram)->Unit(benchmark::kMillisecond);

} // namespace
