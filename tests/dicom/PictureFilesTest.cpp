// BMP and JPEG pictures opened by path into secondary-capture data sets.

#include "dicom/PictureFiles.h"
#include "dicom/Tags.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace dicom;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

TEST(PictureKind, ByTheLastFourCharactersWithoutCase)
{
    const struct {
        const char* path;
        PictureKind kind;
    } cases[] = {
        {"a.bmp", PictureKind::Bmp},   {"dir/A.BMP", PictureKind::Bmp}, {"x.jpg", PictureKind::Jpeg},
        {"x.JPE", PictureKind::Jpeg},  {".bmp", PictureKind::None},     {"x.jpeg", PictureKind::None},
        {"ct.dcm", PictureKind::None}, {"bmp", PictureKind::None},      {"a.bmp.dcm", PictureKind::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pictureKind(c.path), c.kind) << c.path;
}

void put(Bytes& b, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A 2 x 2 24-bit picture, rows bottom-up and padded to 4 bytes.
Bytes twoByTwoBmp()
{
    Bytes b {'B', 'M'};      // bfType
    put(b, 54 + 16, 4);      // bfSize
    put(b, 0, 4);            // bfReserved1, bfReserved2
    put(b, 54, 4);           // bfOffBits
    put(b, 40, 4);           // biSize
    put(b, 2, 4);            // biWidth
    put(b, 2, 4);            // biHeight: bottom-up
    put(b, 1, 2);            // biPlanes
    put(b, 24, 2);           // biBitCount
    put(b, 0, 4);            // biCompression
    put(b, 16, 4);           // biSizeImage
    put(b, 2835, 4);         // biXPelsPerMeter
    put(b, 2835, 4);         // biYPelsPerMeter
    put(b, 0, 4);            // biClrUsed
    put(b, 0, 4);            // biClrImportant
    const Bytes bottom {3, 2, 1, 6, 5, 4, 0, 0}; // B G R, B G R, padding
    const Bytes top {9, 8, 7, 12, 11, 10, 0, 0};
    b.insert(b.end(), bottom.begin(), bottom.end());
    b.insert(b.end(), top.begin(), top.end());
    return b;
}

class PictureFilesTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("tv-picture-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                             "-" + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path write(const std::string& name, const Bytes& bytes)
    {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    fs::path m_dir;
};

TEST_F(PictureFilesTest, BmpBecomesSecondaryCaptureWithItsFrame)
{
    DicomDataset dataset;
    ASSERT_TRUE(openFile(write("pic.Bmp", twoByTwoBmp()), HeaderOnly::No, dataset)) << dataset.errorMessage();
    EXPECT_TRUE(dataset.implicitVr);
    EXPECT_TRUE(dataset.hasPreamble);
    EXPECT_EQ(dataset.compressionName, "NONE");
    EXPECT_EQ(dataset.image.photometric, "RGB ");
    EXPECT_EQ(dataset.image.rows, 2u);
    EXPECT_EQ(dataset.image.columns, 2u);
    EXPECT_EQ(dataset.image.windowCentre, 128);
    EXPECT_EQ(dataset.image.windowWidth, 256);
    ASSERT_EQ(dataset.frames.size(), 1u);
    EXPECT_EQ(dataset.frames[0].bytes, (Bytes{7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6})); // top row first, R G B

    // Ascending tags with their group lengths, each member counted as 8 + length (12 + length for OB).
    const struct {
        base::Tag tag;
        const char* vr;
        std::uint32_t length;
        std::int32_t number; // numericValue; -1: not checked
    } expected[] = {
        {tags::GroupLength0002, "UL", 4, 14 + 34 + 28 + 24},
        {tags::FileMetaInformationVersion, "OB", 2, -1},
        {tags::MediaStorageSOPClassUID, "UI", 26, -1},
        {tags::TransferSyntaxUID, "UI", 20, -1},
        {tags::ImplementationVersionName, "SH", 16, -1},
        {tags::GroupLength0008, "UL", 4, 26 + 34 + 18 + 16 + 20},
        {tags::ImageType, "CS", 18, -1},
        {tags::SOPClassUID, "UI", 26, -1},
        {tags::StudyDate, "DA", 10, -1},
        {tags::StudyTime, "TM", 8, -1},
        {tags::Manufacturer, "LO", 12, -1},
        {tags::GroupLength0028, "UL", 4, 10 + 12 + 10 + 10 + 10 + 10 + 4 * 10 + 12 + 12},
        {tags::SamplesPerPixel, "US", 2, 3},
        {tags::PhotometricInterpretation, "CS", 4, -1},
        {tags::PlanarConfiguration, "US", 2, 0},
        {tags::NumberOfFrames, "IS", 2, -1},
        {tags::Rows, "US", 2, 2},
        {tags::Columns, "US", 2, 2},
        {tags::BitsAllocated, "US", 2, 8},
        {tags::BitsStored, "US", 2, 8},
        {tags::HighBit, "US", 2, 7},
        {tags::PixelRepresentation, "US", 2, 0},
        {tags::WindowCenter, "DS", 4, -1},
        {tags::WindowWidth, "DS", 4, -1},
        {tags::GroupLength7FE0, "UL", 4, 12 + 12},
        {tags::PixelData, "OB", 12, -1},
    };
    ASSERT_EQ(dataset.elementCount(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const DicomElement& e = dataset.elements[i];
        const auto& x = expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(e.tag(), x.tag);
        EXPECT_EQ(e.vr, x.vr);
        EXPECT_EQ(e.length, x.length);
        if (x.number >= 0) {
            EXPECT_EQ(e.numericValue, x.number);
        }
    }
    EXPECT_EQ(dataset.find(tags::ImageType)->text(), "ORIGINAL\\PRIMARY  ");
    EXPECT_EQ(dataset.find(tags::WindowCenter)->text(), "128 ");
    EXPECT_EQ(dataset.find(tags::TransferSyntaxUID)->text(), "1.2.840.10008.1.2.1");
    EXPECT_FALSE(dataset.find(tags::PixelData)->hasValue());
    const std::string date(dataset.find(tags::StudyDate)->text());
    EXPECT_EQ(date.size(), 10u);
    EXPECT_EQ(date[4], ':');
}

TEST_F(PictureFilesTest, FailuresSetTheirCodes)
{
    Bytes notBmp = twoByTwoBmp();
    notBmp[0] = 'X';
    Bytes rle = twoByTwoBmp();
    rle[30] = 1; // biCompression: RLE8
    Bytes cut = twoByTwoBmp();
    cut.resize(60); // pixel rows missing
    const struct {
        const char* name;
        fs::path path;
        HeaderOnly headerOnly;
        DicomError error;
    } cases[] = {
        {"not BM", write("a.bmp", notBmp), HeaderOnly::No, DicomError::UnknownFormat},
        {"compressed", write("b.bmp", rle), HeaderOnly::No, DicomError::UnsupportedFileFormat},
        {"cut short", write("c.bmp", cut), HeaderOnly::No, DicomError::FileIo},
        {"header only", write("d.bmp", twoByTwoBmp()), HeaderOnly::Yes, DicomError::UnsupportedFileFormat},
        {"missing bmp", m_dir / "none.bmp", HeaderOnly::No, DicomError::FileNotFound},
        {"missing jpeg", m_dir / "none.jpg", HeaderOnly::No, DicomError::FileNotFound},
        {"folder", m_dir, HeaderOnly::No, DicomError::FileNotFound},
        {"not a JPEG", write("e.jpe", twoByTwoBmp()), HeaderOnly::No, DicomError::FileIo},
    };
    for (const auto& c : cases) {
        DicomDataset dataset;
        EXPECT_FALSE(openFile(c.path, c.headerOnly, dataset)) << c.name;
        EXPECT_EQ(dataset.error, c.error) << c.name;
    }
}

// The in-memory form gives what the file gives, without a date unless one
// is passed, and the same codes for bytes that are no picture.
TEST(PictureBytes, OpenLikeTheirFilesAndFailWithTheSameCodes)
{
    DicomDataset dated;
    std::tm created{};
    created.tm_year = 124;
    created.tm_mon = 1;
    created.tm_mday = 29;
    ASSERT_TRUE(readPicture(twoByTwoBmp(), PictureKind::Bmp, created, dated));
    ASSERT_EQ(dated.frames.size(), 1u);
    EXPECT_EQ(dated.frames[0].bytes, (Bytes{7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}));
    ASSERT_NE(dated.find(tags::StudyDate), nullptr);
    EXPECT_EQ(dated.find(tags::StudyDate)->text(), "2024:02:29");

    DicomDataset undated;
    ASSERT_TRUE(readPicture(twoByTwoBmp(), PictureKind::Bmp, std::nullopt, undated));
    EXPECT_EQ(undated.find(tags::StudyDate), nullptr);

    const Bytes soiOnly{0xFF, 0xD8};
    const struct {
        const char* name;
        Bytes bytes;
        PictureKind kind;
        DicomError error;
    } cases[] = {
        {"empty jpeg", {}, PictureKind::Jpeg, DicomError::FileIo},
        {"soi only", soiOnly, PictureKind::Jpeg, DicomError::FileIo},
        {"bmp as jpeg", twoByTwoBmp(), PictureKind::Jpeg, DicomError::FileIo},
        {"empty bmp", {}, PictureKind::Bmp, DicomError::FileIo},
        {"no kind", twoByTwoBmp(), PictureKind::None, DicomError::UnsupportedFileFormat},
    };
    for (const auto& c : cases) {
        DicomDataset dataset;
        EXPECT_FALSE(readPicture(c.bytes, c.kind, std::nullopt, dataset)) << c.name;
        EXPECT_EQ(dataset.error, c.error) << c.name;
        EXPECT_TRUE(dataset.frames.empty()) << c.name;
    }
}

#ifdef TV_TESTDATA_DIR
TEST(PictureFilesData, TestDataOpensOrFailsWithItsCode)
{
    const fs::path root = fs::path(TV_TESTDATA_DIR);
    if (!fs::exists(root / "jpeg-files"))
        GTEST_SKIP() << "test data folder not found: " << root;
    const struct {
        const char* path;
        DicomError error;
        std::uint32_t rows, columns;
        const char* photometric;
    } cases[] = {
        {"jpeg-files/jfif-grey-baseline.jpg", DicomError::None, 240, 320, "MONOCHROME2 "},
        {"jpeg-files/jfif-colour-baseline.jpg", DicomError::None, 149, 227, "RGB "},
        {"jpeg-files/jfif-progressive.jpg", DicomError::None, 23, 32, "RGB "},
        {"jpeg-files/jfif-12bit.jpg", DicomError::UnsupportedFormat, 0, 0, ""},
        {"jpeg-files/ycck-4comp.jpg", DicomError::UnsupportedFormat, 0, 0, ""},
        {"jpeg-files/bad-fuzz-26bytes.jpg", DicomError::FileIo, 0, 0, ""},
        {"jpeg-files/bad-fuzz-47bytes.jpg", DicomError::FileIo, 0, 0, ""},
        {"bmp/rgb24-127x64.bmp", DicomError::None, 64, 127, "RGB "},
        {"bmp/pal8-6x6-topdown.bmp", DicomError::None, 6, 6, "RGB "},
        {"bmp/pal8-rle8.bmp", DicomError::UnsupportedFileFormat, 0, 0, ""},
        {"bmp/os2-pal8.bmp", DicomError::UnsupportedFileFormat, 0, 0, ""},
        {"bmp/bad-short-file.bmp", DicomError::UnsupportedFileFormat, 0, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        DicomDataset dataset;
        const bool ok = openFile(root / c.path, HeaderOnly::No, dataset);
        EXPECT_EQ(dataset.error, c.error);
        if (!ok || c.error != DicomError::None)
            continue;
        EXPECT_EQ(dataset.image.rows, c.rows);
        EXPECT_EQ(dataset.image.columns, c.columns);
        EXPECT_EQ(dataset.image.photometric, c.photometric);
        ASSERT_EQ(dataset.frames.size(), 1u);
        const std::size_t samples = std::string(c.photometric) == "RGB " ? 3 : 1;
        EXPECT_EQ(dataset.frames[0].bytes.size(), std::size_t(c.rows) * c.columns * samples);
        EXPECT_EQ(dataset.find(tags::PixelData)->length, dataset.frames[0].bytes.size());
    }
}
#endif

} // namespace
