#pragma once

#include "view/tools/ViewTool.h"

// Dragging up from a press on the frame enlarges it, dragging down shrinks
// it, with the pressed pixel held under the press point; the release
// records the new view once.
class DynamicZoomTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    bool dragging() const override { return m_dragging; }

private:
    bool m_dragging = false;
    viewmodel::Point m_pixel;
    viewmodel::Point m_pressedAt;
    int m_lastY = 0;
};
