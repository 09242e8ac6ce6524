#pragma once

#include "view/tools/ViewTool.h"

// Dragging anywhere draws a rectangle; the release makes it the selection of
// every frame in scope, replacing any earlier one. Shift and Control change
// only the cursor.
class SelectionTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    void paint(QPainter& painter) const override;
    bool dragging() const override { return m_dragging; }

private:
    bool m_dragging = false;
    viewmodel::Point m_from;
    viewmodel::Point m_to;
    // The image pixel of the press, kept so that a scroll during the drag
    // does not move the fixed corner.
    viewmodel::Point m_fromImage;
};
