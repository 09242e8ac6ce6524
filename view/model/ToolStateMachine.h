#pragma once

#include "view/model/CropFrame.h"
#include "view/model/Tool.h"

#include <cstdint>

namespace viewmodel {

// What the view does in answer to one event. The transitions below only
// decide; the view carries the action out with the zoom, crop, level-window
// and overlay models.
enum class ViewAction : std::int32_t {
    None,
    BeginPan, // closed hand; the moves scroll
    Pan,
    BeginZoomDrag,
    ZoomOtherWay, // right button in the zoom tool: no drag, no history entry
    BeginDynamicZoom,
    DynamicZoom,
    EndZoomDrag,
    BeginZoomRectangle,
    UpdateZoomRectangle,
    ApplyZoomRectangle,
    AutoScroll,
    ToggleMovie, // the movie command, which stops a playing movie
    ToggleReverseMovie,
    AddTextAnnotation,
    BeginSelection, // stops the outline timer and forgets its running flag
    UpdateSelection,
    MakeSelection, // replaces the selection of every frame in scope
    BeginMoveAnnotation,
    DragAnnotation,
    CommitAnnotationMove,
    DeleteUnderCursor, // a text annotation, else a length, else an angle
    TakeLengthPoint,
    FollowLengthPoint,
    CommitLength,
    TakeAnglePoint,
    FollowAnglePoint,
    CommitAngle,
    BeginCropFrame,
    UpdateCropFrame,
    FinishCropFrame, // keep the frame if CropFrame::fromDrag makes one
    ApplyCrop,       // crop to CropFrame::cropRegion if there is one, then remove the frame
    RemoveCropFrame,
    BeginCropHandleDrag,
    MoveCropHandle,
    EndCropHandleDrag,
    BeginLevelWindowDrag, // snapshot the undo records, so the drag leaves one step
    LevelWindowStep,
    EndLevelWindowDrag,
    ClearSelectionArea,
    InverseSelection,
    BrightnessContrast,
    ScrollByKey,
    ZoomStepIn,
    ZoomStepOut,
    ZoomFit,
    ZoomActualSize,
};

enum class CropDrag : std::int32_t { None, NewFrame, Handle };

// The view's tool state between events.
struct ToolState {
    Tool tool = Tool::PanHand;
    // Set by a left press on a frame, whatever the tool does with it.
    bool leftButtonDown = false;
    bool zoomRectangleDrag = false;
    bool selectionDrag = false;
    bool annotationDrag = false;
    // Points taken of the length (2 in all) or angle (3) being measured.
    std::int32_t measurePoints = 0;
    CropDrag cropDrag = CropDrag::None;

    friend bool operator==(const ToolState&, const ToolState&) = default;
};

// What the view knows of the document and the mouse position at an event.
struct PointerContext {
    bool hasFrame = false;
    bool insideImage = false;
    bool overTextAnnotation = false;
    bool cropFrameShown = false;
    // The shown crop frame's hit test at the mouse position.
    CropHandle cropHandle = CropHandle::None;
};

struct ToolTransition {
    ToolState state;
    ViewAction action = ViewAction::None;
};

// A tool command: a crop frame being set up belongs to the tool that is left,
// as do the drags and measurements it had begun.
ToolTransition selectTool(const ToolState& state, Tool tool, const PointerContext& context);

ToolTransition onLeftPress(const ToolState& state, const PointerContext& context);
ToolTransition onMouseMove(const ToolState& state, const PointerContext& context);
ToolTransition onLeftRelease(const ToolState& state, const PointerContext& context);
ViewAction onRightPress(const ToolState& state, const PointerContext& context);
ViewAction onMiddlePress(const ToolState& state, const PointerContext& context);

enum class Key : std::int32_t { Escape, Delete, PageUp, PageDown, Home, End, Left, Up, Right, Down, Other };

// A key pressed in the view.
ViewAction onKeyDown(const ToolState& state, Key key, const PointerContext& context);
// A character typed in the view.
ViewAction onCharacter(const ToolState& state, char32_t character, const PointerContext& context);

} // namespace viewmodel
