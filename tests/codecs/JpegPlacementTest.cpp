// JPEG streams of another size than the image's: a smaller one lands in the
// top-left corner over the caller's black, a larger one is cropped, through
// the library and through our lossless decoder alike; one far too small for
// the frame is refused before anything is allocated.

#include "codecs/JpegAdapter.h"
#include "codecs/JpegFrameDecoder.h"
#include "tests/codecs/LosslessJpegEncoder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace codecs {
namespace {

namespace fs = std::filesystem;

enum class Coding { Dct8, Lossless8, Lossless12 };

// How a lossless stream is laid out beyond its size.
struct Layout {
    int components = 1;
    std::uint32_t restartRows = 0;
    bool scanPerComponent = false;
};

struct PlacementCase {
    const char* name;
    Coding coding;
    std::uint32_t streamWidth, streamHeight;
    std::uint32_t columns, rows;
    std::optional<CodecError> error;
    Layout layout {};
    // The stream's frame header claims this size instead (0: its own), as
    // forged and damaged files do.
    std::uint32_t claimedWidth = 0, claimedHeight = 0;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::uint8_t> makeStream(Coding coding, std::uint32_t width, std::uint32_t height, const Layout& layout = {})
{
    std::vector<std::uint16_t> samples(std::size_t(width) * height * layout.components);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint16_t>((i * 37) % (coding == Coding::Lossless12 ? 4096 : 256));
    if (coding != Coding::Dct8) {
        test::EncodeOptions options;
        options.width = width;
        options.height = height;
        options.precision = coding == Coding::Lossless12 ? 12 : 8;
        options.components = layout.components;
        options.restartRows = layout.restartRows;
        options.scanPerComponent = layout.scanPerComponent;
        return test::encodeLossless(options, samples);
    }
    const fs::path path = fs::path(testing::TempDir()) / ("placement-" + std::to_string(::getpid()) + ".jpg");
    std::vector<std::uint8_t> bytes8(samples.begin(), samples.end());
    // The library's colour default subsamples chroma 2 x 2.
    const PictureColour colour = layout.components == 3 ? PictureColour::Rgb : PictureColour::Grey;
    EXPECT_TRUE(JpegAdapter::writeFile(path, bytes8, width, height, colour, 90).has_value());
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    fs::remove(path);
    return bytes;
}

std::uint16_t sampleAt(const std::vector<std::uint8_t>& frame, std::size_t index, bool wide)
{
    if (!wide)
        return frame[index];
    std::uint16_t sample = 0;
    std::memcpy(&sample, &frame[index * 2], 2);
    return sample;
}

class JpegPlacement : public testing::TestWithParam<PlacementCase> {};

// Writes width and height into the stream's frame header (T.81 B.2.2: P, Y, X).
void claimSize(std::vector<std::uint8_t>& stream, std::uint32_t width, std::uint32_t height)
{
    for (std::size_t i = 2; i + 8 < stream.size(); ++i) {
        if (stream[i] == 0xFF && (stream[i + 1] == 0xC0 || stream[i + 1] == 0xC3)) {
            stream[i + 5] = std::uint8_t(height >> 8);
            stream[i + 6] = std::uint8_t(height);
            stream[i + 7] = std::uint8_t(width >> 8);
            stream[i + 8] = std::uint8_t(width);
            return;
        }
    }
    ADD_FAILURE() << "no frame header";
}

TEST_P(JpegPlacement, PutsTheStreamTopLeftOverBlackOrCropsIt)
{
    const auto& c = GetParam();
    auto stream = makeStream(c.coding, c.streamWidth, c.streamHeight, c.layout);
    FrameParams own;
    own.columns = c.streamWidth;
    own.rows = c.streamHeight;
    own.samplesPerPixel = static_cast<std::uint16_t>(c.layout.components);
    own.bitsAllocated = own.bitsStored = c.coding == Coding::Lossless12 ? 16 : 8;
    std::vector<std::uint8_t> reference;
    ASSERT_TRUE(decodeJpegFrame(stream, own, reference).has_value());
    if (c.claimedWidth)
        claimSize(stream, c.claimedWidth, c.claimedHeight);

    FrameParams params = own;
    params.columns = c.columns;
    params.rows = c.rows;
    FramePlacement placement;
    placement.black[0] = 201;
    std::vector<std::uint8_t> frame;
    auto result = decodeJpegFrame(stream, params, frame, &placement);
    if (c.error) {
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().code, *c.error);
        EXPECT_EQ(frame.capacity(), 0u);
        return;
    }
    ASSERT_TRUE(result.has_value()) << result.error().detail;
    // Whole streams decode without a word: the rows passed over end no scan early.
    if (!c.claimedWidth) {
        EXPECT_EQ(*result, std::vector<std::string> {});
    }
    EXPECT_TRUE(placement.placed);
    EXPECT_EQ(placement.streamWidth, c.claimedWidth ? c.claimedWidth : c.streamWidth);
    EXPECT_EQ(placement.streamHeight, c.claimedHeight ? c.claimedHeight : c.streamHeight);
    ASSERT_EQ(frame.size(), params.frameBytes());
    const bool wide = params.bitsAllocated == 16;
    const std::size_t n = std::size_t(c.layout.components);
    for (std::uint32_t y = 0; y < c.rows; ++y) {
        for (std::uint32_t x = 0; x < c.columns; ++x) {
            for (std::size_t k = 0; k < n; ++k) {
                const bool inside = x < c.streamWidth && y < c.streamHeight;
                const std::size_t from = (std::size_t(y) * c.streamWidth + x) * n + k;
                const std::uint16_t want = inside ? sampleAt(reference, from, wide) : k == 0 ? 201 : 0;
                ASSERT_EQ(sampleAt(frame, (std::size_t(y) * c.columns + x) * n + k, wide), want)
                    << "at " << x << ", " << y << " sample " << k;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, JpegPlacement,
    testing::Values(PlacementCase { "dct_narrower", Coding::Dct8, 11, 16, 16, 16, {} },
        PlacementCase { "dct_larger_cropped", Coding::Dct8, 24, 20, 16, 16, {} },
        PlacementCase { "lossless_shorter", Coding::Lossless8, 9, 5, 9, 8, {} },
        PlacementCase { "lossless12_narrower_and_taller", Coding::Lossless12, 4, 12, 10, 10, {} },
        PlacementCase { "lossless_sixteenth", Coding::Lossless8, 4, 4, 16, 16, {} },
        PlacementCase { "dct_under_a_sixteenth", Coding::Dct8, 8, 8, 33, 32, CodecError::Corrupt },
        PlacementCase { "lossless_under_a_sixteenth", Coding::Lossless8, 3, 4, 16, 16, CodecError::Corrupt },
        // Larger streams: only the frame's rows and columns are decoded.
        PlacementCase { "dct_wider_and_shorter", Coding::Dct8, 200, 8, 16, 16, {} },
        PlacementCase { "dct_subsampled_colour_larger", Coding::Dct8, 64, 48, 22, 20, {}, { 3, 0, false } },
        // A forged header reads the 16-pixel first row of a 16 x 16 stream as its own.
        PlacementCase { "dct_far_larger_claimed", Coding::Dct8, 16, 16, 16, 1, {}, {}, 32768, 32768 },
        PlacementCase { "lossless_larger_each_way", Coding::Lossless8, 40, 30, 16, 16, {} },
        PlacementCase { "lossless_taller_whole_rows", Coding::Lossless8, 16, 40, 16, 16, {} },
        PlacementCase { "lossless12_larger", Coding::Lossless12, 30, 30, 10, 10, {} },
        PlacementCase { "lossless_larger_with_restarts", Coding::Lossless8, 20, 12, 8, 5, {}, { 1, 2, false } },
        PlacementCase { "lossless_larger_scan_per_component", Coding::Lossless8, 12, 9, 7, 4, {}, { 3, 2, true } },
        PlacementCase { "lossless_far_larger_claimed", Coding::Lossless12, 16, 16, 16, 1, {}, {}, 16384, 16384 },
        // A stream so wide that the frame's rows alone are far more than the frame.
        PlacementCase { "dct_rows_too_wide", Coding::Dct8, 16, 16, 1, 300, CodecError::Corrupt, {}, 65535, 300 },
        PlacementCase { "lossless_rows_too_wide", Coding::Lossless8, 8, 8, 2, 300, CodecError::Corrupt, {}, 65535, 300 }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace codecs
