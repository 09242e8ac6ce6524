#pragma once

#include "view/model/CropFrame.h"
#include "view/model/Tool.h"

#include <cstdint>

namespace viewmodel {

// The mouse cursor the view shows; the shell draws or picks a shape for each.
enum class CursorId : std::int32_t {
    Arrow,
    Cross,
    ClosedHand,
    ZoomIn,
    ZoomOut,
    DynamicZoom,
    Text,
    SelectionShiftControl,
    SelectionShift,
    SelectionControl,
    Move,
    Eraser,
    EraserOverObject,
    ResizeDiagonalDown, // top-left to bottom-right
    ResizeDiagonalUp,   // bottom-left to top-right
    ResizeVertical,
    ResizeHorizontal,
    LevelWindow,
    Movie,
};

// What decides the cursor at one mouse position.
struct CursorContext {
    bool overScrollBar = false;
    bool insideImage = false;
    bool leftButtonDown = false;
    bool shift = false;
    // Control held; the zoom tool reads only the left Control key.
    bool control = false;
    // An annotation or a measurement lies under the cursor.
    bool overObject = false;
    CropHandle cropHandle = CropHandle::None;
};

CursorId cursorFor(Tool tool, const CursorContext& context);

// The zoom and selection cursors show the modifier keys held, so they change
// with every key press and release in those tools.
bool cursorFollowsKeys(Tool tool);

} // namespace viewmodel
