#pragma once

#include "view/tools/ViewTool.h"

// A left press zooms in half a step (out with Control) about the pressed
// pixel, anywhere over the view; the release records the new view. The right
// button zooms the other way over the frame, without anchoring or a record.
class ZoomTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    bool rightPress(const ToolEvent& event) override;
    bool dragging() const override { return m_dragging; }

private:
    bool m_dragging = false;
};
