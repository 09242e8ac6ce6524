#include "imaging/Palettes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "imaging/CustomPalette.h"
#include "imaging/FrameImage.h"
#include "tests/imaging/OperationTestLevels.h"

namespace imaging {
namespace {

using namespace imaging::testing;
namespace fs = std::filesystem;

PaletteEntry entry(int number, int index)
{
    return builtInPalette(number)->entries[static_cast<std::size_t>(index)];
}

PaletteEntry rgb(int r, int g, int b)
{
    return PaletteEntry{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 0};
}

TEST(Palettes, BuiltInTablesPassThroughTheirKnots)
{
    struct Case {
        BuiltInPalette palette;
        int index;
        PaletteEntry expected;
    };
    const Case cases[] = {
        {BuiltInPalette::Fusion16, 17, rgb(0, 4, 4)},
        {BuiltInPalette::Fusion16, 16, rgb(0, 0, 0)},
        {BuiltInPalette::Fusion16, 255, rgb(255, 255, 255)},
        {BuiltInPalette::Fusion16, 8 * 16 + 15, rgb(159, 191, 31)},
        {BuiltInPalette::GrayRain, 128, rgb(0, 255, 128)},
        {BuiltInPalette::GrayRain, 127, rgb(127, 127, 127)},
        {BuiltInPalette::GrayRain, 16, rgb(175, 0, 255)},
        {BuiltInPalette::GrayRain, 240, rgb(255, 79, 0)},
        {BuiltInPalette::GrayRain, 255, rgb(255, 255, 255)},
        {BuiltInPalette::Grayscale, 77, rgb(77, 77, 77)},
        {BuiltInPalette::Blackbody, 85, rgb(255, 0, 0)},
        {BuiltInPalette::Blackbody, 170, rgb(255, 255, 0)},
        {BuiltInPalette::Hotiron, 128, rgb(255, 0, 0)},
        {BuiltInPalette::Hotiron, 64, rgb(128, 0, 0)}, // 255 * 64 / 128 rounded
        // Knots on neighbouring indices make the curve jump.
        {BuiltInPalette::Fiveramp, 152, rgb(250, 250, 0)},
        {BuiltInPalette::Fiveramp, 153, rgb(0, 0, 0)},
        {BuiltInPalette::Fiveramp, 101, rgb(0, 250, 0)},
        {BuiltInPalette::Fiveramp, 50, rgb(0, 0, 250)},
        {BuiltInPalette::Fiveramp, 51, rgb(0, 0, 0)},
        {BuiltInPalette::Cardiac, 0, rgb(72, 192, 0)},
        {BuiltInPalette::Cardiac, 255, rgb(71, 191, 0)},
        {BuiltInPalette::Flow, 0, rgb(32, 200, 255)},
        {BuiltInPalette::GeColor, 127, rgb(127, 0, 255)}, // red 1 + 254 * 63 / 127 rounded
        {BuiltInPalette::Nih, 159, rgb(255, 255, 0)},
        {BuiltInPalette::Spectrum, 0, rgb(255, 0, 255)},
        {BuiltInPalette::Spectrum, 102, rgb(0, 255, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(entry(static_cast<int>(c.palette), c.index), c.expected)
            << builtInPaletteName(static_cast<int>(c.palette)) << " " << c.index;
    EXPECT_EQ(builtInPaletteName(5), "GE_Color");
    EXPECT_EQ(builtInPaletteName(11), "");
    EXPECT_EQ(builtInPalette(11), nullptr);
    EXPECT_EQ(builtInPalette(-1), nullptr);
    EXPECT_EQ(*builtInPalette(kGrayscalePalette), PaletteTable::grayscale());
}

TEST(Palettes, SetPaletteRecolorsAndUndoReturnsToGrayscale)
{
    FrameImage frame = greyImage(2, 1, {0, 255});
    const CustomPaletteList none;
    ASSERT_TRUE(setPalette(frame, static_cast<int>(BuiltInPalette::Hotiron), none));
    EXPECT_EQ(getPalette(frame), 8);
    EXPECT_EQ(frame.displayBitmap()->colourTable(), *builtInPalette(8));
    ASSERT_TRUE(frame.undo());
    EXPECT_EQ(getPalette(frame), kGrayscalePalette);
    EXPECT_EQ(frame.displayBitmap()->colourTable(), PaletteTable::grayscale());
}

TEST(Palettes, RgbFramesAndUnknownNumbersAreRefused)
{
    const CustomPaletteList none;
    FrameImage colour = rgbImage(1, 1, {1, 2, 3});
    EXPECT_FALSE(setPalette(colour, 0, none));
    EXPECT_FALSE(colour.canUndo());
    EXPECT_EQ(getPalette(colour), kGrayscalePalette);

    FrameImage grey = greyImage(1, 1, {1});
    for (const int number : {-1, 11, 12, 1000})
        EXPECT_FALSE(setPalette(grey, number, none)) << number;
    EXPECT_FALSE(grey.canUndo());
    FrameImage empty;
    EXPECT_FALSE(setPalette(empty, 0, none));
    EXPECT_EQ(getPalette(empty), kGrayscalePalette);
}

CustomPalette solid(std::string name, int r, int g, int b)
{
    CustomPalette p;
    p.name = std::move(name);
    p.red.fill(r);
    p.green.fill(g);
    p.blue.fill(b);
    return p;
}

TEST(Palettes, EachFrameKeepsItsOwnCustomColours)
{
    CustomPaletteList list;
    ASSERT_TRUE(list.add(solid("Red", 255, 0, 0)));
    ASSERT_TRUE(list.add(solid("Wide", 0x1FF, 0x100, -1))); // only the low bytes count
    FrameImage a = image16(2, 2, {0, 1, 2, 3});
    FrameImage b = greyImage(1, 1, {9});
    ASSERT_TRUE(setPalette(a, 11, list));
    ASSERT_TRUE(setPalette(b, 12, list));
    EXPECT_EQ(getPalette(a), 11);
    EXPECT_EQ(getPalette(b), 11);
    ASSERT_TRUE(a.rebuildDisplay());
    ASSERT_TRUE(b.rebuildDisplay());
    EXPECT_EQ(a.displayBitmap()->colourTable().entries[0], rgb(255, 0, 0));
    EXPECT_EQ(b.displayBitmap()->colourTable().entries[0], rgb(255, 0, 255));
}

TEST(Palettes, ParsingReadsANameAndUpTo256Triples)
{
    struct Case {
        const char* what;
        std::string text;
        std::string name;
        std::vector<PaletteEntry> first; // the first entries
        int firstBlack;                  // index of the first entry left 0
    };
    const Case cases[] = {
        {"plain", "Warm\n1 2 3\n4\t5\t6\n", "Warm", {rgb(1, 2, 3), rgb(4, 5, 6)}, 2},
        {"two words: reading stops at the second", "My Palette\n1 2 3\n", "My", {}, 0},
        {"signs and blanks", "  \n\tA\r\n+7 -1 300\n", "A", {rgb(7, 255, 44)}, 1},
        {"partial triple ends it", "B\n1 2 3\n4 5\n", "B", {rgb(1, 2, 3)}, 1},
        {"text ends it", "C\n1 2 3\nx 5 6\n7 8 9\n", "C", {rgb(1, 2, 3)}, 1},
        {"overflow is held, not wrapped", "D\n99999999999999999999 -99999999999999999999 255\n", "D",
         {rgb(255, 0, 255)}, 1},
    };
    for (const Case& c : cases) {
        const auto palette = parsePalette(c.text);
        ASSERT_TRUE(palette.has_value()) << c.what;
        EXPECT_EQ(palette->name, c.name) << c.what;
        const PaletteTable table = palette->table();
        for (std::size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(table.entries[i], c.first[i]) << c.what << " " << i;
        EXPECT_EQ(table.entries[static_cast<std::size_t>(c.firstBlack)], rgb(0, 0, 0)) << c.what;
    }
    EXPECT_EQ(parsePalette("D\n99999999999 -99999999999 1\n")->red[0], 2147483647);
    EXPECT_EQ(parsePalette("D\n99999999999 -99999999999 1\n")->green[0], -2147483647 - 1);

    const auto none = parsePalette(" \n\t ");
    ASSERT_FALSE(none.has_value());
    EXPECT_EQ(none.error().code, PaletteFileError::NoName);

    const auto longName = parsePalette(std::string(200, 'n') + "\n1 1 1\n");
    ASSERT_TRUE(longName.has_value());
    EXPECT_EQ(longName->name, std::string(127, 'n'));
    EXPECT_EQ(longName->red[0], 1); // the rest of the word is skipped, not read as numbers

    std::string full = "Full\n";
    for (int i = 0; i < 300; ++i)
        full += std::to_string(i) + " 0 0\n";
    EXPECT_EQ(parsePalette(full)->red[255], 255);
}

TEST(Palettes, NamesAreMadeSafeForFileNames)
{
    EXPECT_EQ(sanitizePaletteName("My Palette"), "My_Palette");
    EXPECT_EQ(sanitizePaletteName("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(sanitizePaletteName(std::string("x\ty\n\x01z", 6)), "x_y__z");
    EXPECT_EQ(sanitizePaletteName(""), "NewPalette");
    EXPECT_EQ(sanitizePaletteName(std::string(300, 'q')).size(), 127u);
    EXPECT_EQ(paletteFileName("Hot Metal"), "Hot_Metal.txt");
}

class PaletteFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path()
            / ("tv-palettes-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void write(const std::string& name, const std::string& text)
    {
        std::ofstream(m_dir / name, std::ios::binary) << text;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(m_dir))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path m_dir;
};

TEST_F(PaletteFiles, WrittenFilesReadBackAndLeaveNoTemporaries)
{
    CustomPalette p = solid("Sea Green", 0, 0, 0);
    for (int i = 0; i < 256; ++i) {
        p.red[static_cast<std::size_t>(i)] = i;
        p.green[static_cast<std::size_t>(i)] = 255 - i;
        p.blue[static_cast<std::size_t>(i)] = i / 2;
    }
    const fs::path file = m_dir / paletteFileName(p.name);
    ASSERT_TRUE(writePaletteFile(file, p).has_value());
    EXPECT_EQ(names(), std::vector<std::string>{"Sea_Green.txt"});

    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().substr(0, 25), "Sea_Green\n0\t255\t0\n1\t254\t0");

    auto back = readPaletteFile(file);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name, "Sea_Green");
    EXPECT_EQ(back->red, p.red);
    EXPECT_EQ(back->green, p.green);
    EXPECT_EQ(back->blue, p.blue);

    // Saving again replaces the file whole.
    ASSERT_TRUE(writePaletteFile(file, solid("Other", 1, 1, 1)).has_value());
    EXPECT_EQ(readPaletteFile(file)->name, "Other");
    EXPECT_EQ(names(), std::vector<std::string>{"Sea_Green.txt"});
}

TEST_F(PaletteFiles, AFailedSaveAddsNothing)
{
    CustomPaletteList list;
    const auto failed = list.save(m_dir / "missing" / "P.txt", solid("P", 1, 2, 3));
    ASSERT_FALSE(failed.has_value());
    EXPECT_EQ(failed.error().code, PaletteFileError::CannotCreate);
    EXPECT_TRUE(list.empty());

    ASSERT_TRUE(list.save(m_dir / "P.txt", solid("P q", 1, 2, 3)).has_value());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0)->name, "P_q");
}

TEST_F(PaletteFiles, FoldersAreReadInNameOrderSkippingWhatIsNotAPalette)
{
    write("b.TXT", "Second\n1 1 1\n");
    write("a.txt", "First\n2 2 2\n");
    write("c.dat", "NotRead\n");
    write("d.txt", "   \n");
    write("e.txt", std::string(kMaxPaletteFileBytes + 1, ' ') + "Huge\n");
    fs::create_directories(m_dir / "sub.txt");
    CustomPaletteList list;
    EXPECT_EQ(list.loadFolder(m_dir), 2u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.at(0)->name, "First");
    EXPECT_EQ(list.at(1)->name, "Second");
    EXPECT_EQ(list.loadFolder(m_dir / "absent"), 0u);
    EXPECT_EQ(list.size(), 2u);

    const auto huge = readPaletteFile(m_dir / "e.txt");
    ASSERT_FALSE(huge.has_value());
    EXPECT_EQ(huge.error().code, PaletteFileError::TooLarge);
    const auto missing = readPaletteFile(m_dir / "nope.txt");
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(missing.error().code, PaletteFileError::CannotOpen);
}

} // namespace
} // namespace imaging
