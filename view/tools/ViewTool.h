#pragma once

// One tool of the image view. The view hands it the mouse, already mapped to
// the frame; the tool changes the document and records its step there, so
// the view itself only paints and forwards events.

#include "view/model/ToolCursor.h"
#include "view/model/ViewTransform.h"

#include <cstddef>
#include <memory>
#include <optional>

class COrvoView;
class QKeyEvent;
class QPainter;

struct ToolEvent {
    viewmodel::Point viewport;
    // The frame's pixel under the point; none off the frame.
    std::optional<viewmodel::Point> image;
    bool shift = false;
    bool control = false;
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
    // The right button; most tools leave it to the context menu (false).
    virtual bool rightPress(const ToolEvent&) { return false; }
    // A key typed in the view; false leaves it to the view.
    virtual bool key(const QKeyEvent&) { return false; }
    // Draws what the tool shows over the frame (rubber bands, handles), in
    // viewport coordinates, after the frame is painted.
    virtual void paint(QPainter&) const {}
    // What the tool adds to the cursor decision at a point (a crop handle).
    virtual void describe(const ToolEvent&, viewmodel::CursorContext&) const {}
    // The drag cannot see its release (focus lost, window hidden, another
    // tool chosen): it ends as a release at the last point it saw, so it
    // leaves exactly the step a release would.
    virtual void cancel()
    {
        if (dragging())
            release(m_last);
    }
    virtual bool dragging() const = 0;
    // A tool that takes its points click by click follows the mouse between
    // the clicks, with no button down.
    virtual bool followsPointer() const { return false; }
    // The annotation the tool draws itself while it drags it.
    virtual std::optional<std::size_t> draggedAnnotation() const { return std::nullopt; }

protected:
    COrvoView& view() const { return m_view; }
    void remember(const ToolEvent& event) { m_last = event; }

private:
    COrvoView& m_view;
    ToolEvent m_last;
};

// The handler of a tool, or none for a tool whose behaviour the view does
// not have (the movie values).
std::unique_ptr<ViewTool> makeViewTool(viewmodel::Tool tool, COrvoView& view);
