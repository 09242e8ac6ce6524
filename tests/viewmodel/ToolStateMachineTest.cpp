#include "view/model/ToolStateMachine.h"

#include <gtest/gtest.h>

#include <vector>

namespace viewmodel {
namespace {

using A = ViewAction;

constexpr PointerContext In { .hasFrame = true, .insideImage = true };
constexpr PointerContext Out { .hasFrame = true };
constexpr PointerContext NoFrame {};
constexpr PointerContext OverText { .hasFrame = true, .insideImage = true, .overTextAnnotation = true };
constexpr PointerContext CropShown { .hasFrame = true, .insideImage = true, .cropFrameShown = true };
constexpr PointerContext onCrop(CropHandle handle) { return { true, true, false, true, handle }; }

enum Event { P, M, R }; // press, move, release

struct Step {
    Event event;
    PointerContext context;
    ViewAction action;
};

ToolTransition apply(const ToolState& s, const Step& step)
{
    if (step.event == P)
        return onLeftPress(s, step.context);
    return step.event == M ? onMouseMove(s, step.context) : onLeftRelease(s, step.context);
}

TEST(ToolStateMachine, MouseEventsGiveEachToolsActions)
{
    struct Case {
        const char* name;
        Tool tool;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        { "no frame", Tool::LevelWindow, { { P, NoFrame, A::None }, { M, NoFrame, A::None }, { R, NoFrame, A::None } } },
        { "pan", Tool::PanHand, { { M, In, A::None }, { P, In, A::BeginPan }, { M, Out, A::Pan }, { R, In, A::None } } },
        { "zoom anywhere", Tool::ZoomInOut, { { P, Out, A::BeginZoomDrag }, { R, Out, A::EndZoomDrag } } },
        { "dynamic zoom", Tool::DynamicZoom,
            { { P, In, A::BeginDynamicZoom }, { M, In, A::DynamicZoom }, { M, Out, A::None }, { R, Out, A::EndZoomDrag } } },
        { "zoom rectangle", Tool::ZoomRectangle, { { P, Out, A::None }, { R, Out, A::None }, { P, In, A::BeginZoomRectangle },
            { M, Out, A::None }, { M, In, A::UpdateZoomRectangle }, { R, Out, A::ApplyZoomRectangle } } },
        { "movie", Tool::MoviePlayingBackward, { { P, Out, A::ToggleMovie }, { R, Out, A::None } } },
        { "text", Tool::AddTextAnnotation, { { P, Out, A::None }, { P, In, A::AddTextAnnotation }, { R, In, A::None } } },
        { "selection", Tool::SelectionRectangle, { { P, Out, A::BeginSelection }, { M, In, A::UpdateSelection },
            { R, In, A::MakeSelection }, { M, In, A::None } } },
        { "move", Tool::MoveAnnotation, { { P, In, A::None }, { M, In, A::None }, { R, In, A::None },
            { P, OverText, A::BeginMoveAnnotation }, { M, Out, A::DragAnnotation }, { R, Out, A::CommitAnnotationMove } } },
        { "length", Tool::MeasureLength, { { P, Out, A::None }, { M, In, A::None }, { P, In, A::TakeLengthPoint },
            { R, In, A::None }, { M, Out, A::FollowLengthPoint }, { P, Out, A::TakeLengthPoint },
            { R, Out, A::CommitLength }, { M, In, A::None } } },
        { "angle", Tool::MeasureAngle, { { P, In, A::TakeAnglePoint }, { R, In, A::None }, { P, In, A::TakeAnglePoint },
            { R, In, A::None }, { M, In, A::FollowAnglePoint }, { P, In, A::TakeAnglePoint }, { R, In, A::CommitAngle } } },
        { "new crop frame", Tool::Crop, { { P, Out, A::BeginCropFrame }, { M, In, A::UpdateCropFrame },
            { R, In, A::FinishCropFrame }, { M, CropShown, A::None } } },
        { "crop handle", Tool::Crop, { { P, onCrop(CropHandle::TopMiddle), A::BeginCropHandleDrag },
            { M, onCrop(CropHandle::Inside), A::MoveCropHandle }, { R, CropShown, A::EndCropHandleDrag } } },
        { "crop", Tool::Crop, { { P, onCrop(CropHandle::Inside), A::ApplyCrop }, { R, In, A::None } } },
        { "crop dropped", Tool::Crop, { { P, onCrop(CropHandle::None), A::RemoveCropFrame }, { R, Out, A::None } } },
        { "level-window", Tool::LevelWindow, { { P, Out, A::BeginLevelWindowDrag }, { M, In, A::LevelWindowStep },
            { R, Out, A::EndLevelWindowDrag }, { M, In, A::None } } },
    };
    for (const Case& c : cases) {
        ToolState state { .tool = c.tool };
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const ToolTransition t = apply(state, c.steps[i]);
            EXPECT_EQ(t.action, c.steps[i].action) << c.name << ", step " << i;
            state = t.state;
        }
        EXPECT_FALSE(state.leftButtonDown) << c.name;
    }
}

TEST(ToolStateMachine, ChoosingAToolDropsTheCropFrameAndUnfinishedWork)
{
    const ToolState measuring = onLeftPress({ .tool = Tool::MeasureLength }, In).state;
    const ToolTransition away = selectTool(measuring, Tool::SelectionRectangle, CropShown);
    EXPECT_EQ(away.action, A::RemoveCropFrame);
    const ToolTransition back = selectTool(away.state, Tool::MeasureLength, In);
    EXPECT_EQ(back.action, A::None);
    EXPECT_EQ(onMouseMove(back.state, In).action, A::None); // no rubber line from the earlier point
}

TEST(ToolStateMachine, KeysAndCharactersByTool)
{
    struct Case {
        const char* name;
        Tool tool;
        Key key;
        char32_t character;
        PointerContext context;
        ViewAction action;
    };
    const Case cases[] = {
        { "ESC, movie", Tool::MoviePlayingForward, Key::Escape, 0, In, A::ToggleMovie },
        { "ESC, reverse movie", Tool::MoviePlayingBackward, Key::Escape, 0, In, A::ToggleReverseMovie },
        { "Delete", Tool::Crop, Key::Delete, 0, In, A::ClearSelectionArea },
        { "arrow, pan", Tool::PanHand, Key::Left, 0, In, A::ScrollByKey },
        { "arrow, selection", Tool::SelectionRectangle, Key::PageDown, 0, In, A::None },
        { "no frame", Tool::PanHand, Key::Delete, 0, NoFrame, A::None },
        { "ESC character", Tool::Crop, Key::Other, 0x1B, CropShown, A::RemoveCropFrame },
        { "i", Tool::Crop, Key::Other, U'i', In, A::InverseSelection },
        { "/", Tool::PanHand, Key::Other, U'/', In, A::ZoomActualSize },
    };
    for (const Case& c : cases) {
        const ToolState s { .tool = c.tool };
        EXPECT_EQ(c.character ? onCharacter(s, c.character, c.context) : onKeyDown(s, c.key, c.context), c.action)
            << c.name;
    }
    const ToolState drawingRectangle = onLeftPress({ .tool = Tool::ZoomRectangle }, In).state;
    EXPECT_EQ(onCharacter(drawingRectangle, U'-', In), A::None);
}

TEST(ToolStateMachine, RightButtonZoomsBackOnlyInTheZoomTool)
{
    EXPECT_EQ(onRightPress({ .tool = Tool::ZoomInOut }, In), A::ZoomOtherWay);
    EXPECT_EQ(onRightPress({ .tool = Tool::ZoomInOut }, Out), A::None);
    EXPECT_EQ(onRightPress({ .tool = Tool::PanHand }, In), A::None);
}

} // namespace
} // namespace viewmodel
