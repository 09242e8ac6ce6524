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

struct PlacementCase {
    const char* name;
    Coding coding;
    std::uint32_t streamWidth, streamHeight;
    std::uint32_t columns, rows;
    std::optional<CodecError> error;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::uint8_t> makeStream(Coding coding, std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint16_t> samples(std::size_t(width) * height);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint16_t>((i * 37) % (coding == Coding::Lossless12 ? 4096 : 256));
    if (coding != Coding::Dct8) {
        test::EncodeOptions options;
        options.width = width;
        options.height = height;
        options.precision = coding == Coding::Lossless12 ? 12 : 8;
        return test::encodeLossless(options, samples);
    }
    const fs::path path = fs::path(testing::TempDir()) / ("placement-" + std::to_string(::getpid()) + ".jpg");
    std::vector<std::uint8_t> grey(samples.begin(), samples.end());
    EXPECT_TRUE(JpegAdapter::writeFile(path, grey, width, height, PictureColour::Grey, 90).has_value());
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

TEST_P(JpegPlacement, PutsTheStreamTopLeftOverBlackOrCropsIt)
{
    const auto& c = GetParam();
    const auto stream = makeStream(c.coding, c.streamWidth, c.streamHeight);
    FrameParams own;
    own.columns = c.streamWidth;
    own.rows = c.streamHeight;
    own.bitsAllocated = own.bitsStored = c.coding == Coding::Lossless12 ? 16 : 8;
    std::vector<std::uint8_t> reference;
    ASSERT_TRUE(decodeJpegFrame(stream, own, reference).has_value());

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
    EXPECT_TRUE(placement.placed);
    EXPECT_EQ(placement.streamWidth, c.streamWidth);
    EXPECT_EQ(placement.streamHeight, c.streamHeight);
    ASSERT_EQ(frame.size(), params.frameBytes());
    const bool wide = params.bitsAllocated == 16;
    for (std::uint32_t y = 0; y < c.rows; ++y) {
        for (std::uint32_t x = 0; x < c.columns; ++x) {
            const bool inside = x < c.streamWidth && y < c.streamHeight;
            const std::uint16_t want = inside ? sampleAt(reference, std::size_t(y) * c.streamWidth + x, wide) : 201;
            ASSERT_EQ(sampleAt(frame, std::size_t(y) * c.columns + x, wide), want) << "at " << x << ", " << y;
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
        PlacementCase { "lossless_under_a_sixteenth", Coding::Lossless8, 3, 4, 16, 16, CodecError::Corrupt }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace codecs
