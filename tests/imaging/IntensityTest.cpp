#include "imaging/Intensity.h"

#include <gtest/gtest.h>

#include "imaging/FrameImage.h"
#include "tests/imaging/OperationTestLevels.h"

namespace imaging {
namespace {

using namespace imaging::testing;

template<typename Level>
Level valueOf(imaging::Result<Level> result)
{
    EXPECT_TRUE(result.has_value()) << (result ? "" : result.error().detail);
    return result ? std::move(result).value() : Level{};
}

std::vector<std::uint8_t> allBytes()
{
    std::vector<std::uint8_t> v(256);
    for (int i = 0; i < 256; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return v;
}

const Level8 kRamp8 = level8(SampleKind::Grey, 16, 16, allBytes());

TEST(Intensity, InvertingTwiceRestoresEverySample)
{
    FrameImage grey = greyImage(16, 16, allBytes());
    FrameImage rgb = rgbImage(5, 3, randomLevel8(SampleKind::Rgb, 5, 3, 1).pixels);
    FrameImage ct = image16(7, 5, randomLevel16(7, 5, 2, -900, 3000).pixels);
    for (FrameImage* frame : {&grey, &rgb, &ct}) {
        const FrameImage& f = *frame;
        const auto before = f.sampleDepth() == 8 ? f.image8()->topLevel().pixels.size() : 0u;
        ASSERT_TRUE(invert(*frame));
        ASSERT_TRUE(invert(*frame));
        if (f.sampleDepth() == 8)
            EXPECT_EQ(f.image8()->topLevel().pixels, f.image8()->level(0).pixels) << before;
        else
            EXPECT_EQ(f.image16()->topLevel().pixels, f.image16()->level(0).pixels);
    }
    EXPECT_EQ(grey.image8()->level(1).pixels[0], 255);
    EXPECT_EQ(grey.image8()->level(1).pixels[200], 55);
}

TEST(Intensity, SixteenBitInvertMirrorsInsideTheWindow)
{
    // Centre 40, width 400 over data 0..4095: hi = min(4095, 241), lo = max(0, -160).
    std::vector<std::int16_t> samples{0, 241, 100, 4095};
    const Level16 ct = level16(2, 2, samples, 0, 4095, Window{40, 400});
    EXPECT_EQ(valueOf(invert(ct, WorkArea::whole(2, 2))).pixels, (std::vector<std::int16_t>{241, 0, 141, -3854}));

    FrameImage frame = image16(2, 2, samples, Window{40, 400});
    ASSERT_EQ(frame.window(), (Window{40, 400}));
    ASSERT_TRUE(invert(frame));
    EXPECT_EQ(frame.image16()->topLevel().pixels, (std::vector<std::int16_t>{241, 0, 141, -3854}));
}

TEST(Intensity, SixteenBitInvertClampsInsteadOfWrapping)
{
    const Level16 wide = level16(3, 1, {-32768, 0, 32767}, -30000, 30000, Window{0, 60000});
    // hi + lo = 0: -(-32768) does not fit 16 bits and is held at 32767.
    EXPECT_EQ(valueOf(invert(wide, WorkArea::whole(3, 1))).pixels, (std::vector<std::int16_t>{32767, 0, -32767}));
}

TEST(Intensity, BrightnessAddsAShareOfTheRange)
{
    // r = 2.55: trunc(10 r + 0.5 + v) = v + 26.
    const Level8 brighter = valueOf(brightnessContrast(kRamp8, WorkArea::whole(16, 16), 10, 0));
    for (int v = 0; v < 256; ++v)
        ASSERT_EQ(brighter.pixels[static_cast<std::size_t>(v)], std::min(v + 26, 255)) << v;
    const Level8 darker = valueOf(brightnessContrast(kRamp8, WorkArea::whole(16, 16), -10, 0));
    EXPECT_EQ(darker.pixels[0], 0);
    EXPECT_EQ(darker.pixels[100], 75); // trunc(-25.5 + 0.5 + 100)
}

TEST(Intensity, ContrastSqueezesOrWidensTheRange)
{
    struct Case {
        std::int32_t contrast;
        std::uint8_t v;
        std::uint8_t expected;
    };
    // k = -50: c = -63, the range 0..255 squeezed to 63..192.
    // k = 50: c = 64, squeezed to 64..191, then stretched to -64..319 and clamped.
    const Case cases[] = {
        {-50, 0, 63}, {-50, 255, 192}, {-50, 128, 128}, {50, 0, 0}, {50, 100, 87}, {50, 128, 129}, {50, 255, 255},
    };
    for (const Case& c : cases) {
        const Level8 out = valueOf(brightnessContrast(kRamp8, WorkArea::whole(16, 16), 0, c.contrast));
        EXPECT_EQ(out.pixels[c.v], c.expected) << "contrast " << c.contrast << " value " << int(c.v);
    }
}

TEST(Intensity, NeutralBrightnessContrastStillRecordsALevel)
{
    FrameImage frame = greyImage(16, 16, allBytes());
    ASSERT_TRUE(brightnessContrast(frame, 0, 0));
    EXPECT_EQ(frame.image8()->levelCount(), 1u);
    EXPECT_EQ(frame.image8()->topLevel().pixels, frame.image8()->level(0).pixels);
}

TEST(Intensity, ThresholdModes)
{
    struct Case {
        const char* what;
        std::int32_t lower, upper;
        ThresholdMode mode;
        std::vector<std::uint8_t> expected; // for the samples 0, 50, 100, 150, 255
    };
    const Case cases[] = {
        {"keep", 50, 150, ThresholdMode::KeepValues, {0, 50, 100, 150, 0}},
        {"window", 50, 150, ThresholdMode::ApplyWindow, {0, 0, 127, 255, 0}},
        {"black and white", 50, 150, ThresholdMode::BlackAndWhite, {0, 255, 255, 255, 0}},
        {"stretch over the range", 0, 255, ThresholdMode::Stretch, {0, 50, 100, 150, 255}},
        {"stretch narrow", 100, 200, ThresholdMode::Stretch, {100, 119, 139, 158, 200}},
        {"stretch reversed", 200, 100, ThresholdMode::Stretch, {200, 180, 160, 141, 100}},
        {"reversed keep", 150, 50, ThresholdMode::KeepValues, {0, 0, 0, 0, 0}},
        {"reversed window", 150, 50, ThresholdMode::ApplyWindow, {0, 0, 0, 0, 0}},
        {"reversed black and white", 150, 50, ThresholdMode::BlackAndWhite, {0, 0, 0, 0, 0}},
        {"equal limits window", 100, 100, ThresholdMode::ApplyWindow, {0, 0, 255, 0, 0}},
    };
    const Level8 five = level8(SampleKind::Grey, 5, 1, {0, 50, 100, 150, 255});
    for (const Case& c : cases)
        EXPECT_EQ(valueOf(threshold(five, WorkArea::whole(5, 1), c.lower, c.upper, c.mode)).pixels, c.expected)
            << c.what;
}

TEST(Intensity, SixteenBitThresholdUsesTheLevelRange)
{
    const Level16 ct = level16(4, 1, {0, 150, 200, 1000}, 0, 1000);
    const WorkArea all = WorkArea::whole(4, 1);
    EXPECT_EQ(valueOf(threshold(ct, all, 100, 300, ThresholdMode::ApplyWindow)).pixels,
              (std::vector<std::int16_t>{0, 250, 500, 0}));
    EXPECT_EQ(valueOf(threshold(ct, all, 100, 300, ThresholdMode::BlackAndWhite)).pixels,
              (std::vector<std::int16_t>{0, 1000, 1000, 0}));
    EXPECT_EQ(valueOf(threshold(ct, all, 100, 300, ThresholdMode::Stretch)).pixels,
              (std::vector<std::int16_t>{100, 130, 140, 300}));
    EXPECT_EQ(valueOf(threshold(ct, all, 7, 7, ThresholdMode::ApplyWindow)).pixels,
              (std::vector<std::int16_t>{0, 0, 0, 0}));

    // A flat image has no range to stretch: samples go to lower (inside the range).
    const Level16 flat = level16(2, 1, {500, 500}, 500, 500);
    EXPECT_EQ(valueOf(threshold(flat, WorkArea::whole(2, 1), 500, 900, ThresholdMode::Stretch)).pixels,
              (std::vector<std::int16_t>{500, 500}));
    EXPECT_EQ(valueOf(threshold(flat, WorkArea::whole(2, 1), 500, 500, ThresholdMode::ApplyWindow)).pixels,
              (std::vector<std::int16_t>{500, 500}));
}

TEST(Intensity, RgbThresholdTestsTheRoundedLuma)
{
    // Lumas: (200, 0, 0) 59.8 -> 60; (0, 0, 255) 29.07 -> 29.
    const Level8 rgb = level8(SampleKind::Rgb, 2, 1, {200, 0, 0, 0, 0, 255});
    const WorkArea all = WorkArea::whole(2, 1);
    EXPECT_EQ(valueOf(threshold(rgb, all, 60, 100, ThresholdMode::BlackAndWhite)).pixels,
              (std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(valueOf(threshold(rgb, all, 50, 250, ThresholdMode::ApplyWindow)).pixels,
              (std::vector<std::uint8_t>{191, 0, 0, 0, 0, 0}));
}

TEST(Intensity, UnknownThresholdModeRecordsNothing)
{
    FrameImage frame = greyImage(2, 2, {1, 2, 3, 4});
    EXPECT_FALSE(threshold(frame, 0, 10, static_cast<ThresholdMode>(4)));
    EXPECT_FALSE(threshold(frame, 0, 10, static_cast<ThresholdMode>(-1)));
    EXPECT_EQ(frame.lastError(), ImagingError::InvalidParameters);
    EXPECT_FALSE(frame.canUndo());
}

TEST(Intensity, OperationsStayInsideTheSelection)
{
    FrameImage frame = greyImage(6, 5, std::vector<std::uint8_t>(30, 10));
    ASSERT_TRUE(frame.selectRectangle(1, 1, 3, 3));
    ASSERT_TRUE(invert(frame));
    const auto& pixels = frame.image8()->topLevel().pixels;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(pixels[static_cast<std::size_t>(y * 6 + x)], frame.isSelected(x, y) ? 245 : 10) << x << "," << y;
    EXPECT_TRUE(frame.isSelected(1, 1)); // the outline is changed too
}

TEST(Intensity, ClearSelectionNeedsASelection)
{
    FrameImage frame = image16(4, 3, std::vector<std::int16_t>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, -3});
    EXPECT_FALSE(clearSelection(frame));
    EXPECT_FALSE(frame.canUndo());
    ASSERT_TRUE(frame.selectRectangle(0, 0, 1, 1));
    ASSERT_TRUE(clearSelection(frame));
    EXPECT_EQ(frame.image16()->topLevel().pixels,
              (std::vector<std::int16_t>{-3, -3, 7, 8, -3, -3, 11, 12, 13, 14, 15, -3}));

    const Level8 rgb = level8(SampleKind::Rgb, 1, 1, {4, 5, 6});
    EXPECT_FALSE(clearSelection(rgb, WorkArea::whole(1, 1)).has_value());
    const std::vector<std::uint8_t> mask{255};
    EXPECT_EQ(valueOf(clearSelection(rgb, WorkArea{0, 0, 1, 1, mask})).pixels, (std::vector<std::uint8_t>{0, 0, 0}));
}

TEST(Intensity, RemoveBurnedInWipesTwoValuedNeighbourhoods)
{
    // A bright line on a dark background; one pixel of a third value.
    std::vector<std::uint8_t> pixels(7 * 5, 10);
    for (int x = 1; x < 6; ++x)
        pixels[2 * 7 + x] = 200;
    pixels[1 * 7 + 5] = 90;
    const Level8 out = valueOf(removeBurnedIn(level8(SampleKind::Grey, 7, 5, pixels), WorkArea::whole(7, 5)));
    // The line is wiped where its neighbourhood holds only 10 and 200; next
    // to the 90 at (5, 1) it stays, and so does the 90.
    EXPECT_EQ(out.pixels[2 * 7 + 1], 10);
    EXPECT_EQ(out.pixels[2 * 7 + 2], 10);
    EXPECT_EQ(out.pixels[2 * 7 + 3], 10);
    EXPECT_EQ(out.pixels[2 * 7 + 4], 200);
    EXPECT_EQ(out.pixels[2 * 7 + 5], 200);
    EXPECT_EQ(out.pixels[1 * 7 + 5], 90);
    EXPECT_EQ(out.pixels[2 * 7 + 6], 10);
}

TEST(Intensity, RemoveBurnedInLeavesTheWorkRectangleFrame)
{
    // Text everywhere on a two-valued picture: only the interior of the
    // rectangle is wiped.
    std::vector<std::uint8_t> pixels(6 * 6, 0);
    for (std::size_t i = 0; i < pixels.size(); i += 2)
        pixels[i] = 9;
    const Level8 grid = level8(SampleKind::Grey, 6, 6, pixels);
    const Level8 out = valueOf(removeBurnedIn(grid, WorkArea{1, 1, 5, 5, {}}));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inner = x >= 2 && x <= 3 && y >= 2 && y <= 3;
            EXPECT_EQ(out.pixels[y * 6 + x], inner ? 0 : pixels[y * 6 + x]) << x << "," << y;
        }
}

TEST(Intensity, RemoveBurnedInOnRgbNeedsTheSameTwoValuesInEveryChannel)
{
    auto picture = [](std::array<std::uint8_t, 3> text) {
        std::vector<std::uint8_t> pixels(3 * 3 * 3, 20);
        std::copy(text.begin(), text.end(), pixels.begin() + 4 * 3);
        return level8(SampleKind::Rgb, 3, 3, pixels);
    };
    const WorkArea all = WorkArea::whole(3, 3);
    EXPECT_EQ(valueOf(removeBurnedIn(picture({250, 250, 250}), all)).pixels[4 * 3], 20);
    // Grey text on grey: wiped. Coloured text: channels disagree, kept.
    EXPECT_EQ(valueOf(removeBurnedIn(picture({250, 20, 20}), all)).pixels[4 * 3], 250);
    EXPECT_EQ(valueOf(removeBurnedIn(picture({250, 240, 250}), all)).pixels[4 * 3], 250);
}

TEST(Intensity, WorkAreasThatDoNotFitAreRefused)
{
    const std::vector<std::uint8_t> shortMask(3, 255);
    const WorkArea bad[] = {
        {0, 0, 5, 2, {}}, {-1, 0, 2, 2, {}}, {2, 0, 1, 2, {}}, {0, 0, 2, 2, shortMask},
    };
    const Level8 grey = level8(SampleKind::Grey, 2, 2, {1, 2, 3, 4});
    for (const WorkArea& area : bad) {
        EXPECT_FALSE(invert(grey, area).has_value());
        EXPECT_FALSE(threshold(grey, area, 0, 1, ThresholdMode::KeepValues).has_value());
        EXPECT_FALSE(removeBurnedIn(grey, area).has_value());
    }
}

} // namespace
} // namespace imaging
