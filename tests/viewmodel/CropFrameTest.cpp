#include "view/model/CropFrame.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace viewmodel {
namespace {

constexpr Size Ct { 512, 512 };
// Edges l 10, t 20, r 110, b 220: middles at x 60 and y 120.
const CropFrame Frame = *CropFrame::fromDrag({ 10, 20 }, { 110, 220 }, Ct);
const CropFrame Least = *CropFrame::fromDrag({ 0, 0 }, { 10, 10 }, Ct);
const CropFrame Square = *CropFrame::fromDrag({ 100, 100 }, { 200, 200 }, Ct);

TEST(CropFrame, HitTestTriesHandlesInOrderWithTheirReach)
{
    struct Case {
        const char* name;
        CropFrame frame;
        Point point;
        CropHandle handle;
    };
    const Case cases[] = {
        { "off the frame", Frame, { 9, 100 }, CropHandle::None },
        { "top-left reach", Frame, { 15, 25 }, CropHandle::TopLeft },
        { "past the top-left reach", Frame, { 16, 20 }, CropHandle::Inside },
        { "top middle, first column", Frame, { 57, 20 }, CropHandle::TopMiddle },
        { "top middle, last column", Frame, { 62, 25 }, CropHandle::TopMiddle },
        { "after the top middle", Frame, { 63, 20 }, CropHandle::Inside },
        { "top-right", Frame, { 105, 25 }, CropHandle::TopRight },
        { "left middle", Frame, { 10, 117 }, CropHandle::LeftMiddle },
        { "bottom middle", Frame, { 60, 220 }, CropHandle::BottomMiddle },
        { "bottom edge between handles", Frame, { 104, 220 }, CropHandle::Inside },
        { "bottom-right reach", Frame, { 105, 215 }, CropHandle::BottomRight },
        // In a frame of the least size the reaches overlap: the earlier handle wins.
        { "overlap: left before right", Least, { 5, 0 }, CropHandle::TopLeft },
        { "overlap: middle before right", Least, { 6, 0 }, CropHandle::TopMiddle },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.frame.hitTest(c.point), c.handle) << c.name;
}

TEST(CropFrame, IsMadeOnlyFromADragOfMoreThanNinePixelsEachWay)
{
    struct Case {
        const char* name;
        Point from;
        Point to;
        std::optional<Rect> rect;
    };
    const Case cases[] = {
        { "ten pixels past the first", { 0, 0 }, { 10, 10 }, Rect { 0, 0, 11, 11 } },
        { "nine wide", { 0, 0 }, { 9, 50 }, std::nullopt },
        { "nine high, drawn upwards", { 0, 50 }, { 50, 41 }, std::nullopt },
        { "beyond the image", { -30, -30 }, { 600, 600 }, Rect { 0, 0, 512, 512 } },
        { "thin after clipping", { -30, 505 }, { 600, 600 }, std::nullopt },
    };
    for (const Case& c : cases) {
        const std::optional<CropFrame> frame = CropFrame::fromDrag(c.from, c.to, Ct);
        EXPECT_EQ(frame ? std::optional(frame->rect()) : std::nullopt, c.rect) << c.name;
    }
}

TEST(CropFrame, HandleDragMovesItsEdgesAndKeepsThemOnTheImageAndApart)
{
    constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
    struct Case {
        const char* name;
        CropHandle handle;
        Point delta;
        double zoom;
        Rect rect;
    };
    const Case cases[] = {
        { "top-left", CropHandle::TopLeft, { -20, -30 }, 1.0, { 80, 70, 201, 201 } },
        { "top-right at twice", CropHandle::TopRight, { 10, 10 }, 2.0, { 100, 105, 206, 201 } },
        { "left stops ten before right", CropHandle::LeftMiddle, { 500, 0 }, 1.0, { 190, 100, 201, 201 } },
        { "right stops ten after left", CropHandle::RightMiddle, { -500, 0 }, 1.0, { 100, 100, 111, 201 } },
        { "corner stops at the image", CropHandle::BottomRight, { 1000, 1000 }, 1.0, { 100, 100, 512, 512 } },
        { "truncated toward zero", CropHandle::RightMiddle, { -3, 0 }, 2.0, { 100, 100, 200, 201 } },
        { "inside moves nothing", CropHandle::Inside, { 9, 9 }, 1.0, { 100, 100, 201, 201 } },
        { "zoom 0 moves nothing", CropHandle::BottomRight, { 9, 9 }, 0.0, { 100, 100, 201, 201 } },
        { "no overflow", CropHandle::TopLeft, { IntMax, -IntMax }, 0.001, { 190, 0, 201, 201 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Square.withHandleDragged(c.handle, c.delta, c.zoom).rect(), c.rect) << c.name;
}

TEST(CropFrame, CropsToItsPartOfTheImageAsTheImageIsNow)
{
    const CropFrame whole = *CropFrame::fromDrag({ 0, 0 }, { 511, 511 }, Ct);
    EXPECT_EQ(Square.cropRegion(Ct), (Rect { 100, 100, 201, 201 }));
    EXPECT_EQ(Square.cropRegion({ 150, 160 }), (Rect { 100, 100, 150, 160 }));
    EXPECT_EQ(Square.cropRegion({ 100, 300 }), std::nullopt);
    EXPECT_EQ(whole.cropRegion(Ct), std::nullopt); // cuts nothing away
}

TEST(CropFrame, IsValidOnlyForTheImageSizeItWasDrawnOn)
{
    EXPECT_TRUE(Square.isValidFor(Ct));
    EXPECT_FALSE(Square.isValidFor({ 1024, 1024 })); // still fits, but marks other pixels
}

TEST(CropFrame, HandleSquaresSitJustInsideTheOutline)
{
    const std::array<Rect, 8> squares = cropHandleSquares({ 10, 20, 110, 220 });
    EXPECT_EQ(squares[1], (Rect { 57, 20, 62, 25 }));     // top middle, from the middle - 3
    EXPECT_EQ(squares[7], (Rect { 105, 215, 110, 220 })); // bottom-right
}

} // namespace
} // namespace viewmodel
