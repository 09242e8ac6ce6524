// The JPEG 2000 adapter's checks, on 8 x 8 codestreams made in the test by
// opj_compress and ojph_compress: headers that disagree with the attributes,
// a forged huge header, a truncated stream, and the signedness reported.

#include "codecs/J2kAdapter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace codecs {
namespace {

namespace fs = std::filesystem;

enum class Maker { Opj, Ojph };
enum class Change { None, MoreRows, FewerSamples, NarrowerBits, Forged60000, Truncated };

// An 8 x 8 codestream of the given samples, signedness and bits from a made-up picture.
std::vector<std::uint8_t> codestream(Maker maker, int samples, bool isSigned, int bits)
{
    const std::string stem = (fs::path(testing::TempDir()) / ("j2k-adapter-" + std::to_string(::getpid()))).string();
    const std::size_t bytes = 64u * samples * (bits > 8 ? 2 : 1);
    std::string in = stem + (maker == Maker::Opj ? ".rawl" : ".pgm");
    {
        std::ofstream out(in, std::ios::binary);
        if (maker == Maker::Ojph)
            out << "P5\n8 8\n" << ((1 << bits) - 1) << "\n";
        for (std::size_t i = 0; i < bytes; ++i)
            out.put(static_cast<char>((i * 37) % (bits > 8 || maker == Maker::Ojph ? 256 : 128)));
    }
    const std::string out = stem + ".j2c";
    const std::string command = maker == Maker::Opj
        ? "opj_compress -n 2 -F 8,8," + std::to_string(samples) + "," + std::to_string(bits) + (isSigned ? ",s" : ",u")
            + " -i " + in + " -o " + stem + ".j2k >/dev/null 2>&1 && mv " + stem + ".j2k " + out
        : "ojph_compress -num_decomps 2 -reversible true -i " + in + " -o " + out + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream file(out, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

void put32(std::vector<std::uint8_t>& s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.at(at + i) = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

struct Case {
    const char* name;
    Maker maker;
    int samples;
    bool isSigned;
    int bits;
    Change change;
    std::optional<CodecError> error; // none: decodes
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class J2kAdapterCase : public testing::TestWithParam<Case> {};

TEST_P(J2kAdapterCase, ChecksTheHeaderBeforeDecoding)
{
    const Case& c = GetParam();
    auto stream = codestream(c.maker, c.samples, c.isSigned, c.bits);
    ASSERT_GT(stream.size(), 50u);
    FrameParams p;
    p.rows = p.columns = 8;
    p.samplesPerPixel = static_cast<std::uint16_t>(c.samples);
    p.bitsAllocated = c.bits > 8 ? 16 : 8;
    p.bitsStored = static_cast<std::uint16_t>(c.bits);
    if (c.change == Change::MoreRows)
        p.rows = 9;
    if (c.change == Change::FewerSamples)
        p.samplesPerPixel = 1;
    if (c.change == Change::NarrowerBits)
        p.bitsAllocated = 8;
    if (c.change == Change::Forged60000) {
        // T.800 A.5.1 SIZ: Xsiz, Ysiz, XTsiz, YTsiz; the first component 16 bits.
        for (std::size_t at : { 8u, 12u, 24u, 28u })
            put32(stream, at, 60000);
        stream.at(42) = 0x0F;
        p.rows = p.columns = 60000;
        p.bitsAllocated = p.bitsStored = 16;
    }
    if (c.change == Change::Truncated)
        stream.resize(stream.size() / 2);
    std::vector<std::uint8_t> frame;
    const auto decoded = J2kAdapter::decodeFrame(stream, p, frame);
    if (!c.error) {
        ASSERT_TRUE(decoded) << decoded.error().detail;
        EXPECT_EQ(decoded->isSigned, c.isSigned);
        EXPECT_EQ(decoded->precision, c.bits);
        EXPECT_EQ(frame.size(), p.frameBytes());
        return;
    }
    ASSERT_FALSE(decoded);
    EXPECT_EQ(decoded.error().code, *c.error) << decoded.error().detail;
    EXPECT_FALSE(decoded.error().detail.empty());
    EXPECT_TRUE(frame.empty()) << "sized before the header was checked";
}

INSTANTIATE_TEST_SUITE_P(Streams, J2kAdapterCase,
    testing::Values(Case { "opj_grey8", Maker::Opj, 1, false, 8, Change::None, {} },
        Case { "opj_signed12", Maker::Opj, 1, true, 12, Change::None, {} },
        Case { "opj_rgb8", Maker::Opj, 3, false, 8, Change::None, {} },
        Case { "opj_more_rows", Maker::Opj, 1, false, 8, Change::MoreRows, CodecError::Corrupt },
        Case { "opj_too_many_components", Maker::Opj, 3, false, 8, Change::FewerSamples, CodecError::Corrupt },
        Case { "opj_precision_over_bits", Maker::Opj, 1, false, 12, Change::NarrowerBits, CodecError::Corrupt },
        Case { "opj_forged_60000", Maker::Opj, 1, false, 8, Change::Forged60000, CodecError::Unsupported },
        Case { "opj_truncated", Maker::Opj, 1, false, 8, Change::Truncated, CodecError::Corrupt },
        Case { "ojph_grey16", Maker::Ojph, 1, false, 16, Change::None, {} },
        Case { "ojph_more_rows", Maker::Ojph, 1, false, 8, Change::MoreRows, CodecError::Corrupt },
        Case { "ojph_forged_60000", Maker::Ojph, 1, false, 8, Change::Forged60000, CodecError::Unsupported }),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(J2kAdapter, RefusesAStreamThatIsNoCodestream)
{
    const std::vector<std::uint8_t> junk { 0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0 };
    FrameParams p;
    std::vector<std::uint8_t> frame;
    EXPECT_EQ(J2kAdapter::decodeFrame(junk, p, frame).error().code, CodecError::Corrupt);
}

} // namespace
} // namespace codecs

namespace codecs {
namespace {

// A damaged HTJ2K code-block that once made the library fail an assertion.
TEST(J2kAdapter, AStreamThatOnceAbortedTheLibraryIsCorrupt)
{
    std::ifstream in(std::string(TV_SOURCE_DIR) + "/tests/fuzz/regressions/FuzzJ2kAdapter/ht-mel-assert.j2c",
                     std::ios::binary);
    const std::vector<std::uint8_t> stream { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    ASSERT_FALSE(stream.empty());
    const auto header = J2kAdapter::readHeader(stream);
    ASSERT_TRUE(header) << header.error().detail;
    FrameParams p;
    p.rows = header->height;
    p.columns = header->width;
    p.samplesPerPixel = static_cast<std::uint16_t>(header->components);
    p.bitsAllocated = header->precision > 8 ? 16 : 8;
    p.bitsStored = static_cast<std::uint16_t>(header->precision);
    std::vector<std::uint8_t> frame;
    const auto decoded = J2kAdapter::decodeFrame(stream, p, frame);
    ASSERT_FALSE(decoded);
    EXPECT_EQ(decoded.error().code, CodecError::Corrupt);
}

TEST(J2kAdapter, AnAbortInTrappedWorkReturnsFalseAndTheTrapEndsWithIt)
{
    EXPECT_FALSE(runTrappingAborts([] {
        std::abort();
        return true;
    }));
    EXPECT_TRUE(runTrappingAborts([] { return true; }));
    EXPECT_DEATH(std::abort(), "");
}

} // namespace
} // namespace codecs
