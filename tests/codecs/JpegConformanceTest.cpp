// Real JPEG files from ../shared/testdata decoded by us and by DCMTK's
// dcmdjpeg must agree: lossless frames exactly, DCT frames within a few grey
// levels (DCMTK carries its own build of the IJG library, not libjpeg-turbo).

#include "codecs/JpegFrameDecoder.h"
#include "codecs/LosslessJpegDecoder.h"
#include "tests/codecs/DicomFragments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace codecs {
namespace {

namespace fs = std::filesystem;

const fs::path kTestData = TV_TESTDATA_DIR;

bool haveDcmdjpeg()
{
    return std::system("dcmdjpeg --version > /dev/null 2>&1") == 0;
}

FrameParams paramsOf(const test::DicomImage& image)
{
    FrameParams p;
    p.rows = image.rows;
    p.columns = image.columns;
    p.samplesPerPixel = image.samples;
    p.bitsAllocated = image.bitsAllocated;
    p.bitsStored = image.bitsStored;
    return p;
}

// dcmdjpeg may write colour by plane; our frames are always by pixel.
std::vector<std::uint8_t> interleave(const std::vector<std::uint8_t>& planes, std::size_t pixels)
{
    std::vector<std::uint8_t> out(planes.size());
    for (std::size_t i = 0; i < pixels; ++i)
        for (std::size_t c = 0; c < 3; ++c)
            out[i * 3 + c] = planes[c * pixels + i];
    return out;
}

struct ConformanceCase {
    const char* path;
    int tolerance; // 0 for lossless; DCMTK decodes DCT data with its own IJG build
    const char* dcmdjpegOptions = "";
};

void PrintTo(const ConformanceCase& c, std::ostream* os)
{
    *os << c.path;
}

class JpegConformance : public testing::TestWithParam<ConformanceCase> {};

// Decodes every frame of file and compares it with dcmdjpeg's output.
void expectSameAsDcmdjpeg(const fs::path& file, int tolerance, const std::string& dcmdjpegOptions)
{
    const fs::path reference = fs::path(testing::TempDir()) / ("ref-" + file.filename().string());
    const std::string command = "dcmdjpeg " + dcmdjpegOptions + " '" + file.string() + "' '" + reference.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    auto compressed = test::readDicomImage(file.string());
    auto expected = test::readDicomImage(reference.string());
    fs::remove(reference);
    ASSERT_TRUE(compressed && expected);
    ASSERT_EQ(compressed->frameStreams.size(), compressed->frames);
    const auto params = paramsOf(*compressed);
    const std::size_t frameBytes = params.frameBytes();
    ASSERT_GE(expected->pixels.size(), frameBytes * compressed->frames);
    int largest = 0;
    for (std::size_t f = 0; f < compressed->frames; ++f) {
        std::vector<std::uint8_t> frame(frameBytes);
        auto result = decodeJpegFrame(compressed->frameStreams[f], params, frame);
        ASSERT_TRUE(result.has_value()) << result.error().detail;
        EXPECT_TRUE(result->empty()) << result->front();
        std::vector<std::uint8_t> want(expected->pixels.begin() + std::ptrdiff_t(f * frameBytes),
            expected->pixels.begin() + std::ptrdiff_t((f + 1) * frameBytes));
        if (expected->samples == 3 && expected->planar == 1)
            want = interleave(want, std::size_t(params.rows) * params.columns);
        if (tolerance == 0) {
            EXPECT_TRUE(frame == want) << "frame " << f << " differs";
            continue;
        }
        for (std::size_t i = 0; i < frame.size(); ++i)
            largest = std::max(largest, std::abs(int(frame[i]) - int(want[i])));
    }
    EXPECT_LE(largest, tolerance);
    if (tolerance != 0)
        testing::Test::RecordProperty("largest_difference", largest);
}

TEST_P(JpegConformance, MatchesDcmdjpegSampleForSample)
{
    const fs::path file = kTestData / GetParam().path;
    if (!fs::exists(file))
        GTEST_SKIP() << "test data not found: " << file;
    if (!haveDcmdjpeg())
        GTEST_SKIP() << "dcmdjpeg (DCMTK) is not installed";
    expectSameAsDcmdjpeg(file, GetParam().tolerance, GetParam().dcmdjpegOptions);
}

// T.81 H.1.2.1 and H.2: a decoder scales the reconstructed samples back up by
// 2^Pt, as DCMTK does. No file in the test data uses a point transform, so one
// is made from a 16-bit signed MR image with dcmcjpeg.
TEST(JpegConformance, PointTransformFramesMatchDcmdjpeg)
{
    const fs::path source = kTestData / "syntax/mr-ile-signed.dcm";
    if (!fs::exists(source))
        GTEST_SKIP() << "test data not found: " << source;
    if (!haveDcmdjpeg() || std::system("dcmcjpeg --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "dcmcjpeg and dcmdjpeg (DCMTK) are not installed";
    const fs::path file = fs::path(testing::TempDir()) / "point-transform-3.dcm";
    const std::string command = "dcmcjpeg +el +sv 5 +pt 3 '" + source.string() + "' '" + file.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    expectSameAsDcmdjpeg(file, 0, "");
    fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(TestData, JpegConformance,
    testing::Values(ConformanceCase { "jpeg-lossless/p14-pred6-2f-17fragments-no-bot.dcm", 0 },
        ConformanceCase { "jpeg-lossless/p14-pred6-ct16.dcm", 0 },
        ConformanceCase { "jpeg-lossless/p14-pred7-12bit.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-10bit-8fragments.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-12bit-rescale.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-12bit-window-2values.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-16bit-cid0.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-16bit-signed-4fragments.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-2f-19fragments-no-bot.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-8bit-grey.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-rgb-2f-cine.dcm", 0 },
        ConformanceCase { "jpeg-lossless/sv1-rgb-adobe.dcm", 0 },
        // Labelled lossless, but holds a baseline DCT stream.
        ConformanceCase { "jpeg-lossless/sv1-8bit-grey-frametime0.dcm", 2 },
        ConformanceCase { "jpeg-lossy/baseline-grey-100.dcm", 2 },
        ConformanceCase { "jpeg-lossy/baseline-grey-empty-window.dcm", 2 },
        ConformanceCase { "jpeg-lossy/baseline-grey-ct-rescale.dcm", 2 },
        ConformanceCase { "jpeg-lossy/baseline-ybr-full.dcm", 2 },
        ConformanceCase { "jpeg-lossy/baseline-ybr422-with-icon.dcm", 2 },
        ConformanceCase { "jpeg-lossy/ybr-full-8f-44fragments-no-bot.dcm", 2 },
        ConformanceCase { "jpeg-lossy/extended-8bit-ybr-full.dcm", 2 },
        // Its JFIF stream is YCbCr although the data set says "RGB": like the
        // JPEG library we follow the stream, so DCMTK must convert as well.
        ConformanceCase { "jpeg-lossy/extended-8bit-rgb-photometric-420.dcm", 2, "+ca" }),
    [](const auto& info) {
        std::string name = fs::path(info.param.path).stem().string();
        for (auto& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// 12-bit DCT frames need a 12-bit JPEG library, which Debian's is not.
TEST(JpegConformance, TwelveBitLossyFramesAreUnsupported)
{
    const fs::path file = kTestData / "jpeg-lossy" / "extended-12bit-ct.dcm";
    if (!fs::exists(file))
        GTEST_SKIP() << "test data not found: " << file;
    auto image = test::readDicomImage(file.string());
    ASSERT_TRUE(image && !image->frameStreams.empty());
    auto params = paramsOf(*image);
    std::vector<std::uint8_t> frame(params.frameBytes());
    auto result = decodeJpegFrame(image->frameStreams[0], params, frame);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().code, CodecError::Unsupported);
    params.bitsAllocated = 8;
    result = decodeJpegFrame(image->frameStreams[0], params, frame);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().code, CodecError::Unsupported) << result.error().detail;
}

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// The T.83 conformance streams sample some of their four components at lower
// resolution, which we refuse cleanly.
TEST(LosslessStreams, T83ConformanceStreamsDecodeOrFailCleanly)
{
    const fs::path dir = kTestData / "jpeg-lossless" / "streams";
    if (!fs::exists(dir))
        GTEST_SKIP() << "test data not found: " << dir;
    FrameParams params;
    params.rows = 257;
    params.columns = 255;
    params.samplesPerPixel = 4;
    params.bitsAllocated = 16;
    params.bitsStored = 16;
    std::vector<std::uint8_t> frame(params.frameBytes());

    auto o1 = LosslessJpegDecoder::decode(readFile(dir / "t83-o1-8bit-4comp-restart.jpg"), params, frame);
    ASSERT_FALSE(o1.has_value());
    EXPECT_EQ(o1.error().code, CodecError::Unsupported);
    EXPECT_EQ(o1.error().detail, "Error: Downsampling is not supported.");

    auto o2 = LosslessJpegDecoder::decode(readFile(dir / "t83-o2-16bit-4scans.jpg"), params, frame);
    ASSERT_FALSE(o2.has_value());
    EXPECT_EQ(o2.error().code, CodecError::Unsupported);
}

} // namespace
} // namespace codecs
