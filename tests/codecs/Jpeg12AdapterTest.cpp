// Bad 12-bit DCT streams through the frame decoder: each is refused with the
// right code and the library's own text (or decoded with its warning), a
// forged size is refused before the frame is allocated, and a larger stream
// is decoded as far as the frame reaches. The stream is a real
// 12-bit CT frame from the test data, altered byte by byte.

#include "codecs/JpegFrameDecoder.h"
#include "tests/codecs/DicomFragments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

namespace codecs {
namespace {

using Stream = std::vector<std::uint8_t>;

struct BadCase {
    const char* name;
    std::function<void(Stream&, FrameParams&)> alter;
    std::optional<CodecError> error; // none: decodes with the warning below
    const char* text;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

std::size_t sofOffset(const Stream& s)
{
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == 0xFF && s[i + 1] == 0xC1)
            return i;
    return 0;
}

// SOF1: FF C1, Lf (2), P, Y (2), X (2).
void forgeSize(Stream& s, std::uint16_t width, std::uint16_t height)
{
    const std::size_t sof = sofOffset(s);
    s[sof + 5] = std::uint8_t(height >> 8);
    s[sof + 6] = std::uint8_t(height);
    s[sof + 7] = std::uint8_t(width >> 8);
    s[sof + 8] = std::uint8_t(width);
}

class TwelveBitBadStream : public testing::TestWithParam<BadCase> {};

TEST_P(TwelveBitBadStream, FailsWithCodeAndText)
{
    const auto file = std::filesystem::path(TV_TESTDATA_DIR) / "jpeg-lossy/extended-12bit-ct.dcm";
    if (!std::filesystem::exists(file))
        GTEST_SKIP() << "test data not found: " << file;
    auto image = test::readDicomImage(file.string());
    ASSERT_TRUE(image && !image->frameStreams.empty());
    Stream stream(image->frameStreams[0].begin(), image->frameStreams[0].end());
    ASSERT_NE(sofOffset(stream), 0u);
    FrameParams params;
    params.rows = params.columns = 512;
    params.bitsAllocated = 16;
    params.bitsStored = 12;
    GetParam().alter(stream, params);

    std::vector<std::uint8_t> frame;
    auto result = decodeJpegFrame(stream, params, frame);
    if (!GetParam().error) {
        ASSERT_TRUE(result.has_value()) << result.error().detail;
        EXPECT_EQ(result->size() == 1 ? result->front() : "", GetParam().text);
        return;
    }
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().code, *GetParam().error);
    EXPECT_EQ(result.error().detail, GetParam().text);
    EXPECT_EQ(frame.capacity(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Streams, TwelveBitBadStream,
    testing::Values(
        BadCase { "forged_60000_square", [](Stream& s, FrameParams& p) { forgeSize(s, 60000, 60000); p.rows = p.columns = 60000; },
            CodecError::Unsupported, "JPEG picture too large" },
        // The frame's 512 rows of a 60000-wide stream are more than 16 frames' worth.
        BadCase { "forged_far_wider_than_image", [](Stream& s, FrameParams&) { forgeSize(s, 60000, 60000); },
            CodecError::Corrupt, "JPEG frame size does not match the image attributes (60000 x 60000 x 1)" },
        // Only the frame's part of a larger stream is decoded; the data runs out in it.
        BadCase { "forged_larger_than_image", [](Stream& s, FrameParams&) { forgeSize(s, 4096, 4096); },
            std::nullopt, "Corrupt JPEG data: premature end of data segment" },
        BadCase { "cut_after_frame_header", [](Stream& s, FrameParams&) { s.resize(sofOffset(s) + 2 + 11); },
            CodecError::Corrupt, "Invalid JPEG file structure: missing SOS marker" },
        BadCase { "cut_in_scan", [](Stream& s, FrameParams&) { s.resize(s.size() / 2); },
            std::nullopt, "Premature end of JPEG file" },
        BadCase { "precision_13", [](Stream& s, FrameParams&) { s[sofOffset(s) + 4] = 13; },
            CodecError::Corrupt, "Unsupported JPEG data precision 13" },
        BadCase { "eight_bits_allocated", [](Stream&, FrameParams& p) { p.bitsAllocated = p.bitsStored = 8; },
            CodecError::Unsupported, "12-bit lossy JPEG frames need 16 bits allocated" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace codecs
