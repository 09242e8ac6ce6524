#include "view/model/ViewTransform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <ostream>

namespace viewmodel {

void PrintTo(const Point& p, std::ostream* out) { *out << "(" << p.x << ", " << p.y << ")"; }
void PrintTo(const Size& s, std::ostream* out) { *out << s.width << " x " << s.height; }
void PrintTo(const Rect& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ") to (" << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Huge = ViewTransform::MaxShownSide;
constexpr std::int32_t Centred = (IntMax - Huge) / 2; // a capped frame's edge in the largest viewport

struct Scene {
    Size image;
    Size viewport;
    double zoom;
    Point scroll;

    ViewTransform transform() const { return ViewTransform(image, viewport, zoom, scroll); }
};

// A 512 x 512 CT frame in a 400 x 300 viewport, the zoom and scroll varying.
Scene ct(double zoom, Point scroll = {}) { return { { 512, 512 }, { 400, 300 }, zoom, scroll }; }
// The same frame at actual size in a viewport larger than it.
const Scene roomy { { 512, 512 }, { 800, 600 }, 1.0, {} };

TEST(ViewTransform, LayoutStaysCentredAndBoundedForAnyInput)
{
    struct Case {
        const char* name;
        Scene scene;
        Size shown;
        Rect rect;
        Point scrollMaximum;
    };
    const Case cases[] = {
        { "actual size, centred", roomy, { 512, 512 }, { 144, 44, 656, 556 }, { 0, 0 } },
        { "twice, scrolled", ct(2.0, { 100, 50 }), { 1024, 1024 }, { -100, -50, 924, 974 }, { 624, 724 } },
        { "scroll kept in range", ct(2.0, { 5000, -3 }), { 1024, 1024 }, { -624, 0, 400, 1024 }, { 624, 724 } },
        { "half", ct(0.5), { 256, 256 }, { 72, 22, 328, 278 }, { 0, 0 } },
        { "half a pixel rounds up", { { 3, 5 }, { 10, 10 }, 0.5, {} }, { 2, 3 }, { 4, 3, 6, 6 }, { 0, 0 } },
        { "fraction of a pixel", ct(0.002), { 1, 1 }, { 199, 149, 200, 150 }, { 0, 0 } },
        { "narrow, tall viewport", { { 512, 512 }, { 300, 2000 }, 1.0, { 9, 9 } }, { 512, 512 }, { -9, 744, 503, 1256 }, { 212, 0 } },
        { "zero zoom", ct(0.0), { 0, 0 }, { 200, 150, 200, 150 }, { 0, 0 } },
        { "negative zoom", ct(-0.5), { 0, 0 }, { 200, 150, 200, 150 }, { 0, 0 } },
        { "zoom not a number", ct(NaN), { 0, 0 }, { 200, 150, 200, 150 }, { 0, 0 } },
        { "infinite zoom", ct(Infinity), { 0, 0 }, { 200, 150, 200, 150 }, { 0, 0 } },
        { "huge zoom is capped", ct(1.0e9, { IntMax, IntMax }), { Huge, Huge }, { 400 - Huge, 300 - Huge, 400, 300 },
            { Huge - 400, Huge - 300 } },
        { "huge viewport", { { 512, 512 }, { IntMax, IntMax }, 1.0e9, {} }, { Huge, Huge },
            { Centred, Centred, Centred + Huge, Centred + Huge }, { 0, 0 } },
        { "no frame", { { 0, 0 }, { 400, 300 }, 1.0, {} }, { 0, 0 }, { 200, 150, 200, 150 }, { 0, 0 } },
        { "negative viewport", { { 512, 512 }, { -5, -5 }, 1.0, {} }, { 512, 512 }, { 0, 0, 512, 512 }, { 512, 512 } },
        { "one-pixel viewport", { { 512, 512 }, { 1, 1 }, 1.0, { 511, 0 } }, { 512, 512 }, { -511, 0, 1, 512 }, { 511, 511 } },
    };
    for (const Case& c : cases) {
        const ViewTransform t = c.scene.transform();
        EXPECT_EQ(t.shownSize(), c.shown) << c.name;
        EXPECT_EQ(t.displayedRect(), c.rect) << c.name;
        EXPECT_EQ(t.scrollMaximum(), c.scrollMaximum) << c.name;
    }
}

TEST(ViewTransform, ViewportPointsMapToThePixelUnderThem)
{
    struct Case {
        const char* name;
        Scene scene;
        Point viewport;
        std::optional<Point> image;
    };
    const Case cases[] = {
        { "scrolled", ct(1.0, { 56, 106 }), { 0, 0 }, Point { 56, 106 } },
        { "last pixel", roomy, { 655, 555 }, Point { 511, 511 } },
        { "right of the frame", roomy, { 656, 300 }, std::nullopt },
        { "left of the frame", roomy, { 143, 300 }, std::nullopt },
        { "above the frame", roomy, { 300, 43 }, std::nullopt },
        { "twice, scrolled", ct(2.0, { 100, 50 }), { 1, 1 }, Point { 50, 25 } },
        { "half", ct(0.5), { 73, 23 }, Point { 2, 2 } },
        { "half, last pixel", ct(0.5), { 327, 277 }, Point { 510, 510 } },
        { "zero zoom", ct(0.0), { 200, 150 }, std::nullopt },
        { "zoom not a number", ct(NaN), { 200, 150 }, std::nullopt },
        { "huge zoom", ct(1.0e9), { 399, 299 }, Point { 0, 0 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.scene.transform().toImage(c.viewport), c.image) << c.name;
}

TEST(ViewTransform, PixelCornersMapToTheViewportRoundedHalfUp)
{
    struct Case {
        const char* name;
        Scene scene;
        Point image;
        Point viewport;
    };
    const Case cases[] = {
        { "actual size", roomy, { 511, 0 }, { 655, 44 } },
        { "twice, scrolled", ct(2.0, { 100, 50 }), { 50, 25 }, { 0, 0 } },
        { "left of the viewport", ct(1.0, { 30, 40 }), { 0, 0 }, { -30, -40 } }, // -29.5 rounds to -29 only by truncating
        { "half", ct(0.5), { 3, 5 }, { 74, 25 } },        // 1.5 + 72 + 0.5, 2.5 + 22 + 0.5
        { "zero zoom", ct(0.0), { 10, 10 }, { 200, 150 } },
        { "beyond int", ct(1.0e9), { 5, -5 }, { IntMax, std::numeric_limits<std::int32_t>::min() } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.scene.transform().toViewport(c.image), c.viewport) << c.name;
}

// At whole-number factors a pixel's corner lies inside that pixel; other
// factors round the corner half up and may land in the pixel before.
TEST(ViewTransform, AtWholeFactorsEveryPixelCornerMapsBackToItsPixel)
{
    for (const double zoom : { 1.0, 2.0, 3.0, 8.0 }) {
        const ViewTransform t = ct(zoom, { 30, 40 }).transform();
        for (const Point p : { Point { 0, 0 }, Point { 100, 200 }, Point { 511, 511 } })
            EXPECT_EQ(t.toImage(t.toViewport(p)), p) << "zoom " << zoom << " at " << p.x << ", " << p.y;
    }
}

TEST(ViewTransform, PressesCountOnlyStrictlyInsideTheFrame)
{
    // roomy shows the frame from (144, 44) to (656, 556).
    EXPECT_FALSE(roomy.transform().isInsideImage({ 144, 300 }));
    EXPECT_TRUE(roomy.transform().isInsideImage({ 145, 300 }));
    EXPECT_TRUE(roomy.transform().isInsideImage({ 655, 555 }));
    EXPECT_FALSE(roomy.transform().isInsideImage({ 400, 556 }));
    EXPECT_TRUE(ct(2.0, { 100, 50 }).transform().isInsideImage({ 0, 0 }));
}

TEST(ViewTransform, ClampedPointsNameAPixelOfTheFrame)
{
    EXPECT_EQ(roomy.transform().toImageClamped({ 300, 300 }), (Point { 156, 256 }));
    EXPECT_EQ(roomy.transform().toImageClamped({ 1000, 1000 }), (Point { 511, 511 }));
    EXPECT_EQ(ct(2.0, { 100, 50 }).transform().toImageClamped({ -200, 2000 }), (Point { 0, 511 }));
    EXPECT_EQ(ct(0.5).transform().toImageClamped({ 327, 500 }), (Point { 510, 510 })); // 511 is not shown
    EXPECT_EQ(ct(0.0).transform().toImageClamped({ 200, 150 }), (Point { 0, 0 }));
}

// From a viewport point to its pixel and back lands on that pixel's corner,
// at or before the point and within the pixel's width on the screen.
TEST(ViewTransform, ViewportToImageAndBackFindsThePixelsCorner)
{
    for (const double zoom : { 0.5, 1.0, 2.5 }) {
        for (const Point scroll : { Point { 0, 0 }, Point { 99, 201 } }) {
            const ViewTransform t({ 1000, 1000 }, { 400, 300 }, zoom, scroll);
            for (const Point point : { Point { 0, 0 }, Point { 1, 2 }, Point { 137, 61 }, Point { 399, 299 } }) {
                const std::optional<Point> pixel = t.toImage(point);
                ASSERT_TRUE(pixel) << "zoom " << zoom;
                const Point corner = t.toViewport(*pixel);
                EXPECT_EQ(t.toImage(corner), pixel) << "zoom " << zoom;
                EXPECT_TRUE(corner.x <= point.x && point.x - corner.x < std::max(zoom, 1.0)) << "zoom " << zoom;
                EXPECT_TRUE(corner.y <= point.y && point.y - corner.y < std::max(zoom, 1.0)) << "zoom " << zoom;
            }
        }
    }
}

// The pixel under the cursor before the zoom tool's click is under it after.
// Below a factor of 1 it may share its screen pixel with the next ones, and
// its corner stays within a pixel of the cursor.
TEST(ViewTransform, AnchorStaysUnderTheCursor)
{
    const ViewTransform before({ 2000, 2000 }, { 400, 300 }, 1.0, { 700, 800 });
    for (const double zoom : { 0.75, 1.1, 1.5, 2.5, 3.3, 8.0 }) {
        for (std::int32_t x = 0; x < 400; x += 10) {
            const Point cursor { x, x * 3 / 4 };
            const Point anchor = before.toImageClamped(cursor);
            const ViewTransform after = before.zoomedAbout(zoom, anchor, cursor);
            const Point corner = after.toViewport(anchor);
            EXPECT_TRUE(cursor.x - corner.x == 0 || cursor.x - corner.x == 1) << "zoom " << zoom << " at " << x;
            EXPECT_TRUE(cursor.y - corner.y == 0 || cursor.y - corner.y == 1) << "zoom " << zoom << " at " << x;
            if (zoom >= 1.0) {
                EXPECT_EQ(after.toImage(cursor), anchor) << "zoom " << zoom << " at " << x;
            }
        }
    }
}

TEST(ViewTransform, AnchoredZoomKeepsTheScrollInRange)
{
    const ViewTransform before = ct(1.0, { 50, 50 }).transform();
    EXPECT_EQ(before.zoomedAbout(2.0, { 10, 10 }, { 200, 150 }).scroll(), (Point { 0, 0 }));
    EXPECT_EQ(before.zoomedAbout(2.0, { 511, 511 }, { 0, 0 }).scroll(), (Point { 624, 724 }));
    EXPECT_EQ(before.zoomedAbout(0.75, { 256, 200 }, { 200, 100 }).scroll(), (Point { 0, 50 })); // 384 wide: centred
    EXPECT_EQ(before.zoomedAbout(NaN, { 300, 300 }, { 10, 10 }).scroll(), (Point { 0, 0 }));
}

} // namespace
} // namespace viewmodel
