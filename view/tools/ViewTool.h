#pragma once

// One tool of the image view. The view hands it the mouse, already mapped to
// the frame; the tool changes the document and records its step there, so
// the view itself only paints and forwards events.

#include "view/model/ViewTransform.h"

#include <optional>

class COrvoView;

struct ToolEvent {
    viewmodel::Point viewport;
    // The frame's pixel under the point; none off the frame.
    std::optional<viewmodel::Point> image;
};

class ViewTool {
public:
    explicit ViewTool(COrvoView& view) : m_view(view) {}
    virtual ~ViewTool() = default;
    ViewTool(const ViewTool&) = delete;
    ViewTool& operator=(const ViewTool&) = delete;

    // The left button.
    virtual void press(const ToolEvent& event) = 0;
    virtual void move(const ToolEvent& event) = 0;
    virtual void release(const ToolEvent& event) = 0;
    // The drag cannot see its release (focus lost, window hidden, another
    // tool chosen): it ends as a release at the last point it saw, so it
    // leaves exactly the step a release would.
    void cancel()
    {
        if (dragging())
            release(m_last);
    }
    virtual bool dragging() const = 0;

protected:
    COrvoView& view() const { return m_view; }
    void remember(const ToolEvent& event) { m_last = event; }

private:
    COrvoView& m_view;
    ToolEvent m_last;
};
