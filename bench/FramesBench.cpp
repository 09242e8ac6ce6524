// Throughput of frame extraction: RLE decoding and normalisation, in bytes of
// output a second, on CT-like 512 x 512 frames.

#include "dicom/Normalisation.h"
#include "dicom/RleDecoder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t Side = 512;

// A smooth disc with noise, as CT slices look to a run-length coder: long
// runs of air, short literal runs inside the body.
std::vector<std::uint16_t> ctSlice()
{
    std::vector<std::uint16_t> samples(Side * Side);
    std::uint32_t seed = 12345;
    for (std::uint32_t y = 0; y < Side; ++y) {
        for (std::uint32_t x = 0; x < Side; ++x) {
            const double r = std::hypot(double(x) - Side / 2.0, double(y) - Side / 2.0);
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) % 24);
            samples[y * Side + x] = static_cast<std::uint16_t>(r < 200 ? 1000 + 40 * std::sin(r / 9.0) + noise : 0);
        }
    }
    return samples;
}

// PS3.5 G.3.1 PackBits: replicate runs of 3 or more, literal runs otherwise.
void encodeSegment(const std::vector<std::uint8_t>& plane, std::vector<std::uint8_t>& out)
{
    std::size_t i = 0;
    while (i < plane.size()) {
        std::size_t run = 1;
        while (i + run < plane.size() && run < 128 && plane[i + run] == plane[i])
            ++run;
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(run)));
            out.push_back(plane[i]);
            i += run;
            continue;
        }
        std::size_t start = i, count = 0;
        while (i < plane.size() && count < 128) {
            if (i + 2 < plane.size() && plane[i] == plane[i + 1] && plane[i] == plane[i + 2])
                break;
            ++i;
            ++count;
        }
        out.push_back(static_cast<std::uint8_t>(count - 1));
        out.insert(out.end(), plane.begin() + static_cast<std::ptrdiff_t>(start), plane.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (out.size() % 2)
        out.push_back(0);
}

std::vector<std::uint8_t> rleFrame16(const std::vector<std::uint16_t>& samples)
{
    std::vector<std::uint8_t> high(samples.size()), low(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        high[i] = static_cast<std::uint8_t>(samples[i] >> 8);
        low[i] = static_cast<std::uint8_t>(samples[i]);
    }
    std::vector<std::uint8_t> frame(64, 0);
    auto put32 = [&frame](std::size_t at, std::uint32_t v) {
        for (int b = 0; b < 4; ++b)
            frame[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
    };
    put32(0, 2);
    put32(4, 64);
    encodeSegment(high, frame);
    put32(8, static_cast<std::uint32_t>(frame.size()));
    encodeSegment(low, frame);
    return frame;
}

std::vector<std::uint8_t> littleEndian(const std::vector<std::uint16_t>& samples)
{
    std::vector<std::uint8_t> out(samples.size() * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        out[2 * i] = static_cast<std::uint8_t>(samples[i]);
        out[2 * i + 1] = static_cast<std::uint8_t>(samples[i] >> 8);
    }
    return out;
}

dicom::PixelAttributes ct(std::int16_t bitsStored, bool rescale)
{
    dicom::PixelAttributes a;
    a.photometric = "MONOCHROME2";
    a.rows = Side;
    a.columns = Side;
    a.bitsAllocated = 16;
    a.bitsStored = bitsStored;
    a.highBit = static_cast<std::int16_t>(bitsStored - 1);
    a.pixelRepresentation = 1;
    a.rescaleIntercept = rescale ? -1024 : 0;
    a.rescalePresent = rescale;
    return a;
}

void BM_RleDecode16(benchmark::State& state)
{
    const auto frame = rleFrame16(ctSlice());
    const dicom::RleFrameShape shape{Side, Side, 1, 2};
    dicom::RleDecoder decoder; // as across the frames of one file
    for (auto _ : state) {
        auto out = decoder.decode(frame, shape);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * Side * Side * 2);
    state.counters["ratio"] = double(Side * Side * 2) / double(frame.size());
}
BENCHMARK(BM_RleDecode16);

void BM_Normalise16(benchmark::State& state)
{
    const auto raw = littleEndian(ctSlice());
    const auto attrs = ct(static_cast<std::int16_t>(state.range(0)), state.range(1) != 0);
    dicom::FrameNormaliser normalise(attrs, dicom::SampleLayout::Interleaved);
    for (auto _ : state) {
        auto frame = normalise(raw);
        benchmark::DoNotOptimize(frame);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * Side * Side * 2);
}
// bits stored 16 with and without rescale; 12 bits masked and sign-extended with rescale.
BENCHMARK(BM_Normalise16)->Args({16, 0})->Args({16, 1})->Args({12, 1});

void BM_NormaliseRgbPlanar(benchmark::State& state)
{
    std::vector<std::uint8_t> raw(Side * Side * 3);
    for (std::size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<std::uint8_t>(i * 31);
    dicom::PixelAttributes a;
    a.photometric = "RGB";
    a.samplesPerPixel = 3;
    a.rows = Side;
    a.columns = Side;
    a.bitsAllocated = 8;
    a.bitsStored = 8;
    for (auto _ : state) {
        auto frame = dicom::normaliseFrame(raw, a, dicom::SampleLayout::Planar);
        benchmark::DoNotOptimize(frame);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(raw.size()));
}
BENCHMARK(BM_NormaliseRgbPlanar);

} // namespace
