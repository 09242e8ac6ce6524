#include "view/model/RoiStatistics.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <vector>

namespace viewmodel {

void PrintTo(const InfoRow& row, std::ostream* out)
{
    *out << '{' << row.frame << '|' << row.voxels << '|' << row.mean << '|' << row.deviation << '|' << row.area << '|'
         << row.volume << '}';
}

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(RoiStatistics, InfoRowsPerFrameAndTotalOverSelectedFramesOnly)
{
    struct Case {
        const char* name;
        std::vector<FrameFigures> frames;
        VoxelSize size;
        std::vector<InfoRow> rows;
    };
    const FrameFigures whole { 128, 12.5, 3.25, false };
    const FrameFigures roi { 400, 7.0, 1.5, true };
    const Case cases[] = {
        { "whole frame", { whole }, { 0.5, 0.5, 2.0 }, { { "1", "128", "12.50", "3.25", "", "" } } },
        { "roi with thickness", { roi }, { 0.5, 0.5, 2.0 }, { { "1", "400", "7.00", "1.50", "1.00", "0.20" } } },
        { "roi without thickness", { roi }, { 0.5, 0.5, 0.0 }, { { "1", "400", "7.00", "1.50", "1.00", "" } } },
        { "rows and columns differ", { roi }, { 0.5, 2.0, 1.0 }, { { "1", "400", "7.00", "1.50", "4.00", "0.40" } } },
        { "missing spacing is 1 mm", { roi }, { 0.0, NaN, Inf }, { { "1", "400", "7.00", "1.50", "4.00", "" } } },
        { "negative spacing is 1 mm", { roi }, { -0.5, Inf, 1.0 }, { { "1", "400", "7.00", "1.50", "4.00", "0.40" } } },
        { "total of frames 1 and 3", { roi, whole, roi }, { 0.5, 0.5, 2.0 },
          { { "1", "400", "7.00", "1.50", "1.00", "0.20" }, { "2", "128", "12.50", "3.25", "", "" },
            { "3", "400", "7.00", "1.50", "1.00", "0.20" }, { "Total", "800", "", "", "2.00", "0.40" } } },
        { "no total without a selection", { whole, whole }, { 0.5, 0.5, 2.0 },
          { { "1", "128", "12.50", "3.25", "", "" }, { "2", "128", "12.50", "3.25", "", "" } } },
        { "total without volume", { whole, roi }, { 1.0, 1.0, 0.0 },
          { { "1", "128", "12.50", "3.25", "", "" }, { "2", "400", "7.00", "1.50", "4.00", "" },
            { "Total", "400", "", "", "4.00", "" } } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(infoRows(c.frames, c.size), c.rows) << c.name;
}

TEST(RoiStatistics, OnlyPositiveFiniteSpacingIsValid)
{
    struct Case {
        double value;
        bool valid;
        double usable;
    };
    for (const Case& c : { Case { 0.5, true, 0.5 }, Case { 0.0, false, 1.0 }, Case { -0.5, false, 1.0 },
                           Case { NaN, false, 1.0 }, Case { Inf, false, 1.0 } }) {
        EXPECT_EQ(isValidSpacing(c.value), c.valid) << c.value;
        EXPECT_EQ(usableSpacing(c.value), c.usable) << c.value;
    }
}

HistogramBins binsOf(std::initializer_list<std::pair<int, std::uint32_t>> counts)
{
    HistogramBins bins {};
    for (const auto& [bin, count] : counts)
        bins[static_cast<std::size_t>(bin)] = count;
    return bins;
}

TEST(RoiStatistics, InitialScaleWeighsTheTallestBinAgainstTheFourth)
{
    struct Case {
        const char* name;
        HistogramBins bins;
        std::optional<int> scale;
    };
    const Case cases[] = {
        { "dominant background", binsOf({ { 0, 900 }, { 1, 50 }, { 2, 40 }, { 3, 100 }, { 9, 7 } }), 95 },
        { "flat", binsOf({ { 0, 10 }, { 1, 10 }, { 2, 10 }, { 3, 10 } }), 50 },
        { "fewer than four bins", binsOf({ { 5, 10 } }), 99 },
        { "empty", HistogramBins {}, std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(initialHistogramScale(c.bins), c.scale) << c.name;
}

TEST(RoiStatistics, BarsScaleToTheSliderAndAreCutAtThePlotTop)
{
    struct Case {
        const char* name;
        int scale;
        std::uint32_t count;
        int bar;
    };
    // Largest count 1000 in bin 0; the case's count in bin 1.
    const Case cases[] = {
        { "unscaled", 1, 495, 50 },      // top 990
        { "half", 50, 250, 50 },         // top 500
        { "cut at the top", 90, 200, 115 }, // top 100
        { "tiny count shows", 1, 1, 1 },
        { "empty bin", 50, 0, 0 },
    };
    for (const Case& c : cases) {
        const auto bars = histogramBars(binsOf({ { 0, 1000 }, { 1, c.count } }), c.scale);
        EXPECT_EQ(bars[1], c.bar) << c.name;
    }
    EXPECT_EQ(histogramBars(binsOf({ { 0, 1 } }), 99)[0], 100) << "top at least 1";
}

} // namespace
} // namespace viewmodel
