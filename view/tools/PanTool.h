#pragma once

#include "view/tools/ViewTool.h"

// Dragging inside the frame moves the magnified picture with the hand; the
// page, Home, End and arrow keys scroll it.
class PanTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    bool key(const QKeyEvent& event) override;
    bool dragging() const override { return m_dragging; }

    static constexpr int KeyStep = 10;

private:
    bool m_dragging = false;
    viewmodel::Point m_last;
};
