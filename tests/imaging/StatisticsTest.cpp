#include "imaging/Statistics.h"

#include <gtest/gtest.h>

#include <numeric>

#include "imaging/CustomPalette.h"
#include "imaging/FrameImage.h"
#include "imaging/Palettes.h"
#include "tests/imaging/OperationTestLevels.h"

namespace imaging {
namespace {

using namespace imaging::testing;

// Every value of first..last once, in a row.
Level16 rangeLevel(std::int32_t first, std::int32_t last)
{
    std::vector<std::int16_t> pixels;
    for (std::int32_t v = first; v <= last; ++v)
        pixels.push_back(static_cast<std::int16_t>(v));
    return level16(static_cast<std::int32_t>(pixels.size()), 1, pixels, first, last);
}

TEST(Statistics, SixteenBitHistogramOfANarrowRangeLeavesTheTopEmpty)
{
    const Level16 level = rangeLevel(-20, 79); // 100 values
    const auto counts = histogram(level, WorkArea::whole(level.width, 1));
    ASSERT_TRUE(counts.has_value());
    for (std::size_t k = 0; k < 256; ++k)
        EXPECT_EQ((*counts)[k], k < 100 ? 1u : 0u) << k;
}

TEST(Statistics, SixteenBitHistogramOfAWideRangeSumsEqualBins)
{
    const Level16 level = rangeLevel(0, 4095);
    const auto counts = histogram(level, WorkArea::whole(level.width, 1));
    ASSERT_TRUE(counts.has_value());
    for (std::size_t k = 0; k < 256; ++k)
        EXPECT_EQ((*counts)[k], 16u) << k;

    // 257 values: bin k covers trunc(257k / 256) .. trunc(257(k + 1) / 256) - 1,
    // so the last bin holds two.
    const Level16 odd = rangeLevel(1000, 1256);
    const auto oddCounts = histogram(odd, WorkArea::whole(odd.width, 1));
    ASSERT_TRUE(oddCounts.has_value());
    EXPECT_EQ((*oddCounts)[0], 1u);
    EXPECT_EQ((*oddCounts)[255], 2u);
    EXPECT_EQ(std::accumulate(oddCounts->begin(), oddCounts->end(), 0u), 257u);
}

TEST(Statistics, SixteenBitSamplesOutsideTheRangeAreNotCounted)
{
    const Level16 level = level16(4, 1, {-32768, 0, 5, 9}, 0, 9);
    const auto counts = histogram(level, WorkArea::whole(4, 1));
    ASSERT_TRUE(counts.has_value());
    EXPECT_EQ(std::accumulate(counts->begin(), counts->end(), 0u), 3u);
    EXPECT_EQ((*counts)[5], 1u);
}

TEST(Statistics, NothingIsAnsweredWithoutPixelsOrRange)
{
    const Level16 reversed = level16(2, 1, {3, 4}, 9, 2);
    EXPECT_FALSE(histogram(reversed, WorkArea::whole(2, 1)).has_value());

    const std::vector<std::uint8_t> nothingSelected(4, 0);
    const WorkArea empty{0, 0, 2, 2, nothingSelected};
    const Level8 grey = level8(SampleKind::Grey, 2, 2, {1, 2, 3, 4});
    EXPECT_FALSE(mean(grey, empty).has_value());
    EXPECT_FALSE(standardDeviation(grey, empty).has_value());
    EXPECT_FALSE(mean(grey, empty, Channel::Green).has_value());
    EXPECT_FALSE(mean(grey, WorkArea{0, 0, 3, 2, {}}).has_value()); // does not fit
    EXPECT_FALSE(histogram(grey, WorkArea{0, 0, 3, 2, {}}).has_value());
}

TEST(Statistics, EightBitHistogramsCountValuesAndRoundedLuma)
{
    const Level8 grey = level8(SampleKind::Grey, 4, 1, {0, 7, 7, 255});
    const auto g = histogram(grey, WorkArea::whole(4, 1));
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ((*g)[7], 2u);
    EXPECT_EQ((*g)[255], 1u);

    // Lumas 59.8 -> 60, 149.685 -> 150, 255.
    const Level8 rgb = level8(SampleKind::Rgb, 3, 1, {200, 0, 0, 0, 255, 0, 255, 255, 255});
    const auto c = histogram(rgb, WorkArea::whole(3, 1));
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ((*c)[60], 1u);
    EXPECT_EQ((*c)[150], 1u);
    EXPECT_EQ((*c)[255], 1u);
    const auto red = channelHistogram(rgb, WorkArea::whole(3, 1), Channel::Red);
    ASSERT_TRUE(red.has_value());
    EXPECT_EQ((*red)[200], 1u);
    EXPECT_EQ((*red)[0], 1u);
    EXPECT_EQ((*red)[255], 1u);
}

TEST(Statistics, AGreyImageInAColourPaletteKeepsTheGreyRule)
{
    FrameImage frame = greyImage(2, 2, {10, 10, 20, 30});
    const auto before = histogram(frame);
    ASSERT_TRUE(setPalette(frame, static_cast<int>(BuiltInPalette::Hotiron), CustomPaletteList{}));
    EXPECT_EQ(histogram(frame), before);
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ((*before)[10], 2u);
}

TEST(Statistics, MeanAndDeviationDivideByTheCount)
{
    const Level8 grey = level8(SampleKind::Grey, 8, 1, {2, 4, 4, 4, 5, 5, 7, 9});
    EXPECT_DOUBLE_EQ(*mean(grey, WorkArea::whole(8, 1)), 5.0);
    EXPECT_DOUBLE_EQ(*standardDeviation(grey, WorkArea::whole(8, 1)), 2.0);

    // The luma has no rounding term here.
    const Level8 rgb = level8(SampleKind::Rgb, 2, 1, {200, 0, 0, 0, 0, 100});
    EXPECT_DOUBLE_EQ(*mean(rgb, WorkArea::whole(2, 1)), (59.8 + 11.4) / 2);
    EXPECT_DOUBLE_EQ(*mean(rgb, WorkArea::whole(2, 1), Channel::Blue), 50.0);
    EXPECT_DOUBLE_EQ(*standardDeviation(rgb, WorkArea::whole(2, 1), Channel::Red), 100.0);

    const Level16 ct = level16(2, 1, {-1000, 3000}, -1000, 3000);
    EXPECT_DOUBLE_EQ(*mean(ct, WorkArea::whole(2, 1)), 1000.0);
    EXPECT_DOUBLE_EQ(*standardDeviation(ct, WorkArea::whole(2, 1)), 2000.0);
}

TEST(Statistics, FrameStatisticsFollowTheSelection)
{
    FrameImage frame = greyImage(4, 4, {0, 0, 0, 0, 0, 8, 8, 0, 0, 8, 8, 0, 0, 0, 0, 50});
    EXPECT_DOUBLE_EQ(*mean(frame), 82.0 / 16);
    ASSERT_TRUE(frame.selectRectangle(1, 1, 2, 2));
    EXPECT_DOUBLE_EQ(*mean(frame), 8.0);
    EXPECT_DOUBLE_EQ(*standardDeviation(frame), 0.0);
    EXPECT_EQ((*histogram(frame))[8], 4u);
    EXPECT_FALSE(channelHistogram(image16(1, 1, {5}), Channel::Red).has_value());
    EXPECT_FALSE(mean(FrameImage{}).has_value());
}

} // namespace
} // namespace imaging
