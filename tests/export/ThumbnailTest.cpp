#include "export/PngWriter.h"
#include "export/Thumbnail.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using exporting::ExportError;
using exporting::Picture;
using exporting::ThumbnailSize;

struct SizeCase {
    const char* name;
    std::int32_t width, height, longSide;
    ThumbnailSize expected;
};

void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.name; }

class ThumbnailSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(ThumbnailSizes, LongerSideTakesTheSizeAndTheOtherKeepsTheRatio)
{
    const SizeCase& c = GetParam();
    EXPECT_EQ(exporting::thumbnailSize(c.width, c.height, c.longSide), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ThumbnailSizes,
    testing::Values(SizeCase { "square", 512, 512, 128, { 128, 128 } },
                    SizeCase { "landscape", 640, 480, 96, { 96, 72 } },
                    SizeCase { "portrait", 1890, 2457, 96, { 74, 96 } },
                    SizeCase { "roundsUp", 800, 555, 96, { 96, 67 } },
                    SizeCase { "enlarges", 3, 2, 96, { 96, 64 } },
                    SizeCase { "thinStaysOnePixel", 4000, 1, 128, { 128, 1 } },
                    SizeCase { "largest", 1, 1, 4096, { 4096, 4096 } },
                    SizeCase { "noWidth", 0, 10, 96, { 0, 0 } },
                    SizeCase { "noSize", 10, 10, 0, { 0, 0 } }),
    [](const auto& info) { return std::string(info.param.name); });

imaging::DisplayBitmap greyBitmap(std::int32_t width, std::int32_t height, const std::vector<std::uint8_t>& pixels)
{
    auto bitmap = imaging::DisplayBitmap::create(width, height, 8);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            bitmap->imageRow(y)[x] = pixels[static_cast<std::size_t>(y * width + x)];
    return std::move(*bitmap);
}

TEST(ThumbnailPicture, AveragesEachBoxOfTheShownValues)
{
    const auto bitmap = greyBitmap(4, 2, { 0, 10, 100, 100, 20, 30, 200, 201 });
    const auto picture = exporting::thumbnailPicture(bitmap, { 2, 1 });
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->channels, 1);
    EXPECT_EQ(picture->bytes, (std::vector<std::uint8_t> { 15, 150 }));
}

TEST(ThumbnailPicture, ColourTableGivesRgbAndBitmapsStoreBlueFirst)
{
    auto indexed = greyBitmap(1, 1, { 1 });
    imaging::PaletteTable table = imaging::PaletteTable::grayscale();
    table.entries[1] = { 10, 20, 30, 0 };
    indexed.setColourTable(table);
    auto rgb = imaging::DisplayBitmap::create(2, 1, 24);
    const std::uint8_t bgr[] = { 30, 20, 10, 32, 22, 12 };
    std::copy(std::begin(bgr), std::end(bgr), rgb->imageRow(0));
    const std::pair<const imaging::DisplayBitmap*, std::vector<std::uint8_t>> cases[] = {
        { &indexed, { 10, 20, 30 } },
        { &*rgb, { 11, 21, 31 } },
    };
    for (const auto& [bitmap, expected] : cases) {
        const auto picture = exporting::thumbnailPicture(*bitmap, { 1, 1 });
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->channels, 3);
        EXPECT_EQ(picture->bytes, expected);
    }
}

TEST(ThumbnailPicture, RefusesAnEmptySize)
{
    const auto picture = exporting::thumbnailPicture(greyBitmap(1, 1, { 0 }), { 0, 1 });
    ASSERT_FALSE(picture);
    EXPECT_EQ(picture.error().code, ExportError::InvalidPicture);
}

std::uint32_t bigEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::uint32_t { bytes[at] } << 24 | std::uint32_t { bytes[at + 1] } << 16
        | std::uint32_t { bytes[at + 2] } << 8 | bytes[at + 3];
}

TEST(PngWriter, ChunksCarryTheirCrcAndTheDataInflatesToFilteredRows)
{
    const Picture picture { 2, 2, 3, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 } };
    const auto png = exporting::encodePng(picture);
    ASSERT_TRUE(png);
    ASSERT_EQ(std::string(png->begin() + 1, png->begin() + 4), "PNG");
    std::vector<std::string> types;
    std::vector<std::uint8_t> data;
    for (std::size_t at = 8; at + 12 <= png->size();) {
        const std::uint32_t length = bigEndian32(*png, at);
        ASSERT_LE(at + 12 + length, png->size());
        const std::uint8_t* typeAndData = png->data() + at + 4;
        EXPECT_EQ(::crc32(0, typeAndData, 4 + length), bigEndian32(*png, at + 8 + length));
        types.emplace_back(typeAndData, typeAndData + 4);
        if (types.back() == "IHDR") {
            EXPECT_EQ(std::vector<std::uint8_t>(typeAndData + 4, typeAndData + 4 + length),
                      (std::vector<std::uint8_t> { 0, 0, 0, 2, 0, 0, 0, 2, 8, 2, 0, 0, 0 }));
        }
        if (types.back() == "IDAT")
            data.assign(typeAndData + 4, typeAndData + 4 + length);
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string> { "IHDR", "IDAT", "IEND" }));
    std::vector<std::uint8_t> rows(14);
    uLongf size = rows.size();
    ASSERT_EQ(::uncompress(rows.data(), &size, data.data(), data.size()), Z_OK);
    EXPECT_EQ(rows, (std::vector<std::uint8_t> { 0, 1, 2, 3, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12 }));
}

TEST(PngWriter, RefusesPicturesItCannotDescribe)
{
    for (const Picture& picture : { Picture { 2, 1, 2, { 1, 2, 3, 4 } }, Picture { 2, 2, 1, { 1, 2, 3 } },
                                    Picture { 0, 1, 1, {} } }) {
        const auto png = exporting::encodePng(picture);
        ASSERT_FALSE(png);
        EXPECT_EQ(png.error().code, ExportError::InvalidPicture);
    }
}

} // namespace
