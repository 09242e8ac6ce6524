#include "dicom/BmpReader.h"

#include "dicom/DicomError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using dicom::readBmp;
using Bytes = std::vector<std::uint8_t>;

namespace {

void put16(Bytes& b, std::uint16_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& b, std::uint32_t v)
{
    put16(b, static_cast<std::uint16_t>(v));
    put16(b, static_cast<std::uint16_t>(v >> 16));
}

struct BmpFields {
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t infoSize = 40;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
};

// BITMAPFILEHEADER + BITMAPINFOHEADER + palette, then the given pixel bytes.
Bytes bmp(const BmpFields& f, const Bytes& pixels)
{
    Bytes b;
    const std::uint32_t offBits = 14 + f.infoSize + 4 * static_cast<std::uint32_t>(f.palette.size());
    b.push_back('B');                                    // bfType
    b.push_back('M');
    put32(b, offBits + static_cast<std::uint32_t>(pixels.size())); // bfSize
    put32(b, 0);                                         // bfReserved1, bfReserved2
    put32(b, offBits);                                   // bfOffBits
    put32(b, f.infoSize);                                // biSize
    put32(b, static_cast<std::uint32_t>(f.width));       // biWidth
    put32(b, static_cast<std::uint32_t>(f.height));      // biHeight
    put16(b, 1);                                         // biPlanes
    put16(b, f.bitCount);                                // biBitCount
    put32(b, f.compression);                             // biCompression
    put32(b, 0);                                         // biSizeImage
    put32(b, 2835);                                      // biXPelsPerMeter
    put32(b, 2835);                                      // biYPelsPerMeter
    put32(b, f.coloursUsed);                             // biClrUsed
    put32(b, 0);                                         // biClrImportant
    b.resize(14 + f.infoSize, 0);                        // rest of a larger header
    for (auto c : f.palette)
        put32(b, c);                                     // B, G, R, 0
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

struct GoodCase {
    const char* name;
    BmpFields fields;
    Bytes pixels;
    Bytes expectedRgb; // top row first
};

void PrintTo(const GoodCase& c, std::ostream* os)
{
    *os << c.name;
}

class BmpGood : public testing::TestWithParam<GoodCase> {};

TEST_P(BmpGood, ReadsTopRowFirstAsRgb)
{
    const auto& c = GetParam();
    const auto image = readBmp(bmp(c.fields, c.pixels));
    ASSERT_TRUE(image) << image.error().detail;
    EXPECT_EQ(image->columns, static_cast<std::uint32_t>(c.fields.width));
    EXPECT_EQ(image->rows, static_cast<std::uint32_t>(std::abs(c.fields.height)));
    EXPECT_EQ(image->rgb, c.expectedRgb);
}

BmpFields fields(std::int32_t width, std::int32_t height, std::uint16_t bits, std::vector<std::uint32_t> palette = {},
                 std::uint32_t used = 0)
{
    BmpFields f;
    f.width = width;
    f.height = height;
    f.bitCount = bits;
    f.palette = std::move(palette);
    f.coloursUsed = used;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpGood,
    testing::Values(
        // Rows bottom-up, each padded from 3 to 4 bytes.
        GoodCase{"rgb24BottomUp", fields(1, 2, 24), {1, 2, 3, 0, 4, 5, 6, 0}, {6, 5, 4, 3, 2, 1}},
        GoodCase{"rgb24TopDown", fields(1, -2, 24), {1, 2, 3, 0, 4, 5, 6, 0}, {3, 2, 1, 6, 5, 4}},
        GoodCase{"rgb32DropsFourthByte", fields(2, 1, 32), {1, 2, 3, 99, 4, 5, 6, 99}, {3, 2, 1, 6, 5, 4}},
        // 0x7C1F: red 31, green 0, blue 31.
        GoodCase{"rgb16FiveFiveFive", fields(2, 1, 16), {0x1F, 0x7C, 0xE0, 0x03}, {248, 0, 248, 0, 248, 0}},
        GoodCase{"pal8IndexPastPaletteTakesLast", fields(3, 1, 8, {0x102030, 0x405060}, 2), {0, 1, 7, 0},
                 {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x40, 0x50, 0x60}},
        GoodCase{"largerInfoHeader", [] { auto f = fields(1, 1, 24); f.infoSize = 124; return f; }(), {9, 8, 7, 0}, {7, 8, 9}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    Bytes file;
    dicom::DicomError error;
};

void PrintTo(const BadCase& c, std::ostream* os)
{
    *os << c.name;
}

class BmpBad : public testing::TestWithParam<BadCase> {};

TEST_P(BmpBad, FailsWithExactCode)
{
    const auto& c = GetParam();
    const auto image = readBmp(c.file);
    ASSERT_FALSE(image);
    EXPECT_EQ(image.error().code, c.error);
}

Bytes truncated(Bytes b, std::size_t size)
{
    b.resize(size);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpBad,
    testing::Values(
        BadCase{"notBm", Bytes{'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, dicom::DicomError::UnknownFormat},
        BadCase{"fileHeaderCut", Bytes{'B', 'M', 0}, dicom::DicomError::FileIo},
        BadCase{"coreHeader", [] { auto f = fields(1, 1, 24); f.infoSize = 12; return bmp(f, {}); }(), dicom::DicomError::UnsupportedFileFormat},
        BadCase{"infoHeaderCut", truncated(bmp(fields(1, 1, 24), {1, 2, 3, 0}), 30), dicom::DicomError::FileIo},
        BadCase{"fourBit", bmp(fields(1, 1, 4, {0}, 1), {0, 0, 0, 0}), dicom::DicomError::UnsupportedFileFormat},
        BadCase{"rle8", [] { auto f = fields(1, 1, 8, {0}, 1); f.compression = 1; return bmp(f, {0, 0, 0, 0}); }(),
                dicom::DicomError::UnsupportedFileFormat},
        BadCase{"zeroWidth", bmp(fields(0, 1, 24), {}), dicom::DicomError::UnsupportedFileFormat},
        BadCase{"paletteCut", truncated(bmp(fields(1, 1, 8, std::vector<std::uint32_t>(256)), {0, 0, 0, 0}), 100),
                dicom::DicomError::FileIo},
        BadCase{"rowsPastFile", bmp(fields(1, 3, 24), {1, 2, 3, 0, 4, 5, 6, 0}), dicom::DicomError::FileIo},
        BadCase{"hugeHeightPastFile", bmp(fields(1, 0x7FFFFFFF, 24), {1, 2, 3, 0}), dicom::DicomError::FileIo},
        BadCase{"mostNegativeHeight", bmp(fields(1, INT32_MIN, 24), {1, 2, 3, 0}), dicom::DicomError::FileIo},
        BadCase{"widerThanCap", bmp(fields(70000, 1, 8, {0}, 1), Bytes(70000, 0)), dicom::DicomError::UnsupportedFileFormat}),
    [](const auto& info) { return std::string(info.param.name); });

// Reference pixels from ImageMagick, which reads every BMP form we read.
Bytes imageMagickRgb(const std::filesystem::path& path)
{
    const std::string command = "convert '" + path.string() + "' -depth 8 rgb:- 2>/dev/null";
    Bytes out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::uint8_t buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.insert(out.end(), buffer, buffer + n);
        ::pclose(pipe);
    }
    return out;
}

Bytes fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(BmpConformance, TestDataMatchesImageMagickOrFailsCleanly)
{
    const std::filesystem::path dir = std::filesystem::path(TV_TESTDATA_DIR) / "bmp";
    if (!std::filesystem::is_directory(dir))
        GTEST_SKIP() << "no BMP test data at " << dir;
    if (std::system("command -v convert >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick 'convert' is not installed";
    // Forms we refuse, and why.
    const std::map<std::string, dicom::DicomError> refused = {
        {"pal1-6x6.bmp", dicom::DicomError::UnsupportedFileFormat},  {"pal4-6x6.bmp", dicom::DicomError::UnsupportedFileFormat},
        {"pal8-rle8.bmp", dicom::DicomError::UnsupportedFileFormat}, {"os2-pal8.bmp", dicom::DicomError::UnsupportedFileFormat},
        {"bad-short-file.bmp", dicom::DicomError::UnsupportedFileFormat}, {"bad-huge-height.bmp", dicom::DicomError::FileIo},
    };
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto image = readBmp(fileBytes(entry.path()));
        if (auto it = refused.find(name); it != refused.end()) {
            ASSERT_FALSE(image);
            EXPECT_EQ(image.error().code, it->second);
            continue;
        }
        ASSERT_TRUE(image) << image.error().detail;
        const Bytes expected = imageMagickRgb(entry.path());
        ASSERT_EQ(image->rgb.size(), expected.size());
        // 5-bit channels: we shift left by 3, ImageMagick scales by 255 / 31.
        const int tolerance = name.find("rgb16") != std::string::npos ? 7 : 0;
        int worst = 0;
        for (std::size_t i = 0; i < expected.size(); ++i)
            worst = std::max(worst, std::abs(int(image->rgb[i]) - int(expected[i])));
        EXPECT_LE(worst, tolerance);
        ++compared;
    }
    EXPECT_GE(compared, 6);
}

} // namespace
