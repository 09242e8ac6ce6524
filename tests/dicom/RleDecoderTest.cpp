#include "dicom/RleDecoder.h"

#include "dicom/DicomError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
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

constexpr std::uint8_t Untouched = 0xEE;

struct SegmentCase {
    const char* name;
    Bytes in;
    std::size_t outSize;
    RleMinus128 minus128;
    std::size_t counted; // the output count as the runs add it up
    Bytes expected;      // all of out; Untouched where nothing was written
};

void PrintTo(const SegmentCase& c, std::ostream* os) { *os << c.name; }

class RleSegment : public testing::TestWithParam<SegmentCase> {};

TEST_P(RleSegment, DecodesPackBits)
{
    const auto& c = GetParam();
    Bytes out(c.outSize, Untouched);
    EXPECT_EQ(decodeRleSegment(c.in, out, c.minus128), c.counted);
    EXPECT_EQ(out, c.expected);
}

constexpr auto NoOp = RleMinus128::NoOperation;
constexpr auto Legacy = RleMinus128::Replicate129;
constexpr auto U = Untouched;

INSTANTIATE_TEST_SUITE_P(
    Cases, RleSegment,
    testing::Values(
        SegmentCase{"literal", {0x02, 1, 2, 3}, 3, NoOp, 3, {1, 2, 3}},
        SegmentCase{"replicate", {0xFD, 7}, 4, NoOp, 4, {7, 7, 7, 7}}, // -3: 1 - n = 4 copies
        SegmentCase{"noRoomNoOutput", {0x7F, 1}, 0, NoOp, 0, {}},
        SegmentCase{"minus128IsNoOp", {0x80, 0x00, 9}, 1, NoOp, 1, {9}},
        SegmentCase{"mixed", {0x00, 5, 0xFF, 6, 0x01, 1, 2}, 5, NoOp, 5, {5, 6, 6, 1, 2}},
        SegmentCase{"runPastEndIsCutButCounted", {0xF9, 4}, 3, NoOp, 8, {4, 4, 4}},
        SegmentCase{"literalCutByInput", {0x04, 1, 2}, 5, NoOp, 5, {1, 2, U, U, U}},
        SegmentCase{"replicateWithoutByte", {0x01, 8, 9, 0xFE}, 4, NoOp, 5, {8, 9, U, U}},
        SegmentCase{"stopsWhenFull", {0x00, 1, 0x00, 2}, 1, NoOp, 1, {1}},
        // The old reading: 0x00 is written 127 + 2 times, then read as "copy 1 byte" at 127.
        SegmentCase{"legacyCounts127AndRereadsItsByte", {0x80, 0x00, 9}, 129, Legacy, 128,
                    [] { Bytes b(129, 0); b[127] = 9; return b; }()},
        SegmentCase{"legacyWrites129", {0x80, 0x05}, 130, Legacy, 133,
                    [] { Bytes b(129, 5); b.push_back(U); return b; }()}),
    [](const auto& info) { return std::string(info.param.name); });

struct FrameCase {
    const char* name;
    std::vector<Bytes> segments;
    RleFrameShape shape;
    Bytes expected;
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

class RleFrame : public testing::TestWithParam<FrameCase> {};

TEST_P(RleFrame, DecodesIntoPlanes)
{
    const auto& c = GetParam();
    const auto out = decodeRleFrame(rleFrame(c.segments), c.shape);
    ASSERT_TRUE(out) << out.error().detail;
    EXPECT_EQ(*out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RleFrame,
    testing::Values(
        FrameCase{"eightBitGreyIsOnePlane", {{0xFD, 9, 0x01, 1, 2}}, {2, 3, 1, 1}, {9, 9, 9, 9, 1, 2}},
        // Segment 1 is 3 bytes and padded; read as one stream the pad (0x00, copy one byte) would shift green.
        FrameCase{"oddSegmentPadIsNotAControlByte", {{0x01, 10, 11}, {0xFF, 20}, {0x01, 30, 31}}, {1, 2, 3, 1},
                  {10, 11, 20, 20, 30, 31}},
        // Samples 0x1234, 0xABCD: segment 1 the high bytes, segment 2 the low bytes; out little endian.
        FrameCase{"sixteenBitSegmentsAreHighByteFirst", {{0x01, 0x12, 0xAB}, {0x01, 0x34, 0xCD}}, {1, 2, 1, 2},
                  {0x34, 0x12, 0xCD, 0xAB}},
        FrameCase{"shortSegmentKeepsWhatItDecoded", {{0x00, 1}}, {2, 2, 1, 1}, {1, 0, 0, 0}},
        FrameCase{"emptySegmentLeavesItsPlaneZero", {{0x01, 1, 2}, {}, {0x01, 5, 6}}, {1, 2, 3, 1}, {1, 2, 0, 0, 5, 6}},
        FrameCase{"shortCountRereadsTheOldWay", {{0x80, 0x03, 9, 9, 9, 9}}, {1, 128, 1, 1},
                  [] { Bytes b(127, 3); b.push_back(9); return b; }()},
        FrameCase{"longCountRereadsTheOldWay", {{0x80, 0xFE, 7}}, {1, 2, 1, 1}, {0xFE, 0xFE}},
        FrameCase{"atTheExpansionLimit", {{0x81, 7}}, {1, 256, 1, 1},
                  [] { Bytes b(256, 0); std::fill_n(b.begin(), 128, 7); return b; }()}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadFrameCase {
    const char* name;
    Bytes frame;
    RleFrameShape shape;
    dicom::DicomError error;
};

Bytes withHeaderWord(Bytes frame, std::size_t word, std::uint32_t v)
{
    for (int b = 0; b < 4; ++b)
        frame[word * 4 + b] = static_cast<std::uint8_t>(v >> (8 * b));
    return frame;
}

void PrintTo(const BadFrameCase& c, std::ostream* os) { *os << c.name; }

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
        BadFrameCase{"headerCut", Bytes(63, 0), {1, 1, 1, 1}, dicom::DicomError::Corrupted},
        BadFrameCase{"segmentCountDiffers", twoSegments, {1, 1, 1, 1}, dicom::DicomError::Corrupted},
        BadFrameCase{"tooManySegments", withHeaderWord(twoSegments, 0, 16), {1, 1, 1, 2}, dicom::DicomError::Corrupted},
        BadFrameCase{"offsetInsideHeader", withHeaderWord(twoSegments, 1, 10), {1, 1, 1, 2}, dicom::DicomError::Corrupted},
        BadFrameCase{"offsetsDescend", withHeaderWord(twoSegments, 1, 67), {1, 1, 1, 2}, dicom::DicomError::Corrupted},
        BadFrameCase{"offsetPastFragment", withHeaderWord(twoSegments, 2, 1000), {1, 1, 1, 2}, dicom::DicomError::Corrupted},
        // 2 bytes of segment yield at most 256 bytes.
        BadFrameCase{"moreThanSegmentsCanYield", rleFrame({{0x81, 7}}), {1, 257, 1, 1}, dicom::DicomError::Corrupted},
        BadFrameCase{"hugeShape", rleFrame({{0x00, 1}}), {0xFFFFFFFF, 0xFFFFFFFF, 1, 1}, dicom::DicomError::Corrupted},
        BadFrameCase{"threeBytesPerSample", twoSegments, {1, 1, 1, 3}, dicom::DicomError::UnsupportedFormat}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
