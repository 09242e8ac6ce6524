#pragma once

#include "view/tools/ViewTool.h"

#include <memory>

class QTimer;

// A rubber rectangle dragged from a press on the frame; the release shows
// the part of the frame it covers as large as the window allows. The dashes
// of its outline crawl while it is dragged.
class ZoomRectangleTool final : public ViewTool {
public:
    explicit ZoomRectangleTool(COrvoView& view);
    ~ZoomRectangleTool() override;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    void paint(QPainter& painter) const override;
    bool dragging() const override { return m_dragging; }

private:
    bool m_dragging = false;
    viewmodel::Point m_pressedAt;
    viewmodel::Point m_corner;
    int m_phase = 0;
    std::unique_ptr<QTimer> m_timer;
};
