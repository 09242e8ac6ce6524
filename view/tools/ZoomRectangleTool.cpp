#include "view/tools/ZoomRectangleTool.h"

#include "view/COrvoView.h"
#include "view/model/SelectionDrag.h"
#include "view/model/ZoomSteps.h"
#include "view/tools/RubberBand.h"

#include <QRect>
#include <QTimer>

#include <algorithm>

ZoomRectangleTool::ZoomRectangleTool(COrvoView& view)
    : ViewTool(view)
    , m_timer(std::make_unique<QTimer>())
{
    m_timer->setInterval(viewmodel::OutlineTickMilliseconds);
    // The tick only asks for a repaint; the outline is drawn with the frame.
    QObject::connect(m_timer.get(), &QTimer::timeout, view.viewport(), [this] {
        m_phase = viewmodel::nextOutlinePhase(m_phase);
        this->view().viewport()->update();
    });
}

ZoomRectangleTool::~ZoomRectangleTool() = default;

void ZoomRectangleTool::press(const ToolEvent& event)
{
    if (!view().transform().isInsideImage(event.viewport))
        return;
    m_dragging = true;
    m_pressedAt = event.viewport;
    m_corner = event.viewport;
    m_phase = 0;
    m_timer->start();
    remember(event);
    view().viewport()->update();
}

void ZoomRectangleTool::move(const ToolEvent& event)
{
    if (!m_dragging)
        return;
    remember(event);
    if (!view().transform().isInsideImage(event.viewport))
        return;
    m_corner = event.viewport;
    view().viewport()->update();
}

void ZoomRectangleTool::release(const ToolEvent& event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    m_timer->stop();
    COrvoView& shown = view();
    const viewmodel::ViewTransform transform = shown.transform();
    if (transform.isInsideImage(event.viewport))
        m_corner = event.viewport;
    const auto target = viewmodel::zoomToRectangle(transform, { m_pressedAt.x, m_pressedAt.y, m_corner.x, m_corner.y });
    if (target)
        shown.setZoomAndScroll(target->zoom, target->scroll, COrvoView::ZoomRecord::Yes);
    else
        shown.viewport()->update();
}

void ZoomRectangleTool::paint(QPainter& painter) const
{
    if (!m_dragging)
        return;
    const QRect outline(QPoint(std::min(m_pressedAt.x, m_corner.x), std::min(m_pressedAt.y, m_corner.y)),
        QPoint(std::max(m_pressedAt.x, m_corner.x), std::max(m_pressedAt.y, m_corner.y)));
    paintRubberBand(painter, outline, m_phase);
}
