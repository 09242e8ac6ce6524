#include "view/AutoScrollMarker.h"

#include "view/COrvoView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace {

Qt::CursorShape cursorFor(viewmodel::AutoScrollMode mode)
{
    switch (mode) {
    case viewmodel::AutoScrollMode::Horizontal: return Qt::SizeHorCursor;
    case viewmodel::AutoScrollMode::Vertical: return Qt::SizeVerCursor;
    case viewmodel::AutoScrollMode::Both: break;
    }
    return Qt::SizeAllCursor;
}

// A small triangle pointing away from the centre, `dx`/`dy` giving the way.
QPolygon arrow(QPoint centre, int dx, int dy)
{
    constexpr int Reach = 14;
    constexpr int Base = 7;
    constexpr int HalfWidth = 5;
    const QPoint tip = centre + QPoint(dx * Reach, dy * Reach);
    const QPoint base = centre + QPoint(dx * Base, dy * Base);
    const QPoint across(dy * HalfWidth, dx * HalfWidth);
    return QPolygon({ tip, base + across, base - across });
}

} // namespace

AutoScrollMarker::AutoScrollMarker(COrvoView& view, viewmodel::AutoScrollMode mode, QPoint at)
    : QWidget(view.viewport())
    , m_view(view)
    , m_mode(mode)
{
    setObjectName(QStringLiteral("AutoScrollMarker"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Side, Side);
    move(at - QPoint(Side / 2, Side / 2));
    setMask(QRegion(rect(), QRegion::Ellipse));
    setCursor(cursorFor(mode));
    show();
    raise();
    // Every press, over the view or elsewhere, comes here and closes it.
    grabMouse();
    m_timer = new QTimer(this);
    m_timer->setInterval(TickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &AutoScrollMarker::tick);
    m_timer->start();
}

void AutoScrollMarker::tick()
{
    const QPoint cursor = parentWidget()->mapFromGlobal(QCursor::pos());
    const QRect at = geometry();
    QScrollBar* across = m_view.horizontalScrollBar();
    QScrollBar* down = m_view.verticalScrollBar();
    const viewmodel::Point next = viewmodel::autoScrollStep(m_mode,
        { at.left(), at.top(), at.left() + at.width(), at.top() + at.height() }, { cursor.x(), cursor.y() },
        { across->value(), down->value() }, { across->maximum(), down->maximum() });
    across->setValue(next.x);
    down->setValue(next.y);
}

void AutoScrollMarker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(64, 64, 64), 2));
    painter.setBrush(QColor(240, 240, 240));
    painter.drawEllipse(rect().adjusted(1, 1, -1, -1));
    const QPoint centre = rect().center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(32, 32, 32));
    painter.drawEllipse(centre, 2, 2);
    if (m_mode != viewmodel::AutoScrollMode::Vertical) {
        painter.drawPolygon(arrow(centre, -1, 0));
        painter.drawPolygon(arrow(centre, 1, 0));
    }
    if (m_mode != viewmodel::AutoScrollMode::Horizontal) {
        painter.drawPolygon(arrow(centre, 0, -1));
        painter.drawPolygon(arrow(centre, 0, 1));
    }
}

void AutoScrollMarker::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

void AutoScrollMarker::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

void AutoScrollMarker::wheelEvent(QWheelEvent* event)
{
    event->accept();
    close();
}

void AutoScrollMarker::hideEvent(QHideEvent* event)
{
    m_timer->stop();
    releaseMouse();
    QWidget::hideEvent(event);
}
