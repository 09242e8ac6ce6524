#include "view/model/ToolCursor.h"

namespace viewmodel {

namespace {

CursorId cropCursor(CropHandle handle)
{
    switch (handle) {
    case CropHandle::TopLeft:
    case CropHandle::BottomRight: return CursorId::ResizeDiagonalDown;
    case CropHandle::TopRight:
    case CropHandle::BottomLeft: return CursorId::ResizeDiagonalUp;
    case CropHandle::TopMiddle:
    case CropHandle::BottomMiddle: return CursorId::ResizeVertical;
    case CropHandle::LeftMiddle:
    case CropHandle::RightMiddle: return CursorId::ResizeHorizontal;
    default: return CursorId::Move;
    }
}

CursorId selectionCursor(const CursorContext& c)
{
    if (c.shift && c.control)
        return CursorId::SelectionShiftControl;
    if (c.shift)
        return CursorId::SelectionShift;
    if (c.control)
        return CursorId::SelectionControl;
    return CursorId::Cross;
}

// The cursor of the tools that act only on a point of the image.
CursorId insideCursor(Tool tool, const CursorContext& c)
{
    switch (tool) {
    case Tool::PanHand: return c.leftButtonDown ? CursorId::ClosedHand : CursorId::Cross;
    case Tool::ZoomInOut: return c.control ? CursorId::ZoomOut : CursorId::ZoomIn;
    case Tool::DynamicZoom: return CursorId::DynamicZoom;
    case Tool::AddTextAnnotation: return CursorId::Text;
    case Tool::MoveAnnotation: return c.overObject ? CursorId::Move : CursorId::Cross;
    case Tool::DeleteAnnotation: return c.overObject ? CursorId::EraserOverObject : CursorId::Eraser;
    case Tool::LevelWindow: return CursorId::LevelWindow;
    default: return CursorId::Cross;
    }
}

} // namespace

CursorId cursorFor(Tool tool, const CursorContext& context)
{
    // A playing movie keeps its cursor everywhere, to show that a click stops it.
    if (isMovieTool(tool))
        return CursorId::Movie;
    if (context.overScrollBar)
        return CursorId::Arrow;
    if (tool == Tool::SelectionRectangle)
        return selectionCursor(context);
    if (tool == Tool::Crop)
        return cropCursor(context.cropHandle);
    return context.insideImage ? insideCursor(tool, context) : CursorId::Arrow;
}

bool cursorFollowsKeys(Tool tool) { return tool == Tool::ZoomInOut || tool == Tool::SelectionRectangle; }

} // namespace viewmodel
