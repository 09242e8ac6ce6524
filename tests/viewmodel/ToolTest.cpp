#include "view/model/Tool.h"

#include <gtest/gtest.h>

namespace viewmodel {
namespace {

TEST(Tool, CommandsNeedAFrameAndTheOverlaysTheyWorkOn)
{
    struct Case {
        Tool tool;
        DocumentShows shows; // frame, annotations, measurements
        bool enabled;
    };
    const Case cases[] = {
        { Tool::PanHand, { true, false, false }, true },
        { Tool::PanHand, {}, false },
        { Tool::MoviePlayingForward, { true, true, true }, false },
        { Tool::AddTextAnnotation, { true, false, true }, false },
        { Tool::DeleteAnnotation, { true, true, false }, true },
        { Tool::MeasureAngle, { true, true, false }, false },
        { Tool::MeasureLength, { true, false, true }, true },
    };
    for (const Case& c : cases)
        EXPECT_EQ(isToolCommandEnabled(c.tool, c.shows), c.enabled) << "tool " << static_cast<int>(c.tool);
    EXPECT_FALSE(toolFromNumber(ToolCount).has_value());
}

TEST(Tool, DrawingColourOfEachTool)
{
    const std::pair<Tool, DrawingColour> cases[] = {
        { Tool::MeasureLength, DrawingColour::Length },
        { Tool::MeasureAngle, DrawingColour::Angle },
        { Tool::AddTextAnnotation, DrawingColour::Annotation },
        { Tool::PanHand, DrawingColour::Annotation },
        { Tool::LevelWindow, DrawingColour::Annotation },
        { Tool::MoviePlayingForward, DrawingColour::Annotation },
    };
    for (const auto& [tool, colour] : cases)
        EXPECT_EQ(drawingColourOf(tool), colour) << "tool " << static_cast<int>(tool);
}

} // namespace
} // namespace viewmodel
