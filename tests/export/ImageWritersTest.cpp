#include "export/ImageWriters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using exporting::ExportError;
using exporting::Picture;
using exporting::Scaling;

Picture picture(std::int32_t width, std::int32_t height, int channels)
{
    Picture p { width, height, channels, {} };
    p.bytes.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < p.bytes.size(); ++i)
        p.bytes[i] = static_cast<std::uint8_t>(i * 7);
    return p;
}

std::vector<std::uint8_t> bytesOf(const std::ostringstream& out)
{
    const std::string text = out.str();
    return { text.begin(), text.end() };
}

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | b.at(at + static_cast<std::size_t>(i));
    return value;
}

struct Entry {
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value;
    friend bool operator==(const Entry&, const Entry&) = default;
};

// The first directory as tag -> entry, reading SHORT values from their 2 bytes.
std::map<std::uint16_t, Entry> directory(const std::vector<std::uint8_t>& file)
{
    std::map<std::uint16_t, Entry> entries;
    const std::uint32_t at = le(file, 4, 4);
    const std::uint32_t count = le(file, at, 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t e = at + 2 + 12 * i;
        const auto type = static_cast<std::uint16_t>(le(file, e + 2, 2));
        const std::uint32_t n = le(file, e + 4, 4);
        entries[static_cast<std::uint16_t>(le(file, e, 2))] = { type, n, le(file, e + 8, type == 3 && n == 1 ? 2 : 4) };
    }
    return entries;
}

struct TiffCase {
    const char* name;
    std::int32_t width, height;
    int channels;
    std::size_t fileSize;
    std::map<std::uint16_t, Entry> expected; // the entries this case is about
};

void PrintTo(const TiffCase& c, std::ostream* os) { *os << c.name; }

class TiffLayout : public testing::TestWithParam<TiffCase> {};

TEST_P(TiffLayout, EntriesAndLength)
{
    const TiffCase& c = GetParam();
    const Picture p = picture(c.width, c.height, c.channels);
    std::ostringstream out;
    ASSERT_TRUE(exporting::writeTiff(p, out).has_value());
    const auto file = bytesOf(out);
    ASSERT_EQ(file.size(), c.fileSize);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), std::string("II*\0", 4));
    const auto entries = directory(file);
    EXPECT_EQ(entries.size(), c.channels == 3 ? 14U : 13U);
    for (const auto& [tag, entry] : c.expected)
        EXPECT_EQ(entries.at(tag), entry) << "tag " << tag;
    // The strip is the picture, unchanged, at the end.
    EXPECT_TRUE(std::equal(p.bytes.begin(), p.bytes.end(), file.end() - static_cast<std::ptrdiff_t>(p.bytes.size())));
    if (c.channels == 3) {
        EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 182, file.begin() + 188),
                  (std::vector<std::uint8_t> { 8, 0, 8, 0, 8, 0 }));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Export, TiffLayout,
    testing::Values(
        TiffCase { "grey10x10", 10, 10, 1, 270,
                   { { 256, { 3, 1, 10 } }, { 258, { 3, 1, 8 } }, { 262, { 3, 1, 1 } }, { 273, { 3, 1, 170 } },
                     { 279, { 4, 1, 100 } }, { 282, { 3, 1, 10 } }, { 296, { 3, 1, 1 } } } },
        TiffCase { "colour10x10", 10, 10, 3, 488,
                   { { 258, { 3, 3, 182 } }, { 262, { 3, 1, 2 } }, { 273, { 3, 1, 188 } }, { 277, { 3, 1, 3 } },
                     { 279, { 4, 1, 300 } }, { 284, { 3, 1, 1 } } } },
        TiffCase { "wide70000x1", 70000, 1, 1, 170 + 70000,
                   { { 256, { 4, 1, 70000 } }, { 257, { 3, 1, 1 } }, { 282, { 3, 1, 65535 } }, { 283, { 3, 1, 1 } } } },
        TiffCase { "tall1x70000", 1, 70000, 1, 170 + 70000,
                   { { 256, { 3, 1, 1 } }, { 257, { 4, 1, 70000 } }, { 283, { 3, 1, 65535 } } } }),
    [](const auto& info) { return std::string(info.param.name); });

struct InvalidCase {
    const char* name;
    Picture picture;
};

TEST(ImageWriters, RefuseMalformedPictures)
{
    Picture shortBuffer = picture(4, 4, 1);
    shortBuffer.bytes.pop_back();
    const InvalidCase cases[] = {
        { "two channels", picture(2, 2, 2) },
        { "zero width", Picture { 0, 4, 1, {} } },
        { "buffer too short", shortBuffer },
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(exporting::writeTiff(c.picture, out).error().code, ExportError::InvalidPicture) << c.name;
        EXPECT_EQ(exporting::writeRaw(c.picture, out).error().code, ExportError::InvalidPicture) << c.name;
        EXPECT_EQ(exporting::writeJpeg(c.picture, 75, out).error().code, ExportError::InvalidPicture) << c.name;
        EXPECT_TRUE(out.str().empty()) << c.name;
    }
}

