// JPEG 2000 and HTJ2K frames decoded by us against the encoders and other
// decoders: frame 0 of uncompressed test files is encoded in the test by
// opj_compress, ojph_compress or gdcmconv --j2k; lossless streams must give
// the original samples exactly, lossy ones within 1 of opj_decompress or
// gdcmconv --raw on the same stream. The JPEG 2000 file of the test data is
// compared with gdcmconv --raw.

#include "codecs/J2kAdapter.h"
#include "tests/codecs/ConformanceSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace codecs {
namespace {

namespace fs = std::filesystem;

const fs::path kTestData = TV_TESTDATA_DIR;

enum class Maker { OpjLossless, OpjLossy, OjphLossless, OjphLossy, GdcmLossless, GdcmLossy };

struct Case {
    const char* path;
    Maker maker;
};

const char* makerName(Maker m)
{
    static const char* names[] = { "opj_lossless", "opj_lossy", "ojph_lossless", "ojph_lossy", "gdcm_lossless",
        "gdcm_lossy" };
    return names[static_cast<int>(m)];
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.path << " " << makerName(c.maker); }

bool run(const std::string& command) { return std::system((command + " > /dev/null 2>&1").c_str()) == 0; }

std::string temporary(const std::string& name) { return (fs::path(testing::TempDir()) / ("j2kc-" + std::to_string(::getpid()) + "-" + name)).string(); }

std::vector<std::uint8_t> readAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

// Sample s (in pixel order, components interleaved) of a frame of 8- or 16-bit
// little-endian samples, sign-extended from bits when signed, else masked.
int sampleOf(const std::vector<std::uint8_t>& bytes, std::size_t at, int width, int bits, bool isSigned)
{
    int v = width == 2 ? bytes.at(at * 2) | (bytes.at(at * 2 + 1) << 8) : bytes.at(at);
    v &= (1 << bits) - 1;
    return isSigned && (v >> (bits - 1)) ? v - (1 << bits) : v;
}

struct Samples {
    std::vector<int> values; // by pixel, components interleaved
};

// Frame 0 of the native image as values, and the same written for an encoder:
// planar little-endian raw for opj_compress, PGM/PPM (big endian) for ojph_compress.
std::vector<int> nativeValues(const test::DicomImage& image, bool isSigned)
{
    const std::size_t pixels = std::size_t(image.rows) * image.columns;
    const int width = image.bitsAllocated > 8 ? 2 : 1;
    std::vector<int> out(pixels * image.samples);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::size_t to = image.planar == 1 ? (i % pixels) * image.samples + i / pixels : i;
        out[to] = sampleOf(image.pixels, i, width, image.bitsStored, isSigned);
    }
    return out;
}

void writeRaw(const std::string& path, const std::vector<int>& values, std::size_t samples, int width, bool planar,
    const std::string& header = {})
{
    std::ofstream out(path, std::ios::binary);
    out << header;
    const std::size_t pixels = values.size() / samples;
    for (std::size_t c = 0; c < (planar ? samples : 1); ++c) {
        for (std::size_t i = 0; i < pixels; ++i) {
            for (std::size_t k = 0; k < (planar ? 1 : samples); ++k) {
                const int v = values[i * samples + (planar ? c : k)];
                if (width == 2 && planar)
                    out.put(static_cast<char>(v & 0xFF)).put(static_cast<char>((v >> 8) & 0xFF));
                else if (width == 2)
                    out.put(static_cast<char>((v >> 8) & 0xFF)).put(static_cast<char>(v & 0xFF));
                else
                    out.put(static_cast<char>(v));
            }
        }
    }
}

std::vector<int> decodedValues(std::span<const std::uint8_t> stream, const test::DicomImage& image, bool isSigned,
    int bits)
{
    FrameParams p = test::paramsOf(image);
    std::vector<std::uint8_t> frame;
    auto done = J2kAdapter::decodeFrame(stream, p, frame);
    EXPECT_TRUE(done) << (done ? "" : done.error().detail);
    std::vector<int> out(done ? p.frameBytes() / p.bytesPerSample() : 0);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = sampleOf(frame, i, int(p.bytesPerSample()), bits, isSigned);
    return out;
}

// Frame 0 of a DICOM file as gdcmconv --raw decodes it.
std::vector<int> gdcmValues(const std::string& file, bool isSigned)
{
    const std::string raw = temporary("raw.dcm");
    EXPECT_TRUE(run("gdcmconv --raw '" + file + "' " + raw));
    auto image = test::readDicomImage(raw);
    fs::remove(raw);
    return image ? nativeValues(*image, isSigned) : std::vector<int> {};
}

class J2kMade : public testing::TestWithParam<Case> {};

