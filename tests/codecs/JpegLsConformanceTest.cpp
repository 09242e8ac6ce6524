// JPEG-LS frames decoded by us against GDCM: files made in the test from the
// uncompressed test data with gdcmconv --jpegls (lossless: exactly the
// original; near-lossless: within the stream's NEAR of the original and
// within 1 of gdcmconv --raw), and every JPEG-LS file of the test data.

#include "codecs/JpegLsAdapter.h"
#include "tests/codecs/ConformanceSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace codecs {
namespace {

namespace fs = std::filesystem;

const fs::path kTestData = TV_TESTDATA_DIR;

enum class Mode { Lossless, NearLossless };

struct MadeCase {
    const char* path;
    Mode mode;
};

void PrintTo(const MadeCase& c, std::ostream* os)
{
    *os << c.path << (c.mode == Mode::Lossless ? " lossless" : " near-lossless");
}

fs::path temporary(const fs::path& file, const char* tag)
{
    return fs::path(testing::TempDir()) / (std::string(tag) + "-" + file.filename().string());
}

bool gdcmconv(const std::string& options, const fs::path& in, const fs::path& out)
{
    const std::string command = "gdcmconv " + options + " '" + in.string() + "' '" + out.string() + "' > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The samples of frame f of a native image, by pixel, masked to the bits stored
// (a signed source keeps its sign bits above them; the stream does not).
std::vector<int> nativeFrame(const test::DicomImage& image, std::size_t f)
{
    const std::size_t pixels = std::size_t(image.rows) * image.columns;
    const std::size_t samples = pixels * image.samples;
    const std::size_t width = image.bitsAllocated > 8 ? 2 : 1;
    const int mask = (1 << image.bitsStored) - 1;
    std::vector<int> out(samples);
    for (std::size_t i = 0; i < samples; ++i) {
        const std::size_t at = (f * samples + i) * width;
        const int value = width == 2 ? image.pixels.at(at) | (image.pixels.at(at + 1) << 8) : image.pixels.at(at);
        const std::size_t to = image.planar == 1 ? (i % pixels) * image.samples + i / pixels : i;
        out[to] = value & mask;
    }
    return out;
}

std::vector<int> decodedFrame(const test::DicomImage& image, std::size_t f, int& nearLossless)
{
    const FrameParams p = test::paramsOf(image);
    std::vector<std::uint8_t> frame;
    const auto header = JpegLsAdapter::readHeader(image.frameStreams.at(f));
    auto done = JpegLsAdapter::decodeFrame(image.frameStreams.at(f), p, frame);
    EXPECT_TRUE(header && done) << (done ? "" : done.error().detail);
    nearLossless = header ? header->nearLossless : -1;
    const int mask = (1 << image.bitsStored) - 1;
    std::vector<int> out(p.frameBytes() / p.bytesPerSample());
    for (std::size_t i = 0; i < out.size() && done; ++i)
        out[i] = (p.bytesPerSample() == 2 ? reinterpret_cast<const std::uint16_t*>(frame.data())[i] : frame[i]) & mask;
    return out;
}

// Our frames of a JPEG-LS file against gdcmconv --raw of the same file.
void expectSameAsGdcm(const fs::path& file, int tolerance)
{
    const fs::path raw = temporary(file, "raw");
    ASSERT_TRUE(gdcmconv("--raw", file, raw)) << file;
    auto compressed = test::readDicomImage(file.string());
    auto reference = test::readDicomImage(raw.string());
    fs::remove(raw);
    ASSERT_TRUE(compressed && reference);
    ASSERT_EQ(compressed->frameStreams.size(), compressed->frames);
    for (std::size_t f = 0; f < compressed->frames; ++f) {
        int nearLossless = 0;
        EXPECT_LE(test::largestDifference(decodedFrame(*compressed, f, nearLossless), nativeFrame(*reference, f)), tolerance)
            << "frame " << f;
    }
}

class JpegLsMade : public testing::TestWithParam<MadeCase> {};

TEST_P(JpegLsMade, DecodesWithinTheStreamsBound)
{
    const fs::path source = kTestData / GetParam().path;
    if (!fs::exists(source))
        GTEST_SKIP() << "test data not found: " << source;
    const bool lossless = GetParam().mode == Mode::Lossless;
    const fs::path file = temporary(source, lossless ? "jls" : "jlsnear");
    ASSERT_TRUE(gdcmconv(lossless ? "--jpegls" : "--jpegls --lossy -e 3", source, file)) << source;
    auto original = test::readDicomImage(source.string());
    auto compressed = test::readDicomImage(file.string());
    ASSERT_TRUE(original && compressed);
    ASSERT_EQ(compressed->frameStreams.size(), original->frames);
    for (std::size_t f = 0; f < original->frames; ++f) {
        int nearLossless = -1;
        const auto ours = decodedFrame(*compressed, f, nearLossless);
        EXPECT_EQ(nearLossless == 0, lossless);
        EXPECT_LE(test::largestDifference(ours, nativeFrame(*original, f)), lossless ? 0 : nearLossless) << "frame " << f;
    }
    if (!lossless)
        expectSameAsGdcm(file, 1);
    fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(TestData, JpegLsMade,
    testing::Values(MadeCase { "syntax/ct1-ele.dcm", Mode::Lossless },
        MadeCase { "syntax/ct1-ele.dcm", Mode::NearLossless },
        MadeCase { "grey/ct-14bit-signed.dcm", Mode::Lossless },
        MadeCase { "grey/cr-mono1-10bit.dcm", Mode::NearLossless },
        MadeCase { "grey/squares-12bit.dcm", Mode::Lossless },
        MadeCase { "grey/ct-8bit-ile.dcm", Mode::NearLossless },
        MadeCase { "colour/rgb-planar0-par4-3.dcm", Mode::Lossless },
        MadeCase { "colour/rgb-planar1-par4-3.dcm", Mode::NearLossless },
        MadeCase { "multiframe/grey8-16f-frametime.dcm", Mode::Lossless }),
    [](const testing::TestParamInfo<MadeCase>& info) {
        std::string name = fs::path(info.param.path).stem().string();
        std::replace(name.begin(), name.end(), '-', '_');
        return name + (info.param.mode == Mode::Lossless ? "_lossless" : "_near");
    });

// Every JPEG-LS file the manifest lists, but the malformed ones, as GDCM decodes it.
TEST(JpegLsTestData, EveryFileMatchesGdcmconvRaw)
{
    std::ifstream manifest(kTestData / "MANIFEST.tsv");
    if (!manifest)
        GTEST_SKIP() << "test data not found: " << kTestData;
    std::string line;
    int files = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string path, column, syntax;
        std::getline(fields, path, '\t');
        for (int i = 0; i < 4; ++i)
            std::getline(fields, column, '\t');
        syntax = column;
        if ((syntax != "1.2.840.10008.1.2.4.80" && syntax != "1.2.840.10008.1.2.4.81") || path.rfind("malformed/", 0) == 0)
            continue;
        SCOPED_TRACE(path);
        expectSameAsGdcm(kTestData / path, 0);
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace codecs
