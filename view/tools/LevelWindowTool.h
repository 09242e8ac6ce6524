#pragma once

#include "view/model/LevelWindowDrag.h"
#include "view/tools/ViewTool.h"

// Dragging sets the current frame's window: down raises the centre, right
// widens it. The steps of a drag are undone at the release and the final
// window is set once, on every frame the "Apply to all frames" switch
// covers, so one drag is one undoable change a frame.
class LevelWindowTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    bool dragging() const override { return m_dragging; }

private:
    viewmodel::LevelWindow windowAt(const ToolEvent& event) const;

    bool m_dragging = false;
    int m_frame = -1;
    viewmodel::Point m_pressedAt;
    viewmodel::LevelWindow m_atPress;
    viewmodel::SampleRange m_range;
};