TEST_P(J2kMade, DecodesAsTheOtherDecoders)
{
    const Case& c = GetParam();
    const fs::path source = kTestData / c.path;
    if (!fs::exists(source))
        GTEST_SKIP() << "test data not found: " << source;
    auto original = test::readDicomImage(source.string());
    ASSERT_TRUE(original && !original->pixels.empty());
    const bool isSigned = std::string(c.path).find("signed") != std::string::npos;
    const int width = original->bitsAllocated > 8 ? 2 : 1;
    const int bits = original->bitsStored;
    const auto values = nativeValues(*original, isSigned);
    const bool colour = original->samples == 3;
    const std::string stream = temporary(std::string(makerName(c.maker)) + ".j2c");
    std::vector<int> reference = values;
    std::vector<std::uint8_t> bytes;
    switch (c.maker) {
    case Maker::OpjLossless:
    case Maker::OpjLossy: {
        const std::string raw = temporary("in.rawl");
        writeRaw(raw, values, original->samples, width, true);
        const std::string format = " -F " + std::to_string(original->columns) + "," + std::to_string(original->rows)
            + "," + std::to_string(original->samples) + "," + std::to_string(bits) + (isSigned ? ",s" : ",u");
        const bool lossy = c.maker == Maker::OpjLossy;
        ASSERT_TRUE(run("opj_compress -i " + raw + " -o " + stream + ".j2k" + format + (lossy ? " -r 20 -I" : "")
            + " && mv " + stream + ".j2k " + stream));
        if (lossy) {
            ASSERT_TRUE(run("opj_decompress -i " + stream + " -o " + raw));
            const auto decoded = readAll(raw);
            const std::size_t pixels = values.size() / original->samples;
            for (std::size_t i = 0; i < values.size(); ++i)
                reference[i] = sampleOf(decoded, (i % original->samples) * pixels + i / original->samples, width, bits,
                    isSigned);
        }
        bytes = readAll(stream);
        break;
    }
    case Maker::OjphLossless:
    case Maker::OjphLossy: {
        const std::string picture = temporary(colour ? "in.ppm" : "in.pgm");
        writeRaw(picture, values, original->samples, width, false,
            std::string(colour ? "P6\n" : "P5\n") + std::to_string(original->columns) + " "
                + std::to_string(original->rows) + "\n" + std::to_string((1 << bits) - 1) + "\n");
        const bool lossy = c.maker == Maker::OjphLossy;
        ASSERT_TRUE(run("ojph_compress -i " + picture + " -o " + stream
            + (lossy ? " -qstep 0.005" : " -reversible true")));
        bytes = readAll(stream);
        if (lossy) {
            const std::string back = temporary(colour ? "out.ppm" : "out.pgm");
            ASSERT_TRUE(run("opj_decompress -i " + stream + " -o " + back));
            const auto decoded = readAll(back);
            // The samples (8-bit, or big-endian 16-bit) end the file, after a header with a comment.
            ASSERT_GE(decoded.size(), values.size() * width);
            const std::size_t at = decoded.size() - values.size() * width;
            for (std::size_t i = 0; i < values.size(); ++i)
                reference[i] = width == 2 ? (decoded.at(at + 2 * i) << 8) | decoded.at(at + 2 * i + 1)
                                          : decoded.at(at + i);
        }
        break;
    }
    case Maker::GdcmLossless:
    case Maker::GdcmLossy: {
        const bool lossy = c.maker == Maker::GdcmLossy;
        const std::string file = temporary("gdcm.dcm");
        ASSERT_TRUE(run("gdcmconv --j2k " + std::string(lossy ? "--lossy -q 30 " : "") + "'" + source.string()
            + "' " + file));
        auto image = test::readDicomImage(file);
        ASSERT_TRUE(image && !image->frameStreams.empty());
        bytes = image->frameStreams.front();
        if (lossy)
            reference = gdcmValues(file, isSigned);
        break;
    }
    }
    const bool lossless = c.maker == Maker::OpjLossless || c.maker == Maker::OjphLossless || c.maker == Maker::GdcmLossless;
    EXPECT_LE(test::largestDifference(decodedValues(bytes, *original, isSigned, bits), reference), lossless ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(TestData, J2kMade,
    testing::Values(Case { "grey/ct-14bit-signed.dcm", Maker::OpjLossless },
        Case { "grey/ct-14bit-signed.dcm", Maker::OpjLossy }, Case { "grey/ct-14bit-signed.dcm", Maker::GdcmLossless },
        Case { "grey/ct-14bit-signed.dcm", Maker::GdcmLossy }, Case { "grey/ct-8bit-ile.dcm", Maker::OpjLossless },
        Case { "grey/ct-8bit-ile.dcm", Maker::OjphLossless }, Case { "grey/ct-8bit-ile.dcm", Maker::OjphLossy },
        Case { "grey/ct-8bit-ile.dcm", Maker::GdcmLossy }, Case { "colour/rgb-planar0-par4-3.dcm", Maker::OpjLossless },
        Case { "colour/rgb-planar0-par4-3.dcm", Maker::OpjLossy },
        Case { "colour/rgb-planar0-par4-3.dcm", Maker::OjphLossless },
        Case { "colour/rgb-planar0-par4-3.dcm", Maker::GdcmLossless }),
    [](const testing::TestParamInfo<Case>& info) {
        std::string name = fs::path(info.param.path).stem().string() + "_" + makerName(info.param.maker);
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST(J2kTestData, LossyCtMatchesGdcmconvRaw)
{
    const fs::path file = kTestData / "unsupported/jpeg2000-lossy-ct.dcm";
    if (!fs::exists(file))
        GTEST_SKIP() << "test data not found: " << file;
    auto image = test::readDicomImage(file.string());
    ASSERT_TRUE(image && image->frameStreams.size() == 1);
    EXPECT_LE(test::largestDifference(decodedValues(image->frameStreams[0], *image, true, image->bitsStored),
                  gdcmValues(file.string(), true)),
        1);
}

} // namespace
} // namespace codecs
