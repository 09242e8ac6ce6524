// JPEG frames whose stream is smaller than the image: the black they are
// placed on, and a real file with 23 narrower or shorter frames among 140
// that opens with one warning, its whole frames equal to DCMTK's.

#include "codecs/JpegFrameDecoder.h"
#include "dicom/DicomReader.h"
#include "dicom/JpegFrames.h"
#include "dicom/PixelModule.h"
#include "tests/codecs/DicomFragments.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace dicom {
namespace {

namespace fs = std::filesystem;

struct BlackCase {
    const char* name;
    const char* photometric;
    std::int16_t bitsStored;
    std::uint16_t pixelRepresentation;
    bool decodedToRgb;
    std::array<std::uint16_t, 4> black;
};

void PrintTo(const BlackCase& c, std::ostream* os) { *os << c.name; }

class JpegBlack : public testing::TestWithParam<BlackCase> {};

TEST_P(JpegBlack, IsTheLeastIntensityAsStored)
{
    PixelAttributes attrs;
    attrs.photometric = GetParam().photometric;
    attrs.bitsStored = GetParam().bitsStored;
    attrs.pixelRepresentation = GetParam().pixelRepresentation;
    EXPECT_EQ(jpegBlackSamples(attrs, GetParam().decodedToRgb), GetParam().black);
}

INSTANTIATE_TEST_SUITE_P(Photometrics, JpegBlack,
    testing::Values(BlackCase { "monochrome2", "MONOCHROME2", 12, 0, false, { 0, 0, 0, 0 } },
        BlackCase { "monochrome2_signed", "MONOCHROME2", 12, 1, false, { 0x800, 0, 0, 0 } },
        BlackCase { "monochrome2_signed_16", "MONOCHROME2", 16, 1, false, { 0x8000, 0, 0, 0 } },
        BlackCase { "monochrome1", "MONOCHROME1", 10, 0, false, { 0x3FF, 0, 0, 0 } },
        BlackCase { "monochrome1_signed", "MONOCHROME1", 12, 1, false, { 0x7FF, 0, 0, 0 } },
        BlackCase { "ybr_decoded_to_rgb", "YBR_FULL_422", 8, 0, true, { 0, 0, 0, 0 } },
        BlackCase { "ybr_stored", "YBR_FULL", 8, 0, false, { 0, 0x80, 0x80, 0 } },
        BlackCase { "rgb", "RGB", 8, 0, false, { 0, 0, 0, 0 } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegShortFrames, SmallerFramesOpenOverBlackWithOneWarning)
{
    const fs::path file = fs::path(TV_TESTDATA_DIR) / "multiframe/jpeg-ybr422-140f.dcm";
    if (!fs::exists(file))
        GTEST_SKIP() << "test data not found: " << file;
    const fs::path reference = fs::path(testing::TempDir()) / "ref-jpeg-ybr422-140f.dcm";
    const std::string command = "dcmdjpeg '" + file.string() + "' '" + reference.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto expected = codecs::test::readDicomImage(reference.string());
    fs::remove(reference);
    const auto compressed = codecs::test::readDicomImage(file.string());
    ASSERT_TRUE(expected && compressed);

    // One thread, so that the first narrow frame is the first one met.
    std::optional<PixelFrames> image;
    ReadOptions options;
    options.pixelStage = [&image](DicomDataset& dataset, ElementDecoder& decoder) {
        auto frames = readPixelFrames(dataset, decoder, {}, 1u);
        if (!frames)
            return frames.error().code;
        image = std::move(*frames);
        return DicomError::None;
    };
    DicomDataset dataset;
    ASSERT_TRUE(DicomReader(options).read(file, dataset)) << static_cast<int>(dataset.error);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->frames.size(), 140u);
    EXPECT_EQ(image->warnings, (std::vector<std::string> { "frame 14: JPEG stream is 55 x 240, smaller than the "
                                                           "image's 240 x 240; shown in the top-left corner" }));

    const std::size_t frameBytes = 240 * 240 * 3;
    ASSERT_EQ(expected->pixels.size(), frameBytes * 140);
    std::size_t shorter = 0;
    for (std::size_t f = 0; f < 140; ++f) {
        const auto& got = image->frames[f].bytes;
        ASSERT_EQ(got.size(), frameBytes);
        const auto header = codecs::readJpegFrameHeader(compressed->frameStreams[f]);
        ASSERT_TRUE(header);
        const std::size_t width = header->width, height = header->height;
        const bool whole = width == 240 && height == 240;
        shorter += whole ? 0 : 1;
        int largest = 0;
        for (std::size_t i = 0; i < frameBytes; ++i) {
            if ((i / 3) % 240 >= width || i / 3 / 240 >= height)
                ASSERT_EQ(got[i], 0) << "frame " << f << " sample " << i;
            else if (whole)
                largest = std::max(largest, std::abs(int(got[i]) - int(expected->pixels[f * frameBytes + i])));
        }
        // DCMTK decodes with its own IJG build, not libjpeg-turbo.
        EXPECT_LE(largest, 2) << "frame " << f;
    }
    EXPECT_EQ(shorter, 23u);
}

} // namespace
} // namespace dicom
