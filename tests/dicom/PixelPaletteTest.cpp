#include "dicom/PaletteColour.h"

#include "dicom/DicomError.h"
#include "dicom/DicomReader.h"
#include "dicom/Tags.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
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

namespace {

using Words = std::vector<std::uint16_t>;

struct SegmentCase {
    const char* name;
    Words data;
    Words want;
};

void PrintTo(const SegmentCase& c, std::ostream* os)
{
    *os << c.name;
}

class SegmentedPalette : public testing::TestWithParam<SegmentCase> {};

TEST_P(SegmentedPalette, ExpandsAsTheOpcodesSay)
{
    const auto got = expandSegmentedTable(GetParam().data, 65536);
    ASSERT_TRUE(got) << got.error().detail;
    EXPECT_EQ(*got, GetParam().want);
}

// Discrete 0, linear 1 (from the last entry, rounded half to even), indirect
// 2 (copies n segments from a word offset, low word first).
INSTANTIATE_TEST_SUITE_P(
    Cases, SegmentedPalette,
    testing::Values(SegmentCase{"discrete", {0, 3, 7, 8, 9}, {7, 8, 9}},
                    SegmentCase{"linearUp", {0, 1, 0, 1, 4, 100}, {0, 25, 50, 75, 100}},
                    SegmentCase{"linearDownHalfToEven", {0, 1, 10, 1, 4, 0}, {10, 8, 5, 2, 0}},
                    SegmentCase{"linearFlat", {0, 1, 5, 1, 3, 5}, {5, 5, 5, 5}},
                    SegmentCase{"indirectCopiesTwoSegments", {0, 1, 0, 1, 2, 4, 2, 2, 0, 0}, {0, 2, 4, 0, 2, 4}},
                    SegmentCase{"trailingPadWordIgnored", {0, 2, 1, 2, 0}, {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SegmentedPalette, MalformedSegmentsAreCorrupt)
{
    const Words cases[] = {
        {0, 5, 1, 2},          // discrete past the end
        {1, 4, 100},           // leading linear
        {2, 1, 0, 0},          // leading indirect
        {0, 1, 3, 2, 1, 9, 0}, // indirect past the end
        {0, 1, 3, 2, 1, 2, 0}, // indirect pointing at itself
        {0, 1, 3, 7, 1, 1},    // unknown opcode
        {},                    // no entries
    };
    for (const Words& data : cases) {
        const auto got = expandSegmentedTable(data, 65536);
        ASSERT_FALSE(got) << testing::PrintToString(data);
        EXPECT_EQ(got.error().code, DicomError::Corrupted);
    }
}

TEST(SegmentedPalette, ExpansionStopsAtTheEntryLimit)
{
    const Words data{0, 1, 0, 1, 65535, 65535};
    EXPECT_EQ(expandSegmentedTable(data, 256)->size(), 256u);
    EXPECT_EQ(reduceExpandedTable(*expandSegmentedTable(data, 256), 16)[255], 0);
    EXPECT_EQ(reduceExpandedTable(Words{0x1234, 0xABCD}, 16)[200], 0xAB);
    EXPECT_EQ(reduceExpandedTable(Words{0x1234, 0xABCD}, 8)[0], 0x34);
}

// pydicom expands the same tables: the file's three channels must agree entry
// for entry over the whole 16-bit table.
TEST(SegmentedPalette, FileTablesEqualPydicomExpansion)
{
    namespace fs = std::filesystem;
    const fs::path file = fs::path(TV_TESTDATA_DIR) / "colour/palette-segmented-16bit.dcm";
    if (!fs::exists(file))
        GTEST_SKIP() << "test data not found: " << file;
    const fs::path out = fs::path(testing::TempDir()) / "segmented-lut.txt";
    const std::string command =
        "/usr/bin/python3 -c \"import sys, pydicom\n"
        "from pydicom.pixel_data_handlers.util import _expand_segmented_lut as expand\n"
        "import struct\n"
        "d = pydicom.dcmread(sys.argv[1])\n"
        "for t in (0x00281221, 0x00281222, 0x00281223):\n"
        "    v = d[t].value\n"
        "    print(' '.join(map(str, expand(struct.unpack('<%dH' % (len(v) // 2), v), '<H'))))\n"
        "\" '" + file.string() + "' > '" + out.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "pydicom could not expand the tables";

    DicomDataset dataset;
    DicomReader(ReadOptions{}).read(file, dataset);
    std::ifstream reference(out);
    const base::Tag channels[] = {tags::SegmentedRedPaletteColorLookupTableData,
                                  tags::SegmentedGreenPaletteColorLookupTableData,
                                  tags::SegmentedBluePaletteColorLookupTableData};
    for (const base::Tag tag : channels) {
        const DicomElement* element = dataset.find(tag);
        ASSERT_NE(element, nullptr);
        const auto bytes = element->bytes();
        Words words(bytes.size() / 2);
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        std::string line;
        ASSERT_TRUE(std::getline(reference, line));
        std::istringstream values(line);
        const Words want{std::istream_iterator<std::uint16_t>(values), std::istream_iterator<std::uint16_t>()};
        const auto got = expandSegmentedTable(words, 65536);
        ASSERT_TRUE(got) << got.error().detail;
        EXPECT_EQ(*got, want) << "channel " << tag.element;
    }
}

} // namespace
