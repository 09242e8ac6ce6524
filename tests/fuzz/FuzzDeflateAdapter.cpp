// libFuzzer target: raw deflate streams through the zlib adapter, under a
// small output bound so that a run of long matches costs no time.

#include "codecs/DeflateAdapter.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::uint64_t maxOutput = std::uint64_t(4) << 20;
    auto inflated = codecs::DeflateAdapter::inflate(std::span<const std::uint8_t>(data, size), maxOutput);
    if (inflated && inflated->size() > maxOutput)
        __builtin_trap();
    return 0;
}
