#include "imaging/Geometry.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include <cmath>
#include <limits>

#include "imaging/FrameImage.h"
#include "imaging/Intensity.h"
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

template<typename Level>
void expectSameLevel(const Level& actual, const Level& expected, const std::string& what)
{
    EXPECT_EQ(actual.width, expected.width) << what;
    EXPECT_EQ(actual.height, expected.height) << what;
    EXPECT_EQ(actual.kind, expected.kind) << what;
    EXPECT_EQ(actual.pixels, expected.pixels) << what;
}

// The exact rearrangements undo each other and agree with each other on any
// picture; odd sizes catch off-by-one middles, a single row or column the
// degenerate turns.
template<typename Level>
void checkRearrangements(const Level& original, const std::string& what)
{
    Level turned = original;
    for (int i = 0; i < 4; ++i) {
        turned = valueOf(rotate90Clockwise(turned));
        EXPECT_EQ(turned.width, i % 2 == 0 ? original.height : original.width) << what;
    }
    expectSameLevel(turned, original, what + ": four clockwise quarter turns");

    expectSameLevel(valueOf(rotate90CounterClockwise(valueOf(rotate90Clockwise(original)))), original,
                    what + ": clockwise then counter-clockwise");
    expectSameLevel(valueOf(flipHorizontal(valueOf(flipHorizontal(original)))), original, what + ": two flips");
    expectSameLevel(valueOf(flipVertical(valueOf(flipVertical(original)))), original, what + ": two flips");
    expectSameLevel(valueOf(rotate180(original)), valueOf(flipVertical(valueOf(flipHorizontal(original)))),
                    what + ": half turn = both flips");
    expectSameLevel(valueOf(rotate180(original)),
                    valueOf(rotate90Clockwise(valueOf(rotate90Clockwise(original)))), what + ": half turn");
    expectSameLevel(valueOf(rotate90CounterClockwise(original)),
                    valueOf(rotate180(valueOf(rotate90Clockwise(original)))), what + ": three quarters");
    // Range and window travel with the pixels unchanged.
    const Level flipped = valueOf(flipVertical(original));
    EXPECT_EQ(flipped.min, original.min);
    EXPECT_EQ(flipped.max, original.max);
    EXPECT_EQ(flipped.window, original.window);
}

TEST(Geometry, ExactRearrangementsAgreeOnRandomPictures)
{
    const std::vector<std::pair<std::int32_t, std::int32_t>> sizes{{1, 1}, {1, 6}, {7, 1}, {4, 6}, {5, 3}, {8, 8}, {9, 9}};
    unsigned seed = 1;
    for (const auto& [w, h] : sizes) {
        const std::string size = std::to_string(w) + "x" + std::to_string(h);
        checkRearrangements(randomLevel8(SampleKind::Grey, w, h, seed++), "grey " + size);
        checkRearrangements(randomLevel8(SampleKind::Rgb, w, h, seed++), "rgb " + size);
        checkRearrangements(randomLevel16(w, h, seed++), "16-bit " + size);
    }
}

TEST(Geometry, QuarterTurnPlacesCornersAndKeepsRgbTriplesTogether)
{
    // 3 x 2 RGB: pixel (x, y) = (10x + y, 100 + x, 200 + y).
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            pixels.insert(pixels.end(), {std::uint8_t(10 * x + y), std::uint8_t(100 + x), std::uint8_t(200 + y)});
    const Level8 cw = valueOf(rotate90Clockwise(level8(SampleKind::Rgb, 3, 2, pixels)));
    ASSERT_EQ(cw.width, 2);
    ASSERT_EQ(cw.height, 3);
    // dst(x, y) = src(y, H - 1 - x): the bottom-left source pixel (0, 1) lands top-left.
    EXPECT_EQ(std::vector<std::uint8_t>(cw.pixels.begin(), cw.pixels.begin() + 6),
              (std::vector<std::uint8_t>{1, 100, 201, 0, 100, 200}));
}

