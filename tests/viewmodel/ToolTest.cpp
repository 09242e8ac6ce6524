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

} // namespace
} // namespace viewmodel
