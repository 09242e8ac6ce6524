#include "view/model/SelectionDrag.h"

#include <gtest/gtest.h>

#include <optional>

namespace viewmodel {
namespace {

TEST(SelectionDrag, SelectsTheOrderedDragClippedToTheImage)
{
    constexpr Size Image { 300, 200 };
    struct Case {
        const char* name;
        Point from;
        Point to;
        std::optional<Rect> selection;
    };
    const Case cases[] = {
        { "down and right", { 10, 20 }, { 30, 50 }, Rect { 10, 20, 31, 51 } },
        { "up and right", { 10, 50 }, { 30, 20 }, Rect { 10, 20, 31, 51 } },
        { "from off the image", { -50, -50 }, { 30, 50 }, Rect { 0, 0, 31, 51 } },
        { "past the far edges", { 10, 20 }, { 900, 900 }, Rect { 10, 20, 300, 200 } },
        { "a click", { 10, 20 }, { 10, 20 }, std::nullopt },
        { "one row", { 10, 20 }, { 90, 20 }, std::nullopt },
        { "wholly beside the image", { 400, 20 }, { 500, 90 }, std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(selectionFromDrag(c.from, c.to, Image), c.selection) << c.name;
    EXPECT_EQ(selectionFromDrag({ 0, 0 }, { 5, 5 }, { 0, 0 }), std::nullopt);
}

TEST(SelectionDrag, OutlineStripesAreHalfOfTwelveAndCrawlOnePixelPerTick)
{
    EXPECT_EQ(nextOutlinePhase(11), 0);
    for (std::int32_t phase = 0; phase < OutlinePhases; ++phase) {
        int white = 0;
        for (std::int32_t x = -6; x < 6; ++x) {
            white += isOutlineStripeWhite({ x, 7 }, phase) ? 1 : 0;
            // What lies at a pixel now lies one pixel further back at the next tick.
            EXPECT_EQ(isOutlineStripeWhite({ x - 1, 7 }, nextOutlinePhase(phase)), isOutlineStripeWhite({ x, 7 }, phase));
        }
        EXPECT_EQ(white, 6) << "phase " << phase;
    }
}

} // namespace
} // namespace viewmodel
