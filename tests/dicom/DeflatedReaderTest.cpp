// The deflated explicit VR little endian syntax (PS3.5 A.5): files deflated
// by DCMTK's dcmconv give the frames of their source byte for byte, and a
// damaged or oversized deflate stream fails with the reader's exact code.

#include "dicom/DicomReader.h"
#include "dicom/PixelModule.h"
#include "dicom/Tags.h"
#include "tests/support/DeflateBytes.h"
#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace dicom {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testsupport::DicomBytes;

const fs::path kTestData = TV_TESTDATA_DIR;
constexpr const char* kDeflated = "1.2.840.10008.1.2.1.99";

DicomDataset open(const fs::path& file)
{
    ReadOptions options;
    options.pixelStage = &readPixelStage;
    DicomDataset dataset;
    DicomReader(options).read(file, dataset);
    return dataset;
}

class DeflatedConformance : public testing::TestWithParam<const char*> {};

TEST_P(DeflatedConformance, FramesEqualTheSourceFile)
{
    const fs::path source = kTestData / GetParam();
    if (!fs::exists(source))
        GTEST_SKIP() << "test data not found: " << source;
    const fs::path deflated = fs::path(testing::TempDir()) / ("deflated-" + source.filename().string());
    const std::string command = "dcmconv +td '" + source.string() + "' '" + deflated.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const DicomDataset want = open(source);
    const DicomDataset got = open(deflated);
    fs::remove(deflated);
    ASSERT_EQ(want.error, DicomError::None);
    ASSERT_EQ(got.error, DicomError::None) << got.errorMessage();
    const DicomElement* syntax = got.find(tags::TransferSyntaxUID);
    ASSERT_TRUE(syntax && syntax->text().substr(0, 22) == kDeflated); // dcmconv did deflate it
    ASSERT_EQ(got.frames.size(), want.frames.size());
    for (std::size_t f = 0; f < want.frames.size(); ++f) {
        EXPECT_TRUE(got.frames[f].bytes == want.frames[f].bytes) << "frame " << f;
        EXPECT_TRUE(got.frames[f].samples == want.frames[f].samples) << "frame " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(TestData, DeflatedConformance,
    testing::Values("syntax/ct1-ele.dcm", "syntax/mr-ebe-signed.dcm", "grey/buggie-8bit.dcm",
        "colour/rgb-planar1-par4-3.dcm", "multiframe/emri-10f-ele.dcm", "colour/palette-8bit-entries.dcm"),
    [](const auto& info) {
        std::string name = fs::path(info.param).stem().string();
        for (auto& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// The files of the test data in the deflated syntax open with their frames.
TEST(DeflatedTestData, EveryDeflatedFileOpens)
{
    const fs::path file = kTestData / "unsupported/deflated-ct.dcm";
    if (!fs::exists(file))
        GTEST_SKIP() << "test data not found: " << file;
    const DicomDataset dataset = open(file);
    ASSERT_EQ(dataset.error, DicomError::None) << dataset.errorMessage();
    ASSERT_EQ(dataset.frames.size(), 1u);
    EXPECT_EQ(dataset.frames[0].samples.size(), 512u * 512u);
}

// An 8 x 1 8-bit grey image as explicit VR little endian data set.
Bytes greyDataSet()
{
    DicomBytes b;
    b.elementU16(0x0028, 0x0002, "US", 1); // Samples per Pixel
    b.element(0x0028, 0x0004, "CS", "MONOCHROME2 ");
    b.elementU16(0x0028, 0x0010, "US", 1); // Rows
    b.elementU16(0x0028, 0x0011, "US", 8); // Columns
    b.elementU16(0x0028, 0x0100, "US", 8); // Bits Allocated
    b.elementU16(0x0028, 0x0101, "US", 8); // Bits Stored
    b.elementU16(0x0028, 0x0102, "US", 7); // High Bit
    b.elementU16(0x0028, 0x0103, "US", 0); // Pixel Representation
    b.tag(0x7FE0, 0x0010).header("OB", 8).raw({0, 1, 2, 3, 4, 5, 6, 7}); // Pixel Data
    return b.bytes();
}

struct StreamCase {
    const char* name;
    Bytes stream; // what follows the meta group
    DicomError error;
};

void PrintTo(const StreamCase& c, std::ostream* os)
{
    *os << c.name;
}

class DeflatedStream : public testing::TestWithParam<StreamCase> {};

TEST_P(DeflatedStream, OpensOrFailsWithTheExactCode)
{
    DicomBytes b;
    b.part10Header(kDeflated).raw(GetParam().stream);
    const fs::path path = b.writeTemp(std::string("deflated-") + GetParam().name + ".dcm");
    const DicomDataset dataset = open(path);
    fs::remove(path);
    EXPECT_EQ(dataset.error, GetParam().error) << dataset.errorMessage();
    if (GetParam().error == DicomError::None) {
        ASSERT_EQ(dataset.frames.size(), 1u);
        EXPECT_EQ(dataset.frames[0].bytes, (Bytes {0, 1, 2, 3, 4, 5, 6, 7}));
    }
}

const Bytes kData = greyDataSet();

INSTANTIATE_TEST_SUITE_P(Malformed, DeflatedStream,
    testing::Values(
        StreamCase {"whole", testsupport::storedBlock(kData, std::uint16_t(kData.size())), DicomError::None},
        StreamCase {"truncated", testsupport::storedBlock(Bytes(kData.begin(), kData.end() - 20),
            std::uint16_t(kData.size())), DicomError::Corrupted},
        StreamCase {"garbage", Bytes {0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34}, DicomError::Corrupted},
        StreamCase {"nothing", Bytes {}, DicomError::Corrupted},
        // 64 MiB and a bit of zeros from 64 KiB: past the bound for its size.
        StreamCase {"bomb", testsupport::zeroRun(260200), DicomError::Corrupted}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace dicom
