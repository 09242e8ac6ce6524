#pragma once

#include "view/tools/ViewTool.h"

// Dragging inside the frame moves the magnified picture with the hand.
class PanTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    bool dragging() const override { return m_dragging; }

private:
    bool m_dragging = false;
    viewmodel::Point m_last;
};
