#include "dicom/RleDecoder.h"

#include "dicom/PixelErrors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using dicom::decodeRleFrame;
using dicom::decodeRleSegment;
using dicom::RleFrameShape;
using dicom::RleMinus128;
using Bytes = std::vector<std::uint8_t>;

namespace {

// An RLE frame: the 64-byte header (segment count, 15 offsets, little endian),
// then each segment padded to even length with a zero byte as G.5 asks.
Bytes rleFrame(const std::vector<Bytes>& segments)
{
    Bytes out(64, 0);
    auto put32 = [&out](std::size_t at, std::uint32_t v) {
        for (int b = 0; b < 4; ++b)
            out[at + b] = static_cast<std::uint8_t>(v >> (8 * b));
    };
    put32(0, static_cast<std::uint32_t>(segments.size())); // number of segments
    for (std::size_t k = 0; k < segments.size(); ++k) {
        put32(4 + 4 * k, static_cast<std::uint32_t>(out.size())); // offset of segment k + 1
        out.insert(out.end(), segments[k].begin(), segments[k].end());
        if (segments[k].size() % 2)
            out.push_back(0); // pad byte
    }
    return out;
}

struct SegmentCase {
    const char* name;
    Bytes in;
    std::size_t outSize;
    Bytes expected;
};

void PrintTo(const SegmentCase& c, std::ostream* os)
{
    *os << c.name;
}

class RleSegment : public testing::TestWithParam<SegmentCase> {};

TEST_P(RleSegment, DecodesPackBits)
{
    const auto& c = GetParam();
    Bytes out(c.outSize, 0xEE);
    const std::size_t produced = decodeRleSegment(c.in, out);
    ASSERT_EQ(produced, c.expected.size());
    EXPECT_EQ(Bytes(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(produced)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RleSegment,
    testing::Values(
        SegmentCase{"literal", {0x02, 1, 2, 3}, 3, {1, 2, 3}},
        SegmentCase{"replicate", {0xFD, 7}, 4, {7, 7, 7, 7}}, // -3: 1 - n = 4 copies
        SegmentCase{"noRoomNoOutput", {0x7F, 1}, 0, {}},
        SegmentCase{"minus128IsNoOp", {0x80, 0x00, 9}, 1, {9}},
        SegmentCase{"mixed", {0x00, 5, 0xFF, 6, 0x01, 1, 2}, 5, {5, 6, 6, 1, 2}},
        SegmentCase{"runPastEndIsCut", {0xF9, 4}, 3, {4, 4, 4}},
        SegmentCase{"literalCutByInput", {0x04, 1, 2}, 5, {1, 2}},
        SegmentCase{"replicateWithoutByte", {0x01, 8, 9, 0xFE}, 4, {8, 9}},
        SegmentCase{"stopsWhenFull", {0x00, 1, 0x00, 2}, 1, {1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RleSegment, LegacyMinus128ReplicatesOneHundredTwentyNineTimes)
{
    Bytes out(130);
    const Bytes in{0x80, 3, 0x00, 4};
    ASSERT_EQ(decodeRleSegment(in, out, RleMinus128::Replicate129), 130u);
    EXPECT_EQ(out[128], 3);
    EXPECT_EQ(out[129], 4);
}

TEST(RleFrame, EightBitGreyIsOnePlane)
{
    const auto frame = rleFrame({{0xFD, 9, 0x01, 1, 2}}); // 4 x 9, then 1, 2
    const auto out = decodeRleFrame(frame, RleFrameShape{2, 3, 1, 1});
    ASSERT_TRUE(out) << out.error().detail;
    EXPECT_EQ(*out, (Bytes{9, 9, 9, 9, 1, 2}));
}

TEST(RleFrame, OddSegmentPadByteIsNotReadAsControl)
{
    // Segment 1 is 3 bytes long and padded; a decoder reading one stream would
    // take the pad (0x00) as "copy one byte" and shift the green plane.
    const auto frame = rleFrame({{0x01, 10, 11}, {0xFF, 20}, {0x01, 30, 31}});
    const auto out = decodeRleFrame(frame, RleFrameShape{1, 2, 3, 1});
    ASSERT_TRUE(out) << out.error().detail;
    EXPECT_EQ(*out, (Bytes{10, 11, 20, 20, 30, 31}));
}

TEST(RleFrame, SixteenBitSegmentsAreHighByteFirst)
{
    // Sample 0x1234, 0xABCD: segment 1 the high bytes, segment 2 the low bytes.
    const auto frame = rleFrame({{0x01, 0x12, 0xAB}, {0x01, 0x34, 0xCD}});
    const auto out = decodeRleFrame(frame, RleFrameShape{1, 2, 1, 2});
    ASSERT_TRUE(out) << out.error().detail;
    EXPECT_EQ(*out, (Bytes{0x34, 0x12, 0xCD, 0xAB})); // little endian
}

TEST(RleFrame, ShortSegmentWithMinus128FallsBackToLegacyReading)
{
    Bytes plane(130);
    const auto frame = rleFrame({{0x80, 3, 0x00, 4}});
    const auto out = decodeRleFrame(frame, RleFrameShape{1, 130, 1, 1});
    ASSERT_TRUE(out) << out.error().detail;
    EXPECT_EQ(out->at(0), 3);
    EXPECT_EQ(out->at(129), 4);
}

struct BadFrameCase {
    const char* name;
    Bytes frame;
    RleFrameShape shape;
    int error;
};

void PrintTo(const BadFrameCase& c, std::ostream* os)
{
    *os << c.name;
}

Bytes withHeaderWord(Bytes frame, std::size_t word, std::uint32_t v)
{
    for (int b = 0; b < 4; ++b)
        frame[word * 4 + b] = static_cast<std::uint8_t>(v >> (8 * b));
    return frame;
}

class RleBadFrame : public testing::TestWithParam<BadFrameCase> {};

TEST_P(RleBadFrame, FailsWithExactCode)
{
    const auto& c = GetParam();
    const auto out = decodeRleFrame(c.frame, c.shape);
    ASSERT_FALSE(out);
    EXPECT_EQ(out.error().code, c.error);
}

const Bytes twoSegments = rleFrame({{0x00, 1}, {0x00, 2}});

INSTANTIATE_TEST_SUITE_P(
    Cases, RleBadFrame,
    testing::Values(
        BadFrameCase{"headerCut", Bytes(63, 0), {1, 1, 1, 1}, dicom::pixel_error::Corrupted},
        BadFrameCase{"segmentCountDiffers", twoSegments, {1, 1, 1, 1}, dicom::pixel_error::Corrupted},
        BadFrameCase{"tooManySegments", withHeaderWord(twoSegments, 0, 16), {1, 1, 1, 2}, dicom::pixel_error::Corrupted},
        BadFrameCase{"offsetInsideHeader", withHeaderWord(twoSegments, 1, 10), {1, 1, 1, 2}, dicom::pixel_error::Corrupted},
        BadFrameCase{"offsetsDescend", withHeaderWord(twoSegments, 2, 64), {1, 1, 1, 2}, dicom::pixel_error::Corrupted},
        BadFrameCase{"offsetPastFragment", withHeaderWord(twoSegments, 2, 1000), {1, 1, 1, 2}, dicom::pixel_error::Corrupted},
        BadFrameCase{"segmentShort", rleFrame({{0x00, 1}}), {2, 2, 1, 1}, dicom::pixel_error::Corrupted},
        BadFrameCase{"hugeShape", rleFrame({{0x00, 1}}), {0xFFFFFFFF, 0xFFFFFFFF, 1, 1}, dicom::pixel_error::Corrupted},
        BadFrameCase{"threeBytesPerSample", twoSegments, {1, 1, 1, 3}, dicom::pixel_error::Unsupported}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
