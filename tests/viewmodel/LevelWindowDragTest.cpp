#include "view/model/LevelWindowDrag.h"

#include <gtest/gtest.h>

#include <limits>

namespace viewmodel {
namespace {

TEST(LevelWindowDrag, MovesCentreWithVerticalAndWidthWithHorizontalDrags)
{
    constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
    constexpr SampleRange Values0To999 { 0, 999 }; // 2.5 units a pixel
    constexpr LevelWindow Start { 128, 256 };
    struct Case {
        const char* name;
        SampleRange range;
        Point delta;
        LevelWindow window;
    };
    const Case cases[] = {
        { "10 down raises the centre by 25", Values0To999, { 0, 10 }, { 153, 256 } },
        { "10 right widens by 50", Values0To999, { 10, 0 }, { 128, 306 } },
        { "both at once", Values0To999, { 3, 1 }, { 130, 271 } },
        { "truncated toward zero", Values0To999, { -1, -1 }, { 126, 251 } },
        { "centre no lower than the minimum", Values0To999, { 0, -1000 }, { 0, 256 } },
        { "centre no higher than the maximum", Values0To999, { 0, 1000 }, { 999, 256 } },
        { "width at least 1", Values0To999, { -1000, 0 }, { 128, 1 } },
        { "width at most twice the range", Values0To999, { 1000, 0 }, { 128, 1999 } },
        { "range ends swapped", { 999, 0 }, { 0, 0 }, { 0, 1 } },
        { "huge drag", { -32768, 32767 }, { IntMax, IntMax }, { 32767, 131071 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(dragLevelWindow(Start, c.range, c.delta), c.window) << c.name;
}

} // namespace
} // namespace viewmodel
