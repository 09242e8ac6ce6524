#include "view/model/Rulers.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace viewmodel {
namespace {

constexpr PixelSpacing PointSeven { 0.7, 0.7 };
// 512 x 512 shown at (10, 20): at 0.7 mm and zoom 1, 50 mm (tick 5) are 71 points and 100 mm 143.
constexpr Rect Shown { 10, 20, 522, 532 };

TEST(Rulers, EachCornerPlacesAxesTicksAndLabels)
{
    struct Case { const char* name; RulerCorner corner; Line horizontalAxis; Line verticalAxis;
        Line horizontalTickAt50; Line verticalTickAt50; Point horizontalLabelAt100; Point verticalLabelAt100; };
    const Case cases[] = {
        { "upper left", RulerCorner::UpperLeft, { { 25, 45 }, { 522, 45 } }, { { 35, 45 }, { 35, 532 } },
            { { 106, 28 }, { 106, 45 } }, { { 18, 116 }, { 35, 116 } }, { 178, 20 }, { 10, 188 } },
        { "lower left", RulerCorner::LowerLeft, { { 25, 507 }, { 522, 507 } }, { { 35, 20 }, { 35, 507 } },
            { { 106, 524 }, { 106, 507 } }, { { 18, 436 }, { 35, 436 } }, { 178, 532 }, { 10, 364 } },
        { "upper right", RulerCorner::UpperRight, { { 10, 45 }, { 507, 45 } }, { { 497, 35 }, { 497, 532 } },
            { { 426, 28 }, { 426, 45 } }, { { 514, 116 }, { 497, 116 } }, { 354, 20 }, { 522, 188 } },
        { "lower right", RulerCorner::LowerRight, { { 10, 507 }, { 507, 507 } }, { { 497, 20 }, { 497, 507 } },
            { { 426, 524 }, { 426, 507 } }, { { 514, 436 }, { 497, 436 } }, { 354, 532 }, { 522, 364 } },
    };
    for (const Case& c : cases) {
        const RulerLayout layout = rulerLayout(c.corner, Shown, 1.0, PointSeven);
        ASSERT_EQ(layout.horizontal.labels.size(), 4U) << c.name; // 0 to 300 mm, ticks up to 340
        ASSERT_EQ(layout.vertical.labels.size(), 4U) << c.name;
        EXPECT_EQ(layout.horizontal.axis, c.horizontalAxis) << c.name;
        EXPECT_EQ(layout.vertical.axis, c.verticalAxis) << c.name;
        EXPECT_EQ(layout.horizontal.ticks[5].line, c.horizontalTickAt50) << c.name;
        EXPECT_EQ(layout.vertical.ticks[5].line, c.verticalTickAt50) << c.name;
        EXPECT_EQ(layout.horizontal.labels[1].anchor, c.horizontalLabelAt100) << c.name;
        EXPECT_EQ(layout.vertical.labels[1].anchor, c.verticalLabelAt100) << c.name;
    }
}

TEST(Rulers, FiveHundredTwelvePixelsAtPointSevenMillimetres)
{
    const RulerLayout layout = rulerLayout(RulerCorner::UpperLeft, { 0, 0, 512, 512 }, 1.0, PointSeven);
    std::vector<std::string> texts;
    std::vector<std::int32_t> xs;
    for (const RulerLabel& label : layout.horizontal.labels) {
        texts.push_back(label.text);
        xs.push_back(label.anchor.x);
    }
    EXPECT_EQ(texts, (std::vector<std::string> { "0", "10", "20", "30" }));
    EXPECT_EQ(xs, (std::vector<std::int32_t> { 25, 168, 311, 454 }));
    // 340 mm is the last tick before the frame's edge: 486 + 25 = 511.
    ASSERT_EQ(layout.horizontal.ticks.size(), 35U);
    EXPECT_EQ(layout.horizontal.ticks.back().line.from.x, 511);
    EXPECT_EQ(layout.vertical.labels.front().text, "  0");
    EXPECT_EQ(layout.vertical.labels[1].text, "10");
}

TEST(Rulers, TickCountStaysBoundedForAnyScale)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    struct Case { const char* name; Rect shown; double zoom; double spacing; std::size_t ticks; };
    const Case cases[] = {
        { "zoom 0.1", { 0, 0, 512, 512 }, 0.1, 0.7, 342 },
        { "step of exactly one point", { 0, 0, 512, 512 }, 1.0, 10.0, 488 },
        { "step under one point", { 0, 0, 512, 512 }, 0.01, 1.0, 0 },
        { "zoom NaN", { 0, 0, 512, 512 }, NaN, 1.0, 0 },
        { "infinite scale", { 0, 0, 512, 512 }, 1e300, 1e-300, 0 },
        { "frame too small for the axis", { 0, 0, 20, 20 }, 1.0, 1.0, 0 },
        { "huge frame", { 0, 0, 1 << 24, 512 }, 1.0, 10.0, MaxRulerTicks },
    };
    for (const Case& c : cases) {
        const RulerLayout layout = rulerLayout(RulerCorner::LowerRight, c.shown, c.zoom, { c.spacing, c.spacing });
        EXPECT_EQ(layout.horizontal.ticks.size(), c.ticks) << c.name;
    }
}

} // namespace
} // namespace viewmodel
