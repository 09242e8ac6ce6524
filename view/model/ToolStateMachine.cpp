#include "view/model/ToolStateMachine.h"

namespace viewmodel {

namespace {

std::int32_t pointsToMeasure(Tool tool) { return tool == Tool::MeasureAngle ? 3 : 2; }

bool isMeasuring(const ToolState& s) { return s.measurePoints > 0 && s.measurePoints < pointsToMeasure(s.tool); }

// Once a measurement has begun its next points are taken anywhere, clamped to
// the image; only its first point must be on the image.
ToolTransition takeMeasurePoint(ToolState s, const PointerContext& c, ViewAction action)
{
    if (!isMeasuring(s) && !c.insideImage)
        return { s, ViewAction::None };
    s.measurePoints = isMeasuring(s) ? s.measurePoints + 1 : 1;
    return { s, action };
}

ToolTransition pressCrop(ToolState s, const PointerContext& c)
{
    if (!c.cropFrameShown) {
        s.cropDrag = CropDrag::NewFrame;
        return { s, ViewAction::BeginCropFrame };
    }
    switch (c.cropHandle) {
    case CropHandle::Inside: return { s, ViewAction::ApplyCrop };
    case CropHandle::None: return { s, ViewAction::RemoveCropFrame };
    default: s.cropDrag = CropDrag::Handle; return { s, ViewAction::BeginCropHandleDrag };
    }
}

ViewAction moveCrop(const ToolState& s, const PointerContext& c)
{
    if (!s.leftButtonDown || !(c.cropFrameShown || s.cropDrag == CropDrag::NewFrame))
        return ViewAction::None;
    switch (s.cropDrag) {
    case CropDrag::NewFrame: return ViewAction::UpdateCropFrame;
    case CropDrag::Handle: return ViewAction::MoveCropHandle;
    default: return ViewAction::None;
    }
}

ViewAction releaseCrop(const ToolState& s)
{
    switch (s.cropDrag) {
    case CropDrag::NewFrame: return ViewAction::FinishCropFrame;
    case CropDrag::Handle: return ViewAction::EndCropHandleDrag;
    default: return ViewAction::None;
    }
}

// Only a pressed button makes these tools act.
ViewAction whileDown(const ToolState& s, ViewAction action) { return s.leftButtonDown ? action : ViewAction::None; }

} // namespace

ToolTransition selectTool(const ToolState& state, Tool tool, const PointerContext& context)
{
    ToolState s = state;
    s.tool = tool;
    s.selectionDrag = false;
    s.annotationDrag = false;
    s.measurePoints = 0;
    s.cropDrag = CropDrag::None;
    return { s, context.cropFrameShown ? ViewAction::RemoveCropFrame : ViewAction::None };
}

ToolTransition onLeftPress(const ToolState& state, const PointerContext& c)
{
    if (!c.hasFrame)
        return { state, ViewAction::None };
    ToolState s = state;
    s.leftButtonDown = true;
    const auto inside = [&](ViewAction action) { return ToolTransition { s, c.insideImage ? action : ViewAction::None }; };
    switch (s.tool) {
    case Tool::PanHand: return inside(ViewAction::BeginPan);
    case Tool::ZoomInOut: return { s, ViewAction::BeginZoomDrag };
    case Tool::ZoomRectangle:
        s.zoomRectangleDrag = c.insideImage;
        return inside(ViewAction::BeginZoomRectangle);
    case Tool::DynamicZoom: return inside(ViewAction::BeginDynamicZoom);
    case Tool::MoviePlayingForward:
    case Tool::MoviePlayingBackward: return { s, ViewAction::ToggleMovie };
    case Tool::AddTextAnnotation: return inside(ViewAction::AddTextAnnotation);
    case Tool::SelectionRectangle:
        s.selectionDrag = true;
        return { s, ViewAction::BeginSelection };
    case Tool::MoveAnnotation:
        s.annotationDrag = c.insideImage && c.overTextAnnotation;
        return { s, s.annotationDrag ? ViewAction::BeginMoveAnnotation : ViewAction::None };
    case Tool::DeleteAnnotation: return inside(ViewAction::DeleteUnderCursor);
    case Tool::MeasureLength: return takeMeasurePoint(s, c, ViewAction::TakeLengthPoint);
    case Tool::MeasureAngle: return takeMeasurePoint(s, c, ViewAction::TakeAnglePoint);
    case Tool::Crop: return pressCrop(s, c);
    case Tool::LevelWindow: return { s, ViewAction::BeginLevelWindowDrag };
    }
    return { s, ViewAction::None };
}

ToolTransition onMouseMove(const ToolState& s, const PointerContext& c)
{
    if (!c.hasFrame)
        return { s, ViewAction::None };
    // The rubber band follows only over the image; outside it waits.
    if (s.zoomRectangleDrag)
        return { s, c.insideImage ? ViewAction::UpdateZoomRectangle : ViewAction::None };
    switch (s.tool) {
    case Tool::PanHand: return { s, whileDown(s, ViewAction::Pan) };
    case Tool::DynamicZoom: return { s, c.insideImage ? whileDown(s, ViewAction::DynamicZoom) : ViewAction::None };
    case Tool::MoveAnnotation: return { s, s.annotationDrag ? ViewAction::DragAnnotation : ViewAction::None };
    case Tool::MeasureLength: return { s, isMeasuring(s) ? ViewAction::FollowLengthPoint : ViewAction::None };
    case Tool::MeasureAngle: return { s, isMeasuring(s) ? ViewAction::FollowAnglePoint : ViewAction::None };
    case Tool::SelectionRectangle:
        return { s, s.selectionDrag ? whileDown(s, ViewAction::UpdateSelection) : ViewAction::None };
    case Tool::LevelWindow: return { s, whileDown(s, ViewAction::LevelWindowStep) };
    case Tool::Crop: return { s, moveCrop(s, c) };
    default: return { s, ViewAction::None };
    }
}

ToolTransition onLeftRelease(const ToolState& state, const PointerContext& c)
{
    ToolState s = state;
    s.leftButtonDown = false;
    if (!c.hasFrame)
        return { s, ViewAction::None };
    if (state.zoomRectangleDrag) {
        s.zoomRectangleDrag = false;
        return { s, ViewAction::ApplyZoomRectangle };
    }
    switch (s.tool) {
    case Tool::ZoomInOut:
    case Tool::DynamicZoom: return { s, whileDown(state, ViewAction::EndZoomDrag) };
    case Tool::MoveAnnotation:
        s.annotationDrag = false;
        return { s, state.annotationDrag ? ViewAction::CommitAnnotationMove : ViewAction::None };
    case Tool::MeasureLength:
    case Tool::MeasureAngle:
        if (s.measurePoints < pointsToMeasure(s.tool))
            return { s, ViewAction::None };
        s.measurePoints = 0;
        return { s, s.tool == Tool::MeasureLength ? ViewAction::CommitLength : ViewAction::CommitAngle };
    case Tool::SelectionRectangle:
        s.selectionDrag = false;
        return { s, state.selectionDrag ? ViewAction::MakeSelection : ViewAction::None };
    case Tool::LevelWindow: return { s, whileDown(state, ViewAction::EndLevelWindowDrag) };
    case Tool::Crop:
        s.cropDrag = CropDrag::None;
        return { s, releaseCrop(state) };
    default: return { s, ViewAction::None };
    }
}

ViewAction onRightPress(const ToolState& s, const PointerContext& c)
{
    const bool zoomsBack = c.hasFrame && c.insideImage && s.tool == Tool::ZoomInOut;
    return zoomsBack ? ViewAction::ZoomOtherWay : ViewAction::None;
}

ViewAction onMiddlePress(const ToolState& s, const PointerContext& c)
{
    return c.hasFrame && !isMovieTool(s.tool) ? ViewAction::AutoScroll : ViewAction::None;
}

ViewAction onKeyDown(const ToolState& s, Key key, const PointerContext& c)
{
    if (!c.hasFrame)
        return ViewAction::None;
    switch (key) {
    case Key::Escape:
        if (s.tool == Tool::MoviePlayingForward)
            return ViewAction::ToggleMovie;
        return s.tool == Tool::MoviePlayingBackward ? ViewAction::ToggleReverseMovie : ViewAction::None;
    case Key::Delete: return ViewAction::ClearSelectionArea;
    case Key::Other: return ViewAction::None;
    default: return s.tool == Tool::PanHand ? ViewAction::ScrollByKey : ViewAction::None;
    }
}

ViewAction onCharacter(const ToolState& s, char32_t character, const PointerContext& c)
{
    if (!c.hasFrame)
        return ViewAction::None;
    constexpr char32_t escape = 0x1B;
    switch (character) {
    case U'I':
    case U'i': return ViewAction::InverseSelection;
    case U'B':
    case U'b': return ViewAction::BrightnessContrast;
    case escape: return c.cropFrameShown ? ViewAction::RemoveCropFrame : ViewAction::None;
    default: break;
    }
    // Zoom keys would pull the picture from under a zoom rectangle being drawn.
    if (s.zoomRectangleDrag)
        return ViewAction::None;
    switch (character) {
    case U'+': return ViewAction::ZoomStepIn;
    case U'-': return ViewAction::ZoomStepOut;
    case U'*': return ViewAction::ZoomFit;
    case U'/': return ViewAction::ZoomActualSize;
    default: return ViewAction::None;
    }
}

} // namespace viewmodel
