#include "view/model/ShellLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace viewmodel {
namespace {

TEST(ShellLayout, CascadedWindowsStepDownAndKeepAtLeastHalfTheArea)
{
    struct Case {
        int width, height, count, step;
        std::vector<WindowRect> expected;
    };
    const Case cases[] = {
        { 800, 600, 1, 30, { { 0, 0, 800, 600 } } },
        { 800, 600, 3, 30, { { 0, 0, 740, 540 }, { 30, 30, 740, 540 }, { 60, 60, 740, 540 } } },
        // Half of 100 rows leaves room for 2 windows 40 apart; the third starts again.
        { 400, 100, 3, 40, { { 0, 0, 360, 60 }, { 40, 40, 360, 60 }, { 0, 0, 360, 60 } } },
        { 0, 0, 2, 0, { { 0, 0, 1, 1 }, { 0, 0, 1, 1 } } },
        { 800, 600, 0, 30, {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(cascadeRects(c.width, c.height, c.count, c.step), c.expected) << c.width << "x" << c.height << " n=" << c.count;
}

TEST(ShellLayout, StatusPanesGiveWayFromTheLeft)
{
    const std::vector<int> widths { 80, 70, 60, 50 };
    struct Case {
        int available;
        std::size_t first;
    };
    for (const Case& c : { Case { 260, 0 }, Case { 259, 1 }, Case { 110, 2 }, Case { 50, 3 }, Case { 49, 4 }, Case { -1, 4 } })
        EXPECT_EQ(firstFittingPane(widths, c.available), c.first) << c.available;
}

} // namespace
} // namespace viewmodel
