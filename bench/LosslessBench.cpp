// Lossless JPEG decoding speed on a real multi-frame file (by default the
// 100-frame 16-bit file made as ../shared/bench/README.md says; set
// TV_BENCH_LOSSLESS to another path). bench/lossless_vs_dcmdjpeg.sh runs this
// beside dcmdjpeg on the same file.

#include "codecs/LosslessJpegDecoder.h"
#include "tests/codecs/DicomFragments.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

std::string benchFile()
{
    const char* path = std::getenv("TV_BENCH_LOSSLESS");
    return path ? path : "/tmp/benchdata/mf/mf100_jll.dcm";
}

void BM_DecodeLosslessFile(benchmark::State& state)
{
    auto image = codecs::test::readDicomImage(benchFile());
    if (!image || image->frameStreams.empty()) {
        state.SkipWithError("no encapsulated lossless file (see ../shared/bench/README.md)");
        return;
    }
    codecs::FrameParams params;
    params.rows = image->rows;
    params.columns = image->columns;
    params.samplesPerPixel = image->samples;
    params.bitsAllocated = image->bitsAllocated;
    params.bitsStored = image->bitsStored;
    std::vector<std::uint8_t> frame(params.frameBytes());
    for (auto _ : state) {
        for (const auto& stream : image->frameStreams) {
            auto result = codecs::LosslessJpegDecoder::decode(stream, params, frame);
            if (!result) {
                state.SkipWithError(result.error().detail.c_str());
                return;
            }
            benchmark::DoNotOptimize(frame.data());
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(image->frameStreams.size())
        * std::int64_t(frame.size()));
    state.counters["frames"] = double(image->frameStreams.size());
}
BENCHMARK(BM_DecodeLosslessFile)->Unit(benchmark::kMillisecond);

} // namespace
