#include "view/model/AutoScroll.h"

#include <gtest/gtest.h>

namespace viewmodel {
namespace {

TEST(AutoScroll, ModeFollowsTheSidesLargerThanTheViewport)
{
    struct Case {
        Size shown;
        std::optional<AutoScrollMode> mode;
    };
    const Size port { 300, 200 };
    for (const Case& c : { Case { { 301, 201 }, AutoScrollMode::Both }, Case { { 301, 200 }, AutoScrollMode::Horizontal },
                           Case { { 300, 201 }, AutoScrollMode::Vertical }, Case { { 300, 200 }, std::nullopt } })
        EXPECT_EQ(autoScrollMode(c.shown, port), c.mode) << c.shown.width << "x" << c.shown.height;
}

// The marker covers 100..131 x 50..81; the scroll range is 0..500 x 0..400.
TEST(AutoScroll, StepIsTheDistancePastTheMarkerPlusOneWithinTheRange)
{
    struct Case {
        const char* name;
        AutoScrollMode mode;
        Point cursor;
        Point scroll;
        Point expected;
    };
    const Rect marker { 100, 50, 132, 82 };
    const Point maximum { 500, 400 };
    for (const Case& c : {
             Case { "over the marker", AutoScrollMode::Both, { 100, 81 }, { 20, 20 }, { 20, 20 } },
             Case { "left and below", AutoScrollMode::Both, { 90, 92 }, { 20, 20 }, { 9, 32 } },
             Case { "right and above", AutoScrollMode::Both, { 141, 40 }, { 20, 20 }, { 31, 9 } },
             Case { "horizontal only", AutoScrollMode::Horizontal, { 141, 92 }, { 20, 20 }, { 31, 20 } },
             Case { "vertical only", AutoScrollMode::Vertical, { 141, 92 }, { 20, 20 }, { 20, 32 } },
             Case { "stops at the start", AutoScrollMode::Both, { 0, 0 }, { 20, 20 }, { 0, 0 } },
             Case { "stops at the end", AutoScrollMode::Both, { 1000, 1000 }, { 490, 390 }, { 500, 400 } },
         })
        EXPECT_EQ(autoScrollStep(c.mode, marker, c.cursor, c.scroll, maximum), c.expected) << c.name;
}

} // namespace
} // namespace viewmodel
