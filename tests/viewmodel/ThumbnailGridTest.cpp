#include "view/model/ThumbnailGrid.h"

#include <gtest/gtest.h>

namespace viewmodel {
namespace {

TEST(ThumbnailGrid, PicksTheColumnCountGivingTheLargestCommonScale)
{
    struct Case {
        const char* name;
        int count, frameWidth, frameHeight;
        ThumbnailArea area;
        ThumbnailGrid grid;
    };
    const Case cases[] = {
        { "one frame fits its height", 1, 100, 100, { 200, 100, 0 }, { 1, 1, 1.0 } },
        { "four in a square", 4, 100, 100, { 200, 200, 0 }, { 2, 2, 1.0 } },
        { "ten in a wide area", 10, 256, 256, { 800, 400, 0 }, { 5, 2, 0.625 } },
        { "wide frames stack", 3, 300, 100, { 300, 300, 0 }, { 1, 3, 1.0 } },
        { "spacing is taken off", 2, 100, 50, { 210, 60, 5 }, { 2, 1, 0.975 } },
        { "ties keep fewer columns", 2, 100, 100, { 100, 100, 0 }, { 1, 2, 0.5 } },
        { "no room", 3, 10, 10, { 10, 10, 10 }, {} },
        { "nothing to show", 0, 100, 100, { 200, 200, 0 }, {} },
        { "empty frame size", 2, 0, 100, { 200, 200, 0 }, {} },
    };
    for (const Case& c : cases) {
        const ThumbnailGrid grid = thumbnailGrid(c.count, c.frameWidth, c.frameHeight, c.area);
        EXPECT_EQ(grid.columns, c.grid.columns) << c.name;
        EXPECT_EQ(grid.rows, c.grid.rows) << c.name;
        EXPECT_DOUBLE_EQ(grid.scale, c.grid.scale) << c.name;
    }
}

} // namespace
} // namespace viewmodel
