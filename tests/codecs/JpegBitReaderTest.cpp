// The entropy-coded data reader at the edges of its input: stuffed bytes,
// markers and the end of the data, on both the word-at-a-time and the
// byte-at-a-time refill.

#include "codecs/JpegBitReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace codecs {
namespace {

struct BitCase {
    const char* name;
    std::vector<std::uint8_t> input;
    std::vector<std::uint8_t> data; // the bytes the reader must hand out, in order
    std::size_t stopsAt;            // position() once the data are taken
};

void PrintTo(const BitCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegBitReaderEdges : public testing::TestWithParam<BitCase> {};

TEST_P(JpegBitReaderEdges, HandsOutTheDataThenZeroBitsAndStopsInFrontOfMarkers)
{
    const auto& c = GetParam();
    JpegBitReader bits(c.input.data(), c.input.data() + c.input.size());
    for (std::size_t i = 0; i < c.data.size(); ++i) {
        bits.fill();
        EXPECT_EQ(bits.take(8), c.data[i]) << "byte " << i;
        EXPECT_FALSE(bits.ranPastData()) << "byte " << i;
    }
    bits.fill();
    EXPECT_EQ(bits.position() - c.input.data(), static_cast<std::ptrdiff_t>(c.stopsAt));
    EXPECT_EQ(bits.take(1), 0u);
    EXPECT_TRUE(bits.ranPastData());
    // Zero bits keep coming, however far the caller reads.
    for (int i = 0; i < 20; ++i) {
        bits.fill();
        EXPECT_EQ(bits.take(16), 0u);
    }
    EXPECT_EQ(bits.position() - c.input.data(), static_cast<std::ptrdiff_t>(c.stopsAt));
}

INSTANTIATE_TEST_SUITE_P(Inputs, JpegBitReaderEdges,
    testing::Values(
        BitCase { "empty", {}, {}, 0 },
        BitCase { "two_bytes", { 0x12, 0x34 }, { 0x12, 0x34 }, 2 },
        BitCase { "stuffed_ff_at_the_end", { 0x12, 0xFF, 0x00 }, { 0x12, 0xFF }, 3 },
        BitCase { "lone_ff_at_the_end", { 0x12, 0xFF }, { 0x12 }, 1 },
        BitCase { "marker", { 0xAB, 0xFF, 0xD0, 0xCD }, { 0xAB }, 1 },
        BitCase { "fill_bytes_before_marker", { 0xAB, 0xFF, 0xFF, 0xD9 }, { 0xAB }, 1 },
        BitCase { "word_then_marker", { 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFF, 0xD9 }, { 1, 2, 3, 4, 5, 6, 7, 8, 9 }, 9 },
        BitCase { "word_then_stuffing", { 1, 2, 3, 4, 5, 6, 7, 0xFF, 0x00, 9, 10, 11, 12, 13, 14, 15, 16 },
            { 1, 2, 3, 4, 5, 6, 7, 0xFF, 9, 10, 11, 12, 13, 14, 15, 16 }, 17 }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace codecs
