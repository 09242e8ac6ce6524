// Real JPEG files from ../shared/testdata decoded by us and by DCMTK's
// dcmdjpeg must agree: lossless frames exactly, DCT frames within a few grey
// levels (DCMTK carries its own build of the IJG library, not libjpeg-turbo).

#include "codecs/JpegFrameDecoder.h"
#include "codecs/LosslessJpegDecoder.h"
#include "tests/codecs/ConformanceSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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
    const char* warning = ""; // the decoder's one warning for every frame, if any
};

void PrintTo(const ConformanceCase& c, std::ostream* os)
{
    *os << c.path;
}

class JpegConformance : public testing::TestWithParam<ConformanceCase> {};

// Their scans say Se = 0 where a sequential scan has 63; the library warns and decodes.
constexpr const char* kSequentialSos = "Invalid SOS parameters for sequential JPEG";

// Decodes every frame of file and compares it with dcmdjpeg's output.
void expectSameAsDcmdjpeg(const fs::path& file, int tolerance, const std::string& dcmdjpegOptions,
    const std::string& warning = "")
{
    const fs::path reference = fs::path(testing::TempDir()) / ("ref-" + file.filename().string());
    const std::string command = "dcmdjpeg " + dcmdjpegOptions + " '" + file.string() + "' '" + reference.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    auto compressed = test::readDicomImage(file.string());
    auto expected = test::readDicomImage(reference.string());
    fs::remove(reference);
    ASSERT_TRUE(compressed && expected);
    ASSERT_EQ(compressed->frameStreams.size(), compressed->frames);
    const auto params = test::paramsOf(*compressed);
    const std::size_t frameBytes = params.frameBytes();
    ASSERT_GE(expected->pixels.size(), frameBytes * compressed->frames);
    int largest = 0;
    for (std::size_t f = 0; f < compressed->frames; ++f) {
        std::vector<std::uint8_t> frame(frameBytes);
        auto result = decodeJpegFrame(compressed->frameStreams[f], params, frame);
        ASSERT_TRUE(result.has_value()) << result.error().detail;
        EXPECT_EQ(result->empty() ? std::string() : result->front(), warning);
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
    expectSameAsDcmdjpeg(file, GetParam().tolerance, GetParam().dcmdjpegOptions, GetParam().warning);
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
        // 12-bit DCT frames: DCMTK's 12-bit IJG build does the same arithmetic as ours.
        ConformanceCase { "jpeg-lossy/extended-12bit-ct.dcm", 0 },
        ConformanceCase { "jpeg-lossy/extended-12bit-mr-se0.dcm", 0, "", kSequentialSos },
        ConformanceCase { "jpeg-lossy/extended-12bit-mono1-2fragments.dcm", 0, "", kSequentialSos },
        ConformanceCase { "jpeg-lossy/extended-12bit-2f-11fragments-no-bot.dcm", 0 },
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

// 12-bit lossy files made in the test by DCMTK from uncompressed 9- to 12-bit
// images, decoded by us and by GDCM (gdcmconv --raw): within one grey level.
class TwelveBitLossy : public testing::TestWithParam<const char*> {};

std::vector<std::uint16_t> samplesOf(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

TEST_P(TwelveBitLossy, MatchesGdcmWithinOne)
{
    const fs::path source = kTestData / GetParam();
    if (!fs::exists(source))
        GTEST_SKIP() << "test data not found: " << source;
    const fs::path dir = testing::TempDir();
    const fs::path lossy = dir / ("ee-" + source.filename().string());
    const fs::path raw = dir / ("raw-" + source.filename().string());
    const std::string make = "dcmcjpeg +ee '" + source.string() + "' '" + lossy.string() + "' > /dev/null 2>&1"
        + " && gdcmconv --raw '" + lossy.string() + "' '" + raw.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    auto compressed = test::readDicomImage(lossy.string());
    auto expected = test::readDicomImage(raw.string());
    fs::remove(lossy);
    fs::remove(raw);
    ASSERT_TRUE(compressed && expected);
    ASSERT_EQ(compressed->frameStreams.size(), compressed->frames);
    ASSERT_EQ(readJpegFrameHeader(compressed->frameStreams[0])->precision, 12);
    const auto params = test::paramsOf(*compressed);
    const auto want = samplesOf(expected->pixels);
    ASSERT_EQ(want.size(), params.frameBytes() / 2 * compressed->frames);
    int largest = 0;
    for (std::size_t f = 0; f < compressed->frames; ++f) {
        std::vector<std::uint8_t> frame;
        auto result = decodeJpegFrame(compressed->frameStreams[f], params, frame);
        ASSERT_TRUE(result.has_value()) << result.error().detail;
        const auto got = samplesOf(frame);
        ASSERT_EQ(got.size(), params.frameBytes() / 2);
        for (std::size_t i = 0; i < got.size(); ++i)
            largest = std::max(largest, std::abs(int(got[i]) - int(want[f * got.size() + i])));
    }
    EXPECT_LE(largest, 1);
    testing::Test::RecordProperty("largest_difference", largest);
}

INSTANTIATE_TEST_SUITE_P(MadeByDcmcjpeg, TwelveBitLossy,
    testing::Values("grey/squares-12bit.dcm", "grey/mr-12bit-signed-modality-lut.dcm", "grey/cr-mono1-10bit.dcm",
        "multiframe/emri-10f-ele.dcm"),
    [](const auto& info) {
        std::string name = fs::path(info.param).stem().string();
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

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