TEST(Geometry, CropCopiesTheRectangle)
{
    const Level8 source = randomLevel8(SampleKind::Grey, 6, 5, 3);
    const Level8 part = valueOf(crop(source, 1, 2, 4, 5));
    ASSERT_EQ(part.width, 3);
    ASSERT_EQ(part.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(part.pixels[y * 3 + x], source.pixels[(y + 2) * 6 + x + 1]);
}

TEST(Geometry, CropRefusesBadRectanglesAndRecordsNothing)
{
    struct Case {
        const char* what;
        std::int32_t left, top, right, bottom;
    };
    const Case cases[] = {
        {"empty", 2, 1, 2, 3},     {"reversed", 3, 1, 1, 3}, {"left of the image", -1, 0, 2, 2},
        {"past the right", 0, 0, 7, 2}, {"past the bottom", 0, 0, 2, 6}, {"above", 0, -3, 2, -1},
        {"huge", std::numeric_limits<std::int32_t>::min(), 0, std::numeric_limits<std::int32_t>::max(), 1},
    };
    for (const Case& c : cases) {
        FrameImage frame = greyImage(6, 5, std::vector<std::uint8_t>(30, 9));
        EXPECT_FALSE(crop(frame, c.left, c.top, c.right, c.bottom)) << c.what;
        EXPECT_EQ(frame.lastError(), ImagingError::InvalidParameters) << c.what;
        EXPECT_FALSE(frame.canUndo()) << c.what;
        EXPECT_EQ(frame.image8()->levelCount(), 0u) << c.what;
        EXPECT_EQ(frame.width(), 6) << c.what;
    }
    FrameImage frame = greyImage(6, 5, std::vector<std::uint8_t>(30, 9));
    EXPECT_TRUE(crop(frame, 0, 0, 6, 5));
    EXPECT_EQ(frame.image8()->levelCount(), 1u);
}

TEST(Geometry, RotationByAngleSizesTheCanvas)
{
    // trunc(100 cos 30 + 50 sin 30 + 0.5) = trunc(112.1), trunc(50 cos 30 + 100 sin 30 + 0.5) = trunc(93.8)
    const Level8 source = randomLevel8(SampleKind::Grey, 100, 50, 4);
    for (const Interpolation method : {Interpolation::Nearest, Interpolation::Bilinear, Interpolation::Bicubic}) {
        for (const Turn turn : {Turn::Clockwise, Turn::CounterClockwise}) {
            const Level8 turned = valueOf(rotate(source, 30.0f, turn, method, 0));
            EXPECT_EQ(turned.width, 112);
            EXPECT_EQ(turned.height, 93);
        }
    }
}

TEST(Geometry, AnglesOfNinetyAndMoreAreTheQuarterTurn)
{
    const Level16 source = randomLevel16(5, 3, 5);
    const Level16 cw = valueOf(rotate90Clockwise(source));
    const Level16 ccw = valueOf(rotate90CounterClockwise(source));
    for (const float angle : {90.0f, 135.0f, 400.0f, std::numeric_limits<float>::infinity()}) {
        expectSameLevel(valueOf(rotate(source, angle, Turn::Clockwise, Interpolation::Bicubic, 0)), cw, "cw");
        expectSameLevel(valueOf(rotate(source, angle, Turn::CounterClockwise, Interpolation::Bilinear, 0)), ccw, "ccw");
    }
}

TEST(Geometry, RotationRefusesAnglesAtOrBelowZeroAndRecordsNothing)
{
    for (const float angle : {0.0f, -0.0f, -10.0f, std::numeric_limits<float>::quiet_NaN()}) {
        FrameImage frame = greyImage(4, 4, std::vector<std::uint8_t>(16, 1));
        EXPECT_FALSE(rotateClockwise(frame, angle, Interpolation::Nearest)) << angle;
        EXPECT_FALSE(rotateCounterClockwise(frame, angle, Interpolation::Nearest)) << angle;
        EXPECT_FALSE(frame.canUndo());
    }
    FrameImage frame = greyImage(4, 4, std::vector<std::uint8_t>(16, 1));
    EXPECT_FALSE(rotateClockwise(frame, 20.0f, static_cast<Interpolation>(3)));
    EXPECT_FALSE(frame.canUndo());
}

TEST(Geometry, RotationCornersTakeTheFill)
{
    FrameImage grey = greyImage(20, 10, std::vector<std::uint8_t>(200, 200));
    ASSERT_TRUE(rotateClockwise(grey, 30.0f, Interpolation::Bilinear));
    const Level8& g = grey.image8()->topLevel();
    // The default fill of an 8-bit image is black.
    for (const auto& [x, y] : {std::pair{0, 0}, {g.width - 1, 0}, {0, g.height - 1}, {g.width - 1, g.height - 1}})
        EXPECT_EQ(g.pixels[static_cast<std::size_t>(y * g.width + x)], 0) << x << "," << y;
    EXPECT_EQ(g.pixels[static_cast<std::size_t>(g.height / 2 * g.width + g.width / 2)], 200);

    FrameImage rgb = rgbImage(6, 6, std::vector<std::uint8_t>(108, 50));
    rgb.setBackgroundFill8(0x030201); // red 1, green 2, blue 3
    ASSERT_TRUE(rotateCounterClockwise(rgb, 45.0f, Interpolation::Nearest));
    const Level8& c = rgb.image8()->topLevel();
    EXPECT_EQ(std::vector<std::uint8_t>(c.pixels.begin(), c.pixels.begin() + 3), (std::vector<std::uint8_t>{1, 2, 3}));

    FrameImage ct = image16(6, 4, std::vector<std::int16_t>(24, 700));
    ct.setBackgroundFill16(-5);
    ASSERT_TRUE(rotateClockwise(ct, 60.0f, Interpolation::Bicubic));
    EXPECT_EQ(ct.image16()->topLevel().pixels.front(), -5);
}

TEST(Geometry, InterpolatingRotationsSampleHalfAPixelDownAndRight)
{
    // A tiny angle leaves the canvas size as it is; nearest sampling then
    // copies, bilinear averages each pixel with its right and lower neighbours.
    std::vector<std::uint8_t> pixels(25, 0);
    pixels[1 * 5 + 1] = 200;
    const Level8 source = level8(SampleKind::Grey, 5, 5, pixels);
    const Level8 nearest = valueOf(rotate(source, 0.001f, Turn::Clockwise, Interpolation::Nearest, 0));
    const Level8 bilinear = valueOf(rotate(source, 0.001f, Turn::Clockwise, Interpolation::Bilinear, 0));
    ASSERT_EQ(nearest.width, 5);
    ASSERT_EQ(nearest.height, 5);
    EXPECT_EQ(nearest.pixels, source.pixels);
    for (const int at : {0, 1, 5, 6}) {
        EXPECT_GE(bilinear.pixels[at], 49) << at;
        EXPECT_LE(bilinear.pixels[at], 50) << at;
    }
    EXPECT_EQ(bilinear.pixels[2 * 5 + 2], 0);
}

TEST(Geometry, InterpolatedSixteenBitSamplesStayInTheLevelRange)
{
    const Level16 source = randomLevel16(31, 17, 6, -800, 2500);
    for (const Interpolation method : {Interpolation::Bilinear, Interpolation::Bicubic}) {
        for (const float angle : {7.0f, 33.0f, 61.5f}) {
            const Level16 turned = valueOf(rotate(source, angle, Turn::Clockwise, method, 0xFCE0)); // fill -800
            for (const std::int16_t v : turned.pixels) {
                ASSERT_GE(v, -800);
                ASSERT_LE(v, 2500);
            }
        }
    }
}

TEST(Geometry, BicubicOfAFlatPictureKeepsItsValueInside)
{
    // The B-spline weights of a full neighbourhood sum to 1.
    const Level8 flat = level8(SampleKind::Grey, 12, 12, std::vector<std::uint8_t>(144, 100));
    const Level8 turned = valueOf(rotate(flat, 20.0f, Turn::Clockwise, Interpolation::Bicubic, 0));
    const std::uint8_t centre = turned.pixels[static_cast<std::size_t>(turned.height / 2 * turned.width + turned.width / 2)];
    EXPECT_GE(centre, 99);
    EXPECT_LE(centre, 100);
}

TEST(Geometry, ResamplingToTheSameSizeCopies)
{
    for (const Level8& source : {randomLevel8(SampleKind::Grey, 7, 4, 7), randomLevel8(SampleKind::Rgb, 3, 5, 8)}) {
        expectSameLevel(valueOf(resampleNearest(source, source.width, source.height)), source, "nearest");
        expectSameLevel(valueOf(resampleBilinear(source, source.width, source.height)), source, "bilinear");
    }
    const Level16 ct = randomLevel16(5, 6, 9);
    expectSameLevel(valueOf(resampleBilinear(ct, 5, 6)), ct, "16-bit bilinear");
}

TEST(Geometry, ResamplingPicksAndBlendsSamples)
{
    const Level8 row = level8(SampleKind::Grey, 4, 1, {0, 100, 200, 255});
    EXPECT_EQ(valueOf(resampleNearest(row, 2, 1)).pixels, (std::vector<std::uint8_t>{0, 200}));
    EXPECT_EQ(valueOf(resampleNearest(row, 8, 1)).pixels, (std::vector<std::uint8_t>{0, 0, 100, 100, 200, 200, 255, 255}));
    // fx = 0.5: odd columns lie halfway; the last one blends with itself.
    EXPECT_EQ(valueOf(resampleBilinear(row, 8, 1)).pixels,
              (std::vector<std::uint8_t>{0, 50, 100, 150, 200, 227, 255, 255}));
    // A one-pixel-wide picture uses its only column for both neighbours.
    const Level8 column = level8(SampleKind::Grey, 1, 2, {10, 30});
    EXPECT_EQ(valueOf(resampleBilinear(column, 3, 4)).pixels,
              (std::vector<std::uint8_t>{10, 10, 10, 20, 20, 20, 30, 30, 30, 30, 30, 30}));
}

TEST(Geometry, ResamplingManySizesStaysInsideTheSource)
{
    // Scale factors such as 3/7 and 7/3 put fx * x close to the old width.
    const Level8 rgb = randomLevel8(SampleKind::Rgb, 7, 3, 10);
    const Level16 ct = randomLevel16(3, 7, 11);
    for (std::int32_t w = 1; w <= 23; w += 2) {
        for (std::int32_t h = 1; h <= 23; h += 3) {
            EXPECT_EQ(valueOf(resampleNearest(rgb, w, h)).width, w);
            EXPECT_EQ(valueOf(resampleBilinear(rgb, w, h)).height, h);
            EXPECT_EQ(valueOf(resampleNearest(ct, w, h)).width, w);
            EXPECT_EQ(valueOf(resampleBilinear(ct, w, h)).height, h);
        }
    }
}

TEST(Geometry, TargetSizesMustBePositiveAndBounded)
{
    struct Case {
        const char* what;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {"zero width", 0, 5},        {"zero height", 5, 0},         {"negative", -3, 5},
        {"past a side's cap", 65536, 1}, {"past the byte cap", 65535, 65535}, {"int max", 0x7FFFFFFF, 1},
    };
    for (const Case& c : cases) {
        FrameImage frame = image16(3, 3, std::vector<std::int16_t>(9, 4));
        EXPECT_FALSE(resampleNearest(frame, c.width, c.height)) << c.what;
        EXPECT_FALSE(resampleBilinear(frame, c.width, c.height)) << c.what;
        EXPECT_FALSE(resizeCanvas(frame, c.width, c.height, 4)) << c.what;
        EXPECT_EQ(frame.lastError(), ImagingError::InvalidParameters) << c.what;
        EXPECT_FALSE(frame.canUndo()) << c.what;
    }
    const Level8 grey = randomLevel8(SampleKind::Grey, 4, 4, 15);
    for (const std::int32_t side : {0, -1, 65536})
        EXPECT_FALSE(thumbnail(grey, side, 0).has_value()) << side;
}

// One-pixel images and targets: no operation may read past the single
// sample, and every step taken must undo back to it.
TEST(Geometry, OnePixelImagesAndTargets)
{
    struct Case {
        const char* what;
        std::function<bool(FrameImage&)> run;
        bool succeeds;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {"rotate180", [](FrameImage& f) { return rotate180(f); }, true, 1, 1},
        {"quarter turn", [](FrameImage& f) { return rotate90Clockwise(f); }, true, 1, 1},
        {"flips", [](FrameImage& f) { return flipHorizontal(f) && flipVertical(f); }, true, 1, 1},
        {"crop to itself", [](FrameImage& f) { return crop(f, 0, 0, 1, 1); }, true, 1, 1},
        {"empty crop", [](FrameImage& f) { return crop(f, 1, 1, 1, 1); }, false, 1, 1},
        {"angle 45 nearest", [](FrameImage& f) { return rotateClockwise(f, 45.0f, Interpolation::Nearest); }, true, 1, 1},
        {"angle 89 bicubic", [](FrameImage& f) { return rotateCounterClockwise(f, 89.0f, Interpolation::Bicubic); },
         true, 1, 1},
        {"angle 360 is a quarter turn", [](FrameImage& f) { return rotateClockwise(f, 360.0f, Interpolation::Bilinear); },
         true, 1, 1},
        {"bilinear up", [](FrameImage& f) { return resampleBilinear(f, 7, 3); }, true, 7, 3},
        {"nearest up", [](FrameImage& f) { return resampleNearest(f, 2, 9); }, true, 2, 9},
        {"canvas 3 x 3", [](FrameImage& f) { return resizeCanvas(f, 3, 3, 8); }, true, 3, 3},
        {"invert", [](FrameImage& f) { return invert(f); }, true, 1, 1},
        {"burned-in text", [](FrameImage& f) { return removeBurnedIn(f); }, true, 1, 1},
        {"degenerate selection, then clear", [](FrameImage& f) { return f.selectRectangle(0, 0, 0, 0) && !clearSelection(f); },
         true, 1, 1},
    };
    for (const Case& c : cases) {
        std::vector<FrameImage> frames;
        frames.push_back(greyImage(1, 1, {77}));
        frames.push_back(rgbImage(1, 1, {1, 2, 3}));
        frames.push_back(image16(1, 1, {-5}));
        for (FrameImage& frame : frames) {
            const PixelValue before = *frame.pixelValue(0, 0);
            EXPECT_EQ(c.run(frame), c.succeeds) << c.what << ", depth " << frame.sampleDepth();
            EXPECT_EQ(frame.width(), c.width) << c.what;
            EXPECT_EQ(frame.height(), c.height) << c.what;
            ASSERT_NE(frame.displayBitmap(), nullptr);
            while (frame.canUndo())
                ASSERT_TRUE(frame.undo()) << c.what;
            const PixelValue after = *frame.pixelValue(0, 0);
            EXPECT_EQ(std::tie(after.red, after.green, after.blue), std::tie(before.red, before.green, before.blue))
                << c.what;
        }
    }
}

TEST(Geometry, ResamplingToOnePixelTakesTheTopLeftSample)
{
    const Level8 rgb = randomLevel8(SampleKind::Rgb, 5, 3, 4);
    const Level16 deep = randomLevel16(4, 7, 5);
    for (const auto& level : {valueOf(resampleNearest(rgb, 1, 1)), valueOf(resampleBilinear(rgb, 1, 1))})
        EXPECT_EQ(level.pixels, (std::vector<std::uint8_t>(rgb.pixels.begin(), rgb.pixels.begin() + 3)));
    for (const auto& level : {valueOf(resampleNearest(deep, 1, 1)), valueOf(resampleBilinear(deep, 1, 1))})
        EXPECT_EQ(level.pixels, (std::vector<std::int16_t>{deep.pixels[0]}));
}

TEST(Geometry, CanvasAnchorsPlaceTheOldPicture)
{
    const Level8 three = level8(SampleKind::Grey, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(valueOf(resizeCanvas(three, 5, 5, 4, 0xEE)).pixels,
              (std::vector<std::uint8_t>{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, //
                                         0xEE, 1, 2, 3, 0xEE,          //
                                         0xEE, 4, 5, 6, 0xEE,          //
                                         0xEE, 7, 8, 9, 0xEE,          //
                                         0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(valueOf(resizeCanvas(three, 2, 2, 8, 0)).pixels, (std::vector<std::uint8_t>{5, 6, 8, 9}));
    EXPECT_EQ(valueOf(resizeCanvas(three, 2, 2, 0, 0)).pixels, (std::vector<std::uint8_t>{1, 2, 4, 5}));
    // Halving truncates toward zero: a shrink by one keeps the top-left corner.
    EXPECT_EQ(valueOf(resizeCanvas(three, 2, 2, 4, 0)).pixels, (std::vector<std::uint8_t>{1, 2, 4, 5}));
    EXPECT_EQ(valueOf(resizeCanvas(three, 4, 1, 5, 0)).pixels, (std::vector<std::uint8_t>{0, 4, 5, 6}));
    EXPECT_EQ(valueOf(resizeCanvas(three, 1, 4, 7, 0)).pixels, (std::vector<std::uint8_t>{0, 2, 5, 8}));

    const Level8 rgb = level8(SampleKind::Rgb, 1, 1, {9, 9, 9});
    EXPECT_EQ(valueOf(resizeCanvas(rgb, 2, 1, 2, 0x332211)).pixels, (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 9, 9, 9}));
    const Level16 ct = level16(1, 1, {7}, 0, 7);
    EXPECT_EQ(valueOf(resizeCanvas(ct, 1, 2, 0, 0xFFFF)).pixels, (std::vector<std::int16_t>{7, -1}));
}

TEST(Geometry, CanvasAnchorOutsideTheGridRecordsNothing)
{
    for (const int anchor : {-1, 9, 100}) {
        FrameImage frame = greyImage(3, 3, std::vector<std::uint8_t>(9, 1));
        EXPECT_FALSE(resizeCanvas(frame, 5, 5, anchor));
        EXPECT_FALSE(frame.canUndo());
        EXPECT_EQ(frame.width(), 3);
    }
}

TEST(Geometry, ThumbnailsFitTheLongerSideAndKeepAThinSide)
{
    const Level8 wide = randomLevel8(SampleKind::Grey, 100, 10, 12);
    const Level8 t = valueOf(thumbnail(wide, 32, 0xAB));
    ASSERT_EQ(t.width, 32);
    ASSERT_EQ(t.height, 32);
    // 100 x 10 scales to 32 x 3, centred: rows 14 to 16.
    EXPECT_EQ(t.pixels[13 * 32], 0xAB);
    EXPECT_EQ(t.pixels[14 * 32], wide.pixels[0]);
    EXPECT_EQ(t.pixels[17 * 32], 0xAB);

    const Level16 line = randomLevel16(1000, 1, 13);
    const Level16 lt = valueOf(thumbnail(line, 64, 0));
    EXPECT_EQ(lt.width, 64);
    EXPECT_EQ(lt.height, 64);
    // 64 x 1 centred: the row at 63 / 2.
    EXPECT_EQ(lt.pixels[31 * 64], line.pixels[0]);
    EXPECT_EQ(lt.pixels[30 * 64], 0);
}

TEST(Geometry, QuarterTurnsOfOblongImagesDropTheSelectionAndFlipsKeepIt)
{
    FrameImage frame = greyImage(6, 4, std::vector<std::uint8_t>(24, 3));
    ASSERT_TRUE(frame.selectRectangle(1, 1, 4, 3));
    ASSERT_TRUE(flipHorizontal(frame));
    ASSERT_TRUE(rotate180(frame));
    EXPECT_TRUE(frame.hasSelection());
    ASSERT_TRUE(rotate90Clockwise(frame));
    EXPECT_FALSE(frame.hasSelection());
    const auto actions = frame.image8()->actions();
    EXPECT_EQ(std::count(actions.begin(), actions.end(), ActionKind::Region), 0);
    EXPECT_EQ(frame.width(), 4);
    ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.width(), 6);
}

TEST(Geometry, EveryOperationIsOneUndoableLevel)
{
    FrameImage frame = rgbImage(4, 3, randomLevel8(SampleKind::Rgb, 4, 3, 14).pixels);
    const auto original = frame.image8()->topLevel().pixels;
    ASSERT_TRUE(rotateClockwise(frame, 20.0f, Interpolation::Bicubic));
    ASSERT_TRUE(resampleBilinear(frame, 9, 2));
    ASSERT_TRUE(resizeCanvas(frame, 3, 3, 4));
    ASSERT_TRUE(crop(frame, 0, 0, 2, 2));
    EXPECT_EQ(frame.image8()->levelCount(), 4u);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.image8()->topLevel().pixels, original);
    EXPECT_EQ(frame.image8()->topLevel().kind, SampleKind::Rgb);
}

TEST(Geometry, AnEmptyFrameImageDoesNothing)
{
    FrameImage none;
    EXPECT_FALSE(rotate180(none));
    EXPECT_FALSE(crop(none, 0, 0, 1, 1));
    EXPECT_FALSE(rotateClockwise(none, 10.0f, Interpolation::Nearest));
}

} // namespace
} // namespace imaging
