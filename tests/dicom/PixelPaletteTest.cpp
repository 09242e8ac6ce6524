#include "dicom/PaletteColour.h"

#include "dicom/DicomError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace dicom;
using Bytes = std::vector<std::uint8_t>;

namespace {

// n words of the given width whose top byte is the entry number, the rest 0x5A.
Bytes words(std::size_t n, std::size_t width, WordOrder order)
{
    Bytes out;
    for (std::size_t i = 0; i < n; ++i) {
        Bytes word(width, 0x5A);
        word[order == WordOrder::Big ? 0 : width - 1] = static_cast<std::uint8_t>(i);
        out.insert(out.end(), word.begin(), word.end());
    }
    return out;
}

struct ReduceCase {
    const char* name;
    Bytes data;
    WordOrder order;
    std::size_t entries; // entries taken before the last one repeats
};

void PrintTo(const ReduceCase& c, std::ostream* os)
{
    *os << c.name;
}

class PaletteReduce : public testing::TestWithParam<ReduceCase> {};

TEST_P(PaletteReduce, TakesTopBytesAndRepeatsLastEntry)
{
    const auto& c = GetParam();
    const PaletteChannel channel = reducePaletteTable(c.data, c.order);
    for (std::size_t i = 0; i < 256; ++i)
        EXPECT_EQ(channel[i], std::min(i, c.entries - 1)) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaletteReduce,
    testing::Values(ReduceCase{"bytes256", words(256, 1, WordOrder::Little), WordOrder::Little, 256},
                    ReduceCase{"bytes200", words(200, 1, WordOrder::Little), WordOrder::Little, 200},
                    ReduceCase{"words200", words(200, 2, WordOrder::Little), WordOrder::Little, 200},
                    ReduceCase{"words256", words(256, 2, WordOrder::Little), WordOrder::Little, 256},
                    ReduceCase{"words256BigEndian", words(256, 2, WordOrder::Big), WordOrder::Big, 256},
                    ReduceCase{"dwords150", words(150, 4, WordOrder::Little), WordOrder::Little, 150},
                    ReduceCase{"dwords256", words(256, 4, WordOrder::Little), WordOrder::Little, 256},
                    ReduceCase{"dwords300TakesFirst256", words(300, 4, WordOrder::Little), WordOrder::Little, 256},
                    ReduceCase{"oneByte", Bytes{0}, WordOrder::Little, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PaletteReduce, TablesOfDifferentLengthAreCorruptAndEmptyOnesFailLikeAnAllocation)
{
    const Bytes t(256, 1), shorter(254, 1);
    EXPECT_TRUE(reducePaletteTables(t, t, t, WordOrder::Little));
    EXPECT_EQ(reducePaletteTables(t, shorter, t, WordOrder::Little).error().code, DicomError::Corrupted);
    EXPECT_EQ(reducePaletteTables(Bytes{}, Bytes{}, Bytes{}, WordOrder::Little).error().code, DicomError::OutOfMemory);
}

TEST(PaletteRecord, NameIsCutTo127AndBlanksBecomeUnderscores)
{
    const PaletteTables tables;
    EXPECT_EQ(makePaletteRecord(std::string(200, 'a'), tables).name.size(), 127u);
    EXPECT_EQ(makePaletteRecord("Hot Iron\0", tables).name, "Hot_Iron");
    EXPECT_EQ(makePaletteRecord(" ", tables).name, "NewPalette");
}

} // namespace
