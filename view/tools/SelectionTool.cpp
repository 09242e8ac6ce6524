#include "view/tools/SelectionTool.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/COrvoView.h"
#include "view/model/SelectionDrag.h"
#include "view/tools/RubberBand.h"

#include <QRect>

void SelectionTool::press(const ToolEvent& event)
{
    m_dragging = true;
    m_from = event.viewport;
    m_to = event.viewport;
    m_fromImage = view().transform().toImageClamped(event.viewport);
    remember(event);
    view().viewport()->update();
}

void SelectionTool::move(const ToolEvent& event)
{
    if (!m_dragging)
        return;
    m_to = event.viewport;
    remember(event);
    view().viewport()->update();
}

void SelectionTool::release(const ToolEvent& event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    view().viewport()->update();
    const viewmodel::ViewTransform transform = view().transform();
    const std::optional<viewmodel::Rect> rect = viewmodel::selectionFromDrag(
        m_fromImage, transform.toImageClamped(event.viewport), transform.imageSize());
    if (!rect)
        return;
    // The region takes the corner pixels themselves: right and bottom inclusive.
    view().document().changeFrames([&rect](imaging::FrameImage& frame, int) {
        return frame.selectRectangle(rect->left, rect->top, rect->right - 1, rect->bottom - 1);
    });
}

void SelectionTool::paint(QPainter& painter) const
{
    if (!m_dragging)
        return;
    const QRect band = QRect(QPoint(m_from.x, m_from.y), QPoint(m_to.x, m_to.y)).normalized();
    paintRubberBand(painter, band);
}