TEST(ImageWriters, RawIsRowsTopDownRgb)
{
    const Picture p = picture(3, 2, 3);
    std::ostringstream out;
    ASSERT_TRUE(exporting::writeRaw(p, out).has_value());
    EXPECT_EQ(bytesOf(out), p.bytes);
}

TEST(ImageWriters, BmpFileHeaderPrecedesPackedBitmap)
{
    struct Case {
        const char* name;
        int bits;
        std::uint32_t fileSize, pixelOffset;
    };
    // 3 pixels wide: 8-bit rows pad 3 to 4 bytes, 24-bit rows 9 to 12.
    const Case cases[] = {
        { "8-bit", 8, 14 + 40 + 1024 + 2 * 4, 14 + 40 + 1024 },
        { "24-bit", 24, 14 + 40 + 2 * 12, 14 + 40 },
    };
    for (const Case& c : cases) {
        auto bitmap = imaging::DisplayBitmap::create(3, 2, c.bits);
        ASSERT_TRUE(bitmap.has_value()) << c.name;
        std::ostringstream out;
        ASSERT_TRUE(exporting::writeBmp(*bitmap, out).has_value()) << c.name;
        const auto file = bytesOf(out);
        ASSERT_EQ(file.size(), c.fileSize) << c.name;
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(le(file, 2, 4), c.fileSize) << c.name;
        EXPECT_EQ(le(file, 6, 4), 0U) << c.name;
        EXPECT_EQ(le(file, 10, 4), c.pixelOffset) << c.name;
        EXPECT_TRUE(std::equal(bitmap->bytes().begin(), bitmap->bytes().end(), file.begin() + 14)) << c.name;
    }
}

TEST(ImageWriters, ResampleToExactSizeOrRefuseZero)
{
    struct Case {
        const char* name;
        std::int32_t width, height;
        int channels;
        std::int32_t toWidth, toHeight;
        Scaling scaling;
        bool ok;
    };
    const Case cases[] = {
        { "same size", 5, 4, 1, 5, 4, Scaling::Nearest, true },
        { "grey down nearest", 513, 512, 1, 257, 256, Scaling::Nearest, true },
        { "rgb up bilinear", 3, 2, 3, 7, 5, Scaling::Bilinear, true },
        { "to one pixel", 9, 9, 3, 1, 1, Scaling::Bilinear, true },
        { "zero width", 9, 9, 1, 0, 4, Scaling::Nearest, false },
        { "negative height", 9, 9, 1, 4, -1, Scaling::Bilinear, false },
    };
    for (const Case& c : cases) {
        const auto resized = exporting::resamplePicture(picture(c.width, c.height, c.channels), c.toWidth, c.toHeight,
                                                        c.scaling);
        ASSERT_EQ(resized.has_value(), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_EQ(resized.error().code, ExportError::InvalidPicture) << c.name;
            continue;
        }
        EXPECT_EQ(resized->width, c.toWidth) << c.name;
        EXPECT_EQ(resized->height, c.toHeight) << c.name;
        EXPECT_EQ(resized->channels, c.channels) << c.name;
        EXPECT_EQ(resized->bytes.size(), static_cast<std::size_t>(c.toWidth * c.toHeight * c.channels)) << c.name;
    }
}

TEST(ImageWriters, ResampleBitmapKeepsDepthAndTable)
{
    auto bitmap = imaging::DisplayBitmap::create(4, 4, 8);
    ASSERT_TRUE(bitmap.has_value());
    for (std::int32_t y = 0; y < 4; ++y) {
        for (std::int32_t x = 0; x < 4; ++x)
            bitmap->imageRow(y)[x] = x % 2 ? 100 : 0;
    }
    imaging::PaletteTable table = bitmap->colourTable();
    table.entries[100].red = 0;
    bitmap->setColourTable(table);
    const auto resized = exporting::resampleBitmap(*bitmap, 7, 3, Scaling::Bilinear);
    ASSERT_TRUE(resized.has_value());
    EXPECT_EQ(resized->width(), 7);
    EXPECT_EQ(resized->height(), 3);
    EXPECT_EQ(resized->bitsPerPixel(), 8);
    EXPECT_EQ(resized->colourTable(), table);
    // A colour table's indices are picked, never blended into another colour.
    for (std::int32_t x = 0; x < 7; ++x)
        EXPECT_TRUE(resized->imageRow(1)[x] == 0 || resized->imageRow(1)[x] == 100) << x;
    EXPECT_EQ(exporting::resampleBitmap(*bitmap, 0, 3, Scaling::Nearest).error().code, ExportError::InvalidPicture);
}

TEST(ImageWriters, BitmapOfRgbIsBottomUpBgr)
{
    const Picture p = picture(2, 2, 3);
    const auto bitmap = exporting::bitmapOf(p);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->bitsPerPixel(), 24);
    // The top row is stored last, each pixel as blue, green, red.
    const std::uint8_t* top = bitmap->pixelRows().data() + bitmap->stride();
    EXPECT_EQ((std::vector<std::uint8_t> { top[0], top[1], top[2] }),
              (std::vector<std::uint8_t> { p.bytes[2], p.bytes[1], p.bytes[0] }));
}

} // namespace
