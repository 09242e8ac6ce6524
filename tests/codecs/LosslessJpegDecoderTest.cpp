#include "codecs/LosslessJpegDecoder.h"
#include "tests/codecs/LosslessJpegEncoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>

namespace codecs {
namespace {

using test::EncodeOptions;
using test::TableShape;

// Smooth-ish random samples below 2^precision, like a real image.
std::vector<std::uint16_t> makeSamples(const EncodeOptions& o, unsigned seed)
{
    std::mt19937 random(seed);
    const int maxValue = (1 << o.precision) - 1;
    std::vector<std::uint16_t> samples(std::size_t(o.width) * o.height * o.components);
    int level = maxValue / 2;
    for (auto& s : samples) {
        level += static_cast<int>(random() % 9) - 4;
        if (random() % 50 == 0)
            level = static_cast<int>(random() % (maxValue + 1));
        level = std::clamp(level, 0, maxValue);
        s = static_cast<std::uint16_t>(level);
    }
    return samples;
}

FrameParams paramsFor(const EncodeOptions& o, int bitsAllocated)
{
    FrameParams p;
    p.rows = o.height;
    p.columns = o.width;
    p.samplesPerPixel = static_cast<std::uint16_t>(o.components);
    p.bitsAllocated = static_cast<std::uint16_t>(bitsAllocated);
    p.bitsStored = static_cast<std::uint16_t>(o.precision);
    return p;
}

std::vector<std::uint16_t> readSamples(const std::vector<std::uint8_t>& frame, int bitsAllocated)
{
    std::vector<std::uint16_t> out;
    if (bitsAllocated == 8) {
        out.assign(frame.begin(), frame.end());
    } else {
        out.resize(frame.size() / 2);
        std::memcpy(out.data(), frame.data(), out.size() * 2);
    }
    return out;
}

struct Decoded {
    codecs::Result<LosslessFrameInfo> result;
    std::vector<std::uint8_t> frame;
};

Decoded decode(const std::vector<std::uint8_t>& stream, const FrameParams& params, LosslessOptions options = {})
{
    std::vector<std::uint8_t> frame(params.frameBytes(), 0xAA);
    auto result = LosslessJpegDecoder::decode(stream, params, frame, options);
    return { std::move(result), std::move(frame) };
}

struct RoundTripCase {
    const char* name;
    EncodeOptions options;
    int bitsAllocated;
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.name;
}

class LosslessRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(LosslessRoundTrip, DecodesWhatWasEncoded)
{
    const auto& c = GetParam();
    auto samples = makeSamples(c.options, 7);
    auto stream = test::encodeLossless(c.options, samples);
    auto decoded = decode(stream, paramsFor(c.options, c.bitsAllocated));
    ASSERT_TRUE(decoded.result.has_value()) << decoded.result.error().detail;
    EXPECT_TRUE(decoded.result->warnings.empty());
    // The point transform drops low bits for good; the rest comes back exactly.
    const std::uint16_t keep = static_cast<std::uint16_t>(0xFFFF << c.options.pointTransform);
    for (auto& s : samples)
        s &= keep;
    EXPECT_EQ(readSamples(decoded.frame, c.bitsAllocated), samples);
}

EncodeOptions opts(std::uint32_t w, std::uint32_t h, int comps, int precision, int psv)
{
    EncodeOptions o;
    o.width = w;
    o.height = h;
    o.components = comps;
    o.precision = precision;
    o.predictor = psv;
    return o;
}

template<typename T>
T with(T o, auto change)
{
    change(o);
    return o;
}

INSTANTIATE_TEST_SUITE_P(Predictors, LosslessRoundTrip,
    testing::Values(
        RoundTripCase { "psv1_16bit", opts(37, 11, 1, 16, 1), 16 },
        RoundTripCase { "psv2_16bit", opts(37, 11, 1, 16, 2), 16 },
        RoundTripCase { "psv3_12bit", opts(37, 11, 1, 12, 3), 16 },
        RoundTripCase { "psv4_16bit", opts(37, 11, 1, 16, 4), 16 },
        RoundTripCase { "psv5_16bit", opts(37, 11, 1, 16, 5), 16 },
        RoundTripCase { "psv6_16bit", opts(37, 11, 1, 16, 6), 16 },
        RoundTripCase { "psv7_16bit", opts(37, 11, 1, 16, 7), 16 },
        RoundTripCase { "psv6_8bit", opts(37, 11, 1, 8, 6), 8 },
        RoundTripCase { "psv4_2bit", opts(9, 5, 1, 2, 4), 8 },
        RoundTripCase { "rgb_psv5_8bit", opts(13, 7, 3, 8, 5), 8 },
        RoundTripCase { "four_components_10bit", opts(13, 7, 4, 10, 7), 16 },
        RoundTripCase { "point_transform_12bit", with(opts(21, 9, 1, 12, 6), [](auto& o) { o.pointTransform = 3; }), 16 },
        RoundTripCase { "point_transform_8bit", with(opts(21, 9, 1, 8, 1), [](auto& o) { o.pointTransform = 2; }), 8 },
        RoundTripCase { "long_codes", with(opts(31, 9, 1, 12, 7), [](auto& o) { o.table = TableShape::Skewed; }), 16 },
        RoundTripCase { "restart_every_2_rows", with(opts(17, 9, 1, 16, 4), [](auto& o) { o.restartRows = 2; }), 16 },
        RoundTripCase { "restart_rgb_8bit", with(opts(17, 9, 3, 8, 7), [](auto& o) { o.restartRows = 3; }), 8 },
        RoundTripCase { "scan_per_component", with(opts(19, 6, 3, 12, 7), [](auto& o) { o.scanPerComponent = true; }), 16 },
        RoundTripCase { "one_pixel", opts(1, 1, 1, 16, 1), 16 },
        RoundTripCase { "point_transform_16bit", with(opts(21, 9, 1, 16, 5), [](auto& o) { o.pointTransform = 4; }), 16 },
        RoundTripCase { "precision_8_into_16_bits", opts(13, 5, 1, 8, 7), 16 },
        RoundTripCase { "fast_path_one_column", opts(1, 7, 1, 8, 7), 8 },
        RoundTripCase { "restart_every_row_one_column", with(opts(1, 19, 1, 12, 2), [](auto& o) { o.restartRows = 1; }), 16 },
        RoundTripCase { "restart_scan_per_component",
            with(opts(11, 7, 3, 16, 6), [](auto& o) { o.restartRows = 2; o.scanPerComponent = true; }), 16 },
        RoundTripCase { "restart_point_transform_8bit",
            with(opts(15, 6, 1, 8, 4), [](auto& o) { o.restartRows = 3; o.pointTransform = 1; }), 8 }),
    [](const auto& info) { return std::string(info.param.name); });

// The first sample of a 16-bit image is predicted as 2^15; the sum wraps to
// the stored 16-bit value, and a difference of category 16 is 32768 itself.
TEST(LosslessJpegDecoder, FirstSampleOf16BitImageWrapsAroundPrediction32768)
{
    auto o = opts(4, 1, 1, 16, 1);
    // 0 is 32768 away from the prediction: category 16, no extra bits.
    const std::vector<std::uint16_t> samples { 0x0000, 0xFFFD, 0x8000, 0x7FFF };
    auto decoded = decode(test::encodeLossless(o, samples), paramsFor(o, 16));
    ASSERT_TRUE(decoded.result.has_value()) << decoded.result.error().detail;
    std::vector<std::int16_t> values(4);
    std::memcpy(values.data(), decoded.frame.data(), 8);
    EXPECT_EQ(values, (std::vector<std::int16_t> { 0, -3, -32768, 32767 }));
}

TEST(LosslessJpegDecoder, EightBitFastPathEqualsGeneralPathForPredictor7)
{
    auto o = opts(64, 32, 1, 8, 7);
    auto samples = makeSamples(o, 3);
    auto stream = test::encodeLossless(o, samples);
    auto fast = decode(stream, paramsFor(o, 8));
    auto general = decode(stream, paramsFor(o, 8), { FastPath::Disabled });
    ASSERT_TRUE(fast.result.has_value());
    ASSERT_TRUE(general.result.has_value());
    EXPECT_TRUE(fast.result->usedFastPath);
    EXPECT_FALSE(general.result->usedFastPath);
    EXPECT_EQ(fast.frame, general.frame);
    EXPECT_EQ(readSamples(fast.frame, 8), samples);
}

TEST(LosslessJpegDecoder, RestartEveryRowCyclesThroughAllEightMarkers)
{
    auto o = with(opts(5, 20, 1, 12, 7), [](auto& e) { e.restartRows = 1; });
    auto samples = makeSamples(o, 11);
    auto stream = test::encodeLossless(o, samples);
    // Every marker RST0..RST7 appears, and RST0 more than once: the count wraps.
    for (int n = 0; n < 8; ++n) {
        const std::uint8_t marker[2] = { 0xFF, static_cast<std::uint8_t>(0xD0 + n) };
        EXPECT_NE(std::search(stream.begin(), stream.end(), marker, marker + 2), stream.end()) << n;
    }
    auto decoded = decode(stream, paramsFor(o, 16));
    ASSERT_TRUE(decoded.result.has_value()) << decoded.result.error().detail;
    EXPECT_EQ(readSamples(decoded.frame, 16), samples);
}

TEST(LosslessJpegDecoder, RestartMarkerOutOfSequenceFails)
{
    auto o = with(opts(5, 6, 1, 8, 1), [](auto& e) {
        e.restartRows = 1;
        e.wrongRestartIndex = 1; // RST5 where RST1 belongs
    });
    auto decoded = decode(test::encodeLossless(o, makeSamples(o, 1)), paramsFor(o, 8));
    ASSERT_FALSE(decoded.result.has_value());
    EXPECT_EQ(decoded.result.error().code, CodecError::Corrupt);
    EXPECT_EQ(decoded.result.error().detail, "Error: Corrupt JPEG data.  Exiting...");
}

TEST(LosslessJpegDecoder, SubsampledComponentIsUnsupported)
{
    auto o = with(opts(4, 4, 3, 8, 1), [](auto& e) { e.sampling = 0x22; });
    auto decoded = decode(test::encodeLossless(o, makeSamples(o, 1)), paramsFor(o, 8));
    ASSERT_FALSE(decoded.result.has_value());
    EXPECT_EQ(decoded.result.error().code, CodecError::Unsupported);
    EXPECT_EQ(decoded.result.error().detail, "Error: Downsampling is not supported.");
}

TEST(LosslessJpegDecoder, EndOfImageBeforeScanFailsAndWritesNothing)
{
    auto o = with(opts(4, 4, 1, 8, 1), [](auto& e) { e.endBeforeScan = true; });
    auto decoded = decode(test::encodeLossless(o, makeSamples(o, 1)), paramsFor(o, 8));
    ASSERT_FALSE(decoded.result.has_value());
    EXPECT_EQ(decoded.result.error().code, CodecError::Corrupt);
    EXPECT_EQ(decoded.frame, std::vector<std::uint8_t>(16, 0xAA));
}

TEST(LosslessJpegDecoder, ThreeComponentsComeOutInterleavedInComponentOrder)
{
    auto o = opts(2, 1, 3, 8, 1);
    const std::vector<std::uint16_t> samples { 10, 20, 30, 11, 21, 31 };
    auto decoded = decode(test::encodeLossless(o, samples), paramsFor(o, 8));
    ASSERT_TRUE(decoded.result.has_value());
    EXPECT_EQ(decoded.frame, (std::vector<std::uint8_t> { 10, 20, 30, 11, 21, 31 }));
}

TEST(LosslessJpegDecoder, TruncatedDataWarnsOnceAndFillsWithZeroBits)
{
    auto o = opts(40, 40, 1, 16, 1);
    auto stream = test::encodeLossless(o, makeSamples(o, 5));
    stream.resize(stream.size() / 2);
    auto decoded = decode(stream, paramsFor(o, 16));
    ASSERT_TRUE(decoded.result.has_value());
    EXPECT_EQ(decoded.result->warnings, std::vector<std::string> { "Corrupt JPEG data: premature end of data segment" });
}

TEST(LosslessJpegDecoder, SizeDifferentFromImageAttributesFails)
{
    auto o = opts(8, 4, 1, 12, 1);
    auto stream = test::encodeLossless(o, makeSamples(o, 1));
    struct Case {
        FrameParams params;
        CodecError code;
    };
    auto base = paramsFor(o, 16);
    std::vector<Case> cases;
    cases.push_back({ with(base, [](auto& p) { p.columns = 9; }), CodecError::Corrupt });
    cases.push_back({ with(base, [](auto& p) { p.rows = 3; }), CodecError::Corrupt });
    cases.push_back({ with(base, [](auto& p) { p.samplesPerPixel = 3; }), CodecError::Corrupt });
    cases.push_back({ with(base, [](auto& p) { p.bitsAllocated = 8; }), CodecError::Corrupt }); // 12-bit into bytes
    cases.push_back({ with(base, [](auto& p) { p.bitsAllocated = 12; }), CodecError::Unsupported });
    for (const auto& c : cases) {
        std::vector<std::uint8_t> frame(1024);
        auto result = LosslessJpegDecoder::decode(stream, c.params, frame);
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().code, c.code) << result.error().detail;
    }
    std::vector<std::uint8_t> small(63);
    auto result = LosslessJpegDecoder::decode(stream, base, small);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().code, CodecError::Corrupt);
}

// Each decode owns its state, so two frames can be decoded at once.
TEST(LosslessJpegDecoder, TwoFramesDecodeSideBySide)
{
    auto a = opts(64, 64, 1, 16, 7);
    auto b = with(opts(48, 40, 3, 8, 4), [](auto& o) { o.restartRows = 4; });
    auto samplesA = makeSamples(a, 1), samplesB = makeSamples(b, 2);
    auto streamA = test::encodeLossless(a, samplesA), streamB = test::encodeLossless(b, samplesB);
    Decoded resultA { codecs::Error {}, {} }, resultB { codecs::Error {}, {} };
    std::thread t1([&] { for (int i = 0; i < 20; ++i) resultA = decode(streamA, paramsFor(a, 16)); });
    std::thread t2([&] { for (int i = 0; i < 20; ++i) resultB = decode(streamB, paramsFor(b, 8)); });
    t1.join();
    t2.join();
    ASSERT_TRUE(resultA.result.has_value() && resultB.result.has_value());
    EXPECT_EQ(readSamples(resultA.frame, 16), samplesA);
    EXPECT_EQ(readSamples(resultB.frame, 8), samplesB);
}

} // namespace
} // namespace codecs
