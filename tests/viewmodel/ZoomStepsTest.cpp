#include "view/model/ZoomSteps.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>

namespace viewmodel {

void PrintTo(const ZoomTarget& t, std::ostream* out) { *out << t.zoom << " at (" << t.scroll.x << ", " << t.scroll.y << ")"; }

namespace {

std::optional<float> wheelUp(float zoom) { return wheelZoom(zoom, 120); }
std::optional<float> wheelStill(float zoom) { return wheelZoom(zoom, 0); }

TEST(ZoomSteps, KeysAndWheelMoveByTenthsWithinTheirLimits)
{
    struct Case {
        const char* name;
        std::optional<float> (*command)(float);
        float zoom;
        std::optional<float> zoomed;
    };
    const Case cases[] = {
        { "in from 1", zoomStepIn, 1.0F, 1.1F },
        { "in to the next tenth", zoomStepIn, 1.06F, 1.2F },
        { "in to 8", zoomStepIn, 7.9F, 8.0F },
        { "in stops at 8", zoomStepIn, 8.0F, std::nullopt },
        { "out from 1", zoomStepOut, 1.0F, 0.9F },
        { "out from 0.3", zoomStepOut, 0.3F, 0.2F },
        { "out from a stored 0.2", zoomStepOut, 0.2F, 0.1F },
        { "out stops at 0.1", zoomStepOut, 0.1F, std::nullopt },
        { "wheel without delta goes out", wheelStill, 0.3F, 0.2F },
        { "wheel not below 0.2", wheelStill, 0.2F, std::nullopt },
        { "wheel up to 7.9", wheelUp, 7.8F, 7.9F },
        { "wheel not up to 8", wheelUp, 7.9F, std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.command(c.zoom), c.zoomed) << c.name;
}

TEST(ZoomSteps, FitShowsTheFrameInsideAOnePixelBorderWithoutUpperLimit)
{
    EXPECT_EQ(fitZoom({ 512, 512 }, { 602, 402 }), 0.78125F);
    EXPECT_EQ(fitZoom({ 1000, 10 }, { 502, 502 }), 0.5F);
    EXPECT_EQ(fitZoom({ 10, 10 }, { 402, 402 }), 40.0F);
    EXPECT_EQ(fitZoom({ 512, 512 }, { 2, 402 }), std::nullopt);
    EXPECT_EQ(fitZoom({ 512, 512 }, { 602, -1 }), std::nullopt);
    EXPECT_EQ(fitZoom({ 0, 512 }, { 602, 402 }), std::nullopt);
}

TEST(ZoomSteps, ToolsZoomWithin0_2And8)
{
    constexpr int IntMax = std::numeric_limits<int>::max();
    EXPECT_EQ(zoomToolZoom(1.0F, ZoomDirection::In), 1.5F);
    EXPECT_EQ(zoomToolZoom(40.0F, ZoomDirection::In), 8.0F); // after a fit above 8
    EXPECT_EQ(zoomToolZoom(0.6F, ZoomDirection::Out), 0.2F);
    EXPECT_EQ(zoomToolZoom(0.1F, ZoomDirection::Out), 0.2F);
    EXPECT_EQ(dynamicZoom(1.0F, 100, 90), 1.15F);
    EXPECT_EQ(dynamicZoom(1.0F, 100, 110), 0.85F);
    EXPECT_EQ(dynamicZoom(1.0F, IntMax, -IntMax), 8.0F);
}

TEST(ZoomSteps, RectangleZoomRoundsDownToHundredthsWithin0_01And8)
{
    EXPECT_EQ(zoomRectangleZoom({ 70, 50 }, { 400, 400 }), 5.71F);
    EXPECT_EQ(zoomRectangleZoom({ 40, 40 }, { 400, 400 }), 8.0F);
    EXPECT_EQ(zoomRectangleZoom({ 800, 400 }, { 400, 400 }), 0.49F); // 0.495 lies just below the half
    EXPECT_EQ(zoomRectangleZoom({ 1000, 1000 }, { 400, 400 }), 0.4F);
    EXPECT_EQ(zoomRectangleZoom({ 100000, 100000 }, { 1, 1 }), 0.01F);
    EXPECT_EQ(zoomRectangleZoom({ 0, 50 }, { 400, 400 }), std::nullopt);
}

TEST(ZoomSteps, ZoomToRectangleCentresTheSelectionWithinTheScrollRange)
{
    struct Case {
        const char* name;
        double zoom;
        Point scroll;
        Rect dragged;
        std::optional<ZoomTarget> target;
    };
    // A 512 x 512 frame in a 400 x 400 window. Image 100..170 x 100..150
    // gives 5.71, 399 x 285 shown, moved up by half of 400 - 285.
    const Case cases[] = {
        { "70 x 50", 1.0, {}, { 170, 150, 100, 100 }, ZoomTarget { 5.71F, { 571, 514 } } },
        { "scrolled", 1.0, { 50, 0 }, { 50, 100, 120, 150 }, ZoomTarget { 5.71F, { 571, 514 } } },
        // Image 442..511 x 462..511 gives 5.79; the scroll down stops at its end.
        { "clipped at the corner", 1.0, { 112, 112 }, { 330, 350, 900, 900 }, ZoomTarget { 5.79F, { 2559, 2564 } } },
        { "a line", 1.0, {}, { 100, 100, 170, 100 }, std::nullopt },
        { "nothing shown", 0.0, {}, { 0, 0, 400, 400 }, std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(zoomToRectangle(ViewTransform({ 512, 512 }, { 400, 400 }, c.zoom, c.scroll), c.dragged), c.target) << c.name;
}

} // namespace
} // namespace viewmodel
