#include "imaging/WindowMapping.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/FrameImage.h"

namespace imaging {
namespace {

Level16 level16(std::vector<std::int16_t> samples, std::int32_t width, Window window, bool isSigned = false)
{
    Level16 level;
    level.width = width;
    level.height = static_cast<std::int32_t>(samples.size()) / width;
    const SampleRange range = scanSamples16(samples);
    level.min = range.min;
    level.max = range.max;
    level.isSigned = isSigned || range.isSigned;
    level.window = window;
    level.pixels = std::move(samples);
    return level;
}

std::vector<std::uint8_t> topDownIndices(const DisplayBitmap& bitmap)
{
    std::vector<std::uint8_t> out;
    for (std::int32_t y = 0; y < bitmap.height(); ++y)
        out.insert(out.end(), bitmap.imageRow(y), bitmap.imageRow(y) + bitmap.width());
    return out;
}

TEST(SampleScan, KeepsEverySampleAndCountsLargeOnesInTheMaximum)
{
    const std::vector<std::int16_t> samples{100, 16383, 32767, -16384, -32768, 5};
    auto frame = FrameImage::fromSamples16(samples, 3, 2, Window{});
    ASSERT_TRUE(frame);
    const Level16& level = frame->image16()->topLevel();
    EXPECT_EQ(level.pixels, samples); // nothing overwritten by the scan
    EXPECT_EQ(level.max, 32767);
    EXPECT_EQ(level.min, 5);          // -16384 and below are padding
    EXPECT_FALSE(level.isSigned);
    EXPECT_EQ(frame->backgroundFill16(), 5);
}

TEST(SampleScan, Ranges)
{
    struct Case {
        const char* name;
        std::vector<std::int16_t> samples;
        SampleRange expected;
    };
    const Case cases[] = {
        {"flat", {100, 100, 100}, {100, 100, false}},
        {"signed", {-1000, 0, 3000}, {-1000, 3000, true}},
        {"lowest counted minimum", {-16383, -16384, 10}, {-16383, 10, true}},
        {"only padding takes the true minimum", {-32768, -20000}, {-32768, -20000, true}},
        {"all large", {16383, 20000}, {16383, 20000, false}},
    };
    for (const Case& c : cases) {
        const SampleRange r = scanSamples16(c.samples);
        EXPECT_EQ(r.min, c.expected.min) << c.name;
        EXPECT_EQ(r.max, c.expected.max) << c.name;
        EXPECT_EQ(r.isSigned, c.expected.isSigned) << c.name;
    }
}

TEST(InitialWindow, RampClampAndKeep)
{
    struct Case {
        const char* name;
        SampleRange range;
        Window given;
        GivenWindow rule;
        Window expected;
    };
    const Case cases[] = {
        {"no window: full range", {0, 4095, false}, {}, GivenWindow::Clamp, {2048, 4096}},
        {"flat frame", {100, 100, false}, {}, GivenWindow::Clamp, {100, 1}},
        {"overlapping window is kept", {0, 1000, false}, {900, 200}, GivenWindow::Clamp, {900, 200}},
        {"soft tissue on CT padded with -3024", {-3024, 3071, true}, {40, 400}, GivenWindow::Clamp, {40, 400}},
        {"window ending at the maximum is kept", {0, 1000, false}, {1200, 400}, GivenWindow::Clamp, {1200, 400}},
        {"window above the maximum is lowered", {0, 1000, false}, {1201, 400}, GivenWindow::Clamp, {500, 400}},
        {"lowered and cut", {-20, 1000, true}, {9000, 3000}, GivenWindow::Clamp, {490, 1021}},
        {"width beyond the range is cut", {0, 1000, false}, {300, 5000}, GivenWindow::Clamp, {300, 1001}},
        {"batch keeps the given window", {0, 1000, false}, {900, 5000}, GivenWindow::Keep, {900, 5000}},
        {"wide range does not wrap", {-32768, 32767, true}, {}, GivenWindow::Clamp, {0, 65536}},
        {"width at least 1", {0, 1000, false}, {400, -20}, GivenWindow::Clamp, {400, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(initialWindow16(c.range, c.given, c.rule), c.expected) << c.name;
}

TEST(SetWindowClamp, Cases)
{
    struct Case {
        const char* name;
        Window requested;
        std::int32_t min, max;
        Window expected;
    };
    const Case cases[] = {
        {"centre above max", {5000, 100}, 0, 4095, {4095, 100}},
        {"width above twice the range", {100, 9000}, 0, 4095, {100, 8191}},
        {"twice a wide range does not wrap", {0, 200000}, -32768, 32767, {0, 131071}},
        {"width below 1", {10, 0}, 0, 255, {10, 1}},
        {"8-bit limits", {300, 600}, 0, 255, {255, 511}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clampWindow(c.requested, c.min, c.max), c.expected) << c.name;
}

TEST(Mapping16, RampOfTwelveBits)
{
    std::vector<std::int16_t> ramp(4096);
    for (int i = 0; i < 4096; ++i)
        ramp[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
    auto frame = FrameImage::fromSamples16(ramp, 64, 64, Window{});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->window(), (Window{2048, 4096}));
    const MappingBounds b = mappingBounds16(frame->window(), 0, 4095, false);
    EXPECT_EQ(b.low, 0);
    EXPECT_EQ(b.high, 4096);
    const auto indices = topDownIndices(*frame->displayBitmap());
    EXPECT_EQ(indices[8], 0);
    EXPECT_EQ(indices[9], 1);
    EXPECT_EQ(indices[4095], 255);
}

TEST(Mapping16, Bounds)
{
    struct Case {
        const char* name;
        Window window;
        std::int32_t min, max;
        bool isSigned;
        std::int64_t low, high;
    };
    const Case cases[] = {
        {"flat frame", {100, 1}, 100, 100, false, 100, 101},
        {"unsigned 40/400", {40, 400}, 0, 4095, false, 0, 240},
        {"signed keeps a negative low", {40, 400}, -10, 4095, true, -160, 240},
        {"unsigned window below 0 does not invert", {-300, 100}, 0, 4095, false, 0, 1},
        {"ramp", {0, 0}, -5, 70, true, -5, 70},
        {"even and odd widths alike", {100, 51}, 0, 4095, false, 75, 125},
    };
    for (const Case& c : cases) {
        const MappingBounds b = mappingBounds16(c.window, c.min, c.max, c.isSigned);
        EXPECT_EQ(b.low, c.low) << c.name;
        EXPECT_EQ(b.high, c.high) << c.name;
    }
}

TEST(Mapping16, FlatFrameMapsToZero)
{
    auto frame = FrameImage::fromSamples16(std::vector<std::int16_t>(12, 100), 4, 3, Window{});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->window(), (Window{100, 1}));
    for (std::uint8_t v : topDownIndices(*frame->displayBitmap()))
        EXPECT_EQ(v, 0);
}

TEST(Mapping16, UnsignedWindowBelowZeroStaysRising)
{
    // Before the fix high < low made (v - low) / (high - low) negative for
    // every sample, so bright became dark.
    const Level16 level = level16({0, 500, 4000}, 3, Window{-300, 100});
    auto bitmap = buildDisplayBitmap(level, level.window, PaletteTable::grayscale());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(topDownIndices(*bitmap), (std::vector<std::uint8_t>{0, 255, 255}));
}

TEST(Mapping16, TableMatchesTheFormulaForRandomWindows)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::uniform_int_distribution<int> centre(-40000, 40000);
    std::uniform_int_distribution<int> width(-10, 140000);
    std::vector<std::int16_t> samples(4096);
    for (auto& s : samples)
        s = static_cast<std::int16_t>(sample(random));
    samples[0] = -32768;
    samples[1] = 32767;
    for (int trial = 0; trial < 200; ++trial) {
        const Window window{centre(random), width(random)};
        const bool isSigned = trial % 2 == 0;
        Level16 level = level16(samples, 64, window, isSigned);
        auto bitmap = buildDisplayBitmap(level, window, PaletteTable::grayscale());
        ASSERT_TRUE(bitmap);
        const auto indices = topDownIndices(*bitmap);
        const MappingBounds b = mappingBounds16(window, level.min, level.max, level.isSigned);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double t = static_cast<double>(samples[i] - b.low) / static_cast<double>(b.high - b.low);
            const long long expected = std::clamp<long long>(static_cast<long long>(t * 255.0 + 0.5), 0, 255);
            ASSERT_EQ(indices[i], expected) << "centre " << window.centre << " width " << window.width;
        }
    }
}

TEST(Mapping8, BoundsAndIdentity)
{
    struct Case {
        const char* name;
        Window window;
        std::int64_t low, high;
    };
    const Case cases[] = {
        {"initial window is the identity", {128, 256}, 0, 255},
        {"ramp", {0, 0}, 0, 255},
        {"low clamped to 254", {300, 2}, 254, 255},
        {"high clamped to 1", {-50, 10}, 0, 1},
        {"centre below 0 in signed arithmetic", {-10, 100}, 0, 40},
        {"single value", {100, 1}, 100, 101},
    };
    for (const Case& c : cases) {
        const MappingBounds b = mappingBounds8(c.window, 0, 255);
        EXPECT_EQ(b.low, c.low) << c.name;
        EXPECT_EQ(b.high, c.high) << c.name;
    }
    const auto table = mappingTable8(mappingBounds8(Window{128, 256}, 0, 255));
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(table[static_cast<std::size_t>(s)], s);
}

TEST(Mapping8, RgbRowsAreBgrBottomUpWithZeroPadding)
{
    // 2 x 2 RGB: the stride is 8 (6 bytes and 2 of padding).
    const std::vector<std::uint8_t> rgb{1, 2, 3, 4, 5, 6, /* row 1 */ 7, 8, 9, 10, 11, 12};
    auto frame = FrameImage::fromSamples8(rgb, SampleKind::Rgb, 2, 2);
    ASSERT_TRUE(frame);
    const DisplayBitmap& bitmap = *frame->displayBitmap();
    EXPECT_EQ(bitmap.bitsPerPixel(), 24);
    EXPECT_EQ(bitmap.stride(), 8u);
    const std::vector<std::uint8_t> rows(bitmap.pixelRows().begin(), bitmap.pixelRows().end());
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0}));
}

} // namespace
} // namespace imaging
