#include "view/model/WindowPresets.h"

#include <gtest/gtest.h>

#include <limits>

namespace viewmodel {
namespace {

constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();

TEST(WindowPresets, DefaultsAreTheCtWindowsThenNineUserSlots)
{
    const WindowPresets presets = defaultWindowPresets();
    struct Case {
        std::size_t index;
        WindowPreset preset;
    };
    const Case cases[] = {
        { 0, { "CT - Abdomen", 40, 400 } },
        { 1, { "CT - Lang", -500, 1500 } },
        { 2, { "CT - Bone", 750, 3500 } },
        { 3, { "CT - Brain", 40, 80 } },
        { 4, { "CT - Pelvis", 50, 250 } },
        { 5, { "User 6", 128, 256 } },
        { 13, { "User 14", 128, 256 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(presets[c.index], c.preset) << c.index;
}

TEST(WindowPresets, OnlyAStoreWithoutAnyNameOrValueIsBlank)
{
    struct Case {
        const char* name;
        WindowPreset last;
        bool blank;
    };
    const Case cases[] = {
        { "all empty", {}, true },
        { "a name", { "x", 0, 0 }, false },
        { "a centre", { "", -1, 0 }, false },
        { "a width", { "", 0, 1 }, false },
    };
    for (const Case& c : cases) {
        WindowPresets presets {};
        presets.back() = c.last;
        EXPECT_EQ(presetsAreBlank(presets), c.blank) << c.name;
    }
}

TEST(WindowPresets, SliderRangesFollowTheFrame)
{
    struct Case {
        const char* name;
        SampleRange samples;
        SliderRange centre;
        SliderRange width;
        bool centreEnabled;
    };
    const Case cases[] = {
        { "12-bit", { 0, 4095 }, { 1, 4094 }, { 1, 8191 }, true },
        { "signed", { -1024, 3071 }, { -1023, 3070 }, { 1, 8191 }, true },
        { "two values apart", { 5, 7 }, { 6, 6 }, { 1, 5 }, true },
        { "one value apart", { 5, 6 }, { 6, 5 }, { 1, 3 }, false },
        { "constant", { 5, 5 }, { 6, 4 }, { 1, 1 }, false },
        { "whole 32 bits saturates", { IntMin, IntMax }, { IntMin + 1, IntMax - 1 }, { 1, IntMax }, true },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(centreRange(c.samples), c.centre) << c.name;
        EXPECT_EQ(widthRange(c.samples), c.width) << c.name;
        EXPECT_EQ(isSliderEnabled(centreRange(c.samples)), c.centreEnabled) << c.name;
        EXPECT_TRUE(isSliderEnabled(widthRange(c.samples))) << c.name;
    }
}

TEST(WindowPresets, ShownValuesStayInsideTheCurrentFramesRanges)
{
    constexpr SampleRange Bytes { 0, 255 };
    struct Case {
        const char* name;
        LevelWindow frame;
        LevelWindow previous;
        SampleRange range;
        LevelWindow shown;
    };
    const Case cases[] = {
        { "the frame's own window", { 40, 80 }, { 900, 3000 }, Bytes, { 40, 80 } },
        { "outside keeps the previous", { 0, 0 }, { 100, 200 }, Bytes, { 100, 200 } },
        { "previous pulled into range", { 0, 0 }, { 900, 3000 }, Bytes, { 254, 511 } },
        { "negative previous", { -5, -5 }, { -500, -1 }, Bytes, { 1, 1 } },
        { "empty centre range", { 5, 1 }, { 900, 3000 }, { 5, 6 }, { 6, 1 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(shownWindow(c.frame, c.previous, c.range), c.shown) << c.name;
}

TEST(WindowPresets, ClampToFrameNeverWraps)
{
    constexpr SampleRange Ct12 { 0, 4095 };
    struct Case {
        const char* name;
        LevelWindow preset;
        SampleRange range;
        LevelWindow applied;
    };
    const Case cases[] = {
        { "inside", { 40, 400 }, Ct12, { 40, 400 } },
        { "centre below the data stays", { -500, 1500 }, Ct12, { -500, 1500 } },
        { "centre above the maximum", { 9000, 400 }, Ct12, { 4095, 400 } },
        { "wide stored width", { 40, 100000 }, Ct12, { 40, 8191 } },
        { "zero width", { 40, 0 }, Ct12, { 40, 1 } },
        { "negative width", { 40, -7 }, Ct12, { 40, 1 } },
        { "widest range", { 0, IntMax }, { IntMin, IntMax }, { 0, IntMax } },
        { "swapped range", { 40, 400 }, { 10, 0 }, { 0, 1 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(clampWindowToFrame(c.preset, c.range), c.applied) << c.name;
}

TEST(WindowPresets, TypedValuesClampIntoTheirRange)
{
    struct Case {
        std::int64_t typed;
        SliderRange range;
        std::int32_t value;
    };
    const Case cases[] = {
        { 0, { 1, 511 }, 1 },
        { 600, { 1, 511 }, 511 },
        { 100, { 1, 511 }, 100 },
        { std::int64_t { IntMax } + 5, { 1, IntMax }, IntMax },
        { 7, { 6, 4 }, 6 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(clampToRange(c.typed, c.range), c.value) << c.typed;
}

} // namespace
} // namespace viewmodel
