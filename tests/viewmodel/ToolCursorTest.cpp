#include "view/model/ToolCursor.h"

#include <gtest/gtest.h>

namespace viewmodel {
namespace {

TEST(ToolCursor, FollowsToolPlaceKeysAndCropHandle)
{
    constexpr CursorContext Inside { .insideImage = true };
    constexpr CursorContext Outside {};
    struct Case {
        const char* name;
        Tool tool;
        CursorContext context;
        CursorId cursor;
    };
    const Case cases[] = {
        { "pan inside", Tool::PanHand, Inside, CursorId::Cross },
        { "pan dragging", Tool::PanHand, { .insideImage = true, .leftButtonDown = true }, CursorId::ClosedHand },
        { "zoom with Control", Tool::ZoomInOut, { .insideImage = true, .control = true }, CursorId::ZoomOut },
        { "over a scroll bar", Tool::LevelWindow, { .overScrollBar = true, .insideImage = true }, CursorId::Arrow },
        { "movie over a scroll bar", Tool::MoviePlayingBackward, { .overScrollBar = true }, CursorId::Movie },
        { "selection, Shift and Control", Tool::SelectionRectangle, { .shift = true, .control = true },
            CursorId::SelectionShiftControl },
        { "erase, over an object", Tool::DeleteAnnotation, { .insideImage = true, .overObject = true },
            CursorId::EraserOverObject },
        { "crop, no handle", Tool::Crop, Outside, CursorId::Move },
        { "crop, bottom-right", Tool::Crop, { .cropHandle = CropHandle::BottomRight }, CursorId::ResizeDiagonalDown },
        { "crop, bottom-left", Tool::Crop, { .cropHandle = CropHandle::BottomLeft }, CursorId::ResizeDiagonalUp },
        { "crop, left middle", Tool::Crop, { .cropHandle = CropHandle::LeftMiddle }, CursorId::ResizeHorizontal },
    };
    for (const Case& c : cases)
        EXPECT_EQ(cursorFor(c.tool, c.context), c.cursor) << c.name;
}

} // namespace
} // namespace viewmodel
