#include "view/tools/AnnotationTools.h"

#include "document/COrvoDoc.h"
#include "view/COrvoView.h"
#include "view/OverlayEdits.h"
#include "document/OverlayPainter.h"

#include <QPainter>

void TextAnnotationTool::press(const ToolEvent& event)
{
    if (event.image)
        view().addAnnotationAt(event.viewport);
}

void MoveAnnotationTool::press(const ToolEvent& event)
{
    if (!event.image || !view().document().showAnnotations())
        return;
    const viewmodel::FrameOverlays& overlays = view().document().overlays();
    const std::optional<std::size_t> index = overlays.annotations.hitTest(*event.image);
    if (!index)
        return;
    m_index = index;
    m_dragged = *overlays.annotations.at(*index);
    m_press = event.viewport;
    m_offset = {};
    remember(event);
    view().viewport()->update();
}

void MoveAnnotationTool::move(const ToolEvent& event)
{
    if (!m_index)
        return;
    m_offset = viewmodel::annotationMoveOffset(m_press, event.viewport, view().document().zoom(),
                                               { event.shift, event.control });
    remember(event);
    view().viewport()->update();
}

void MoveAnnotationTool::release(const ToolEvent& event)
{
    if (!m_index)
        return;
    const std::size_t index = *m_index;
    const viewmodel::Point offset = viewmodel::annotationMoveOffset(m_press, event.viewport, view().document().zoom(),
                                                                    { event.shift, event.control });
    m_index.reset();
    // The document repaints when the move changes something; an empty move
    // still has to show the annotation again.
    if (!overlayedits::moveAnnotation(view().document(), index, offset))
        view().viewport()->update();
}

void MoveAnnotationTool::paint(QPainter& painter) const
{
    if (!m_index)
        return;
    const viewmodel::Point at { m_dragged.position.x + m_offset.x, m_dragged.position.y + m_offset.y };
    paintAnnotation(painter, m_dragged, at, view().document().zoom(), view().displayedImageRect());
}

void MoveAnnotationTool::describe(const ToolEvent& event, viewmodel::CursorContext& context) const
{
    context.overObject = event.image && overlayedits::overlayAt(view().document(), *event.image).has_value();
}

void DeleteAnnotationTool::press(const ToolEvent& event)
{
    if (!event.image)
        return;
    if (const auto ref = overlayedits::overlayAt(view().document(), *event.image))
        overlayedits::remove(view().document(), *ref);
}

void DeleteAnnotationTool::describe(const ToolEvent& event, viewmodel::CursorContext& context) const
{
    context.overObject = event.image && overlayedits::overlayAt(view().document(), *event.image).has_value();
}
