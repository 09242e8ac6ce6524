#include "view/model/ToolContextMenu.h"

#include <gtest/gtest.h>

namespace viewmodel {
namespace {

TEST(ToolContextMenu, OffersTheOverlayMenuOnlyInToolsForThatOverlay)
{
    struct Case {
        Tool tool;
        OverlayHit hit;
        ContextMenu menu;
    };
    const Case cases[] = {
        { Tool::PanHand, OverlayHit::TextAnnotation, ContextMenu::Selection },
        { Tool::AddTextAnnotation, OverlayHit::TextAnnotation, ContextMenu::TextAnnotation },
        { Tool::MoveAnnotation, OverlayHit::Angle, ContextMenu::Measurement },
        { Tool::MeasureLength, OverlayHit::Angle, ContextMenu::None },
        { Tool::MeasureLength, OverlayHit::TextAnnotation, ContextMenu::None },
        { Tool::MoveAnnotation, OverlayHit::Nothing, ContextMenu::None },
    };
    for (const Case& c : cases)
        EXPECT_EQ(contextMenuFor(c.tool, c.hit), c.menu) << static_cast<int>(c.tool) << " " << static_cast<int>(c.hit);
}

} // namespace
} // namespace viewmodel
