#pragma once

#include "view/model/ViewTransform.h"
#include "view/tools/ViewTool.h"

#include <vector>

// Takes its points click by click, each clamped to the frame; between the
// clicks the next point follows the mouse. The release after the last click
// makes the record. The first click must land on the frame.
class ClickPointsTool : public ViewTool {
public:
    ClickPointsTool(COrvoView& view, std::size_t pointCount)
        : ViewTool(view)
        , m_pointCount(pointCount)
    {
    }

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    // A measurement cut short by a lost focus or a tool change is dropped:
    // it has no record to finish.
    void cancel() override;
    // Escape drops the measurement under way.
    bool key(const QKeyEvent& event) override;
    bool dragging() const override { return !m_points.empty(); }
    bool followsPointer() const override { return true; }

protected:
    // The points taken, then the one following the mouse while unfinished.
    std::vector<viewmodel::Point> shownPoints() const;
    virtual void commit(const std::vector<viewmodel::Point>& points) = 0;

private:
    std::size_t m_pointCount;
    std::vector<viewmodel::Point> m_points;
    viewmodel::Point m_following;
};

class LengthTool final : public ClickPointsTool {
public:
    explicit LengthTool(COrvoView& view)
        : ClickPointsTool(view, 2)
    {
    }
    void paint(QPainter& painter) const override;

private:
    void commit(const std::vector<viewmodel::Point>& points) override;
};

class AngleTool final : public ClickPointsTool {
public:
    explicit AngleTool(COrvoView& view)
        : ClickPointsTool(view, 3)
    {
    }
    void paint(QPainter& painter) const override;

private:
    void commit(const std::vector<viewmodel::Point>& points) override;
};
