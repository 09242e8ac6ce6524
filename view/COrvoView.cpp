#include "view/COrvoView.h"

#include "view/AutoScrollMarker.h"
#include "view/FramePicture.h"
#include "view/ViewCursors.h"
#include "view/tools/ViewTool.h"

#include "document/COrvoDoc.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/FrameImage.h"

#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

QRect toQRect(const viewmodel::Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

} // namespace

COrvoView::COrvoView(COrvoDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_document(document)
{
    setObjectName(QStringLiteral("ImageView"));
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setBackgroundColour(document::UserOptions {}.docBgColor);
    selectTool(m_tool);
    connect(&m_document, &COrvoDoc::changed, this, [this] {
        updateScrollRanges();
        frameChanged();
        updateOutlineTimer();
    });
    connect(&m_document, &COrvoDoc::overlaysChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&m_document, &COrvoDoc::zoomChanged, this, [this] {
        updateScrollRanges();
        viewport()->update();
    });
}

COrvoView::~COrvoView() = default;

void COrvoView::selectTool(viewmodel::Tool tool)
{
    stopMovie();
    endDrag();
    m_tool = tool;
    m_toolHandler = makeViewTool(tool, *this);
    viewport()->update();
}

ToolEvent COrvoView::toolEvent(QPoint at, Qt::KeyboardModifiers keys) const
{
    return { { at.x(), at.y() }, transform().toImage({ at.x(), at.y() }), keys.testFlag(Qt::ShiftModifier),
        keys.testFlag(Qt::ControlModifier) };
}

ToolEvent COrvoView::toolEvent(const QMouseEvent& event) const
{
    return toolEvent(event.position().toPoint(), event.modifiers());
}

void COrvoView::updateCursor()
{
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    const ToolEvent event = toolEvent(at, QGuiApplication::queryKeyboardModifiers());
    viewmodel::CursorContext context;
    context.insideImage = m_document.frame() && transform().isInsideImage(event.viewport);
    context.leftButtonDown = m_toolHandler && m_toolHandler->dragging();
    context.shift = event.shift;
    context.control = event.control;
    if (m_toolHandler)
        m_toolHandler->describe(event, context);
    viewport()->setCursor(viewCursor(viewmodel::cursorFor(m_tool, context)));
}

void COrvoView::frameChanged()
{
    m_frameCache = {};
    viewport()->update();
}

void COrvoView::endDrag()
{
    if (m_toolHandler)
        m_toolHandler->cancel();
    updateOutlineTimer();
}

void COrvoView::mousePressEvent(QMouseEvent* event)
{
    if (closeAutoScroll()) {
        event->accept();
        return;
    }
    if (event->button() == Qt::MiddleButton) {
        openAutoScroll(event->position().toPoint());
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && playingMovie()) {
        stopMovie();
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && m_toolHandler && m_document.frame()) {
        m_toolHandler->press(toolEvent(*event));
        updateCursor();
        updateOutlineTimer();
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton && m_toolHandler && m_document.frame()
        && m_toolHandler->rightPress(toolEvent(*event))) {
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void COrvoView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_toolHandler && m_toolHandler->dragging()) {
        m_toolHandler->release(toolEvent(*event));
        updateCursor();
        updateOutlineTimer();
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void COrvoView::focusOutEvent(QFocusEvent* event)
{
    closeAutoScroll();
    endDrag();
    QAbstractScrollArea::focusOutEvent(event);
}

void COrvoView::hideEvent(QHideEvent* event)
{
    stopMovie();
    closeAutoScroll();
    endDrag();
    QAbstractScrollArea::hideEvent(event);
}

void COrvoView::setBackgroundColour(document::ColorRef colour)
{
    m_background = QColor(document::redOf(colour), document::greenOf(colour), document::blueOf(colour));
    viewport()->update();
}

viewmodel::ViewTransform COrvoView::transform() const
{
    const imaging::FrameImage* frame = m_document.frame();
    const viewmodel::Size image = frame ? viewmodel::Size { frame->width(), frame->height() } : viewmodel::Size {};
    const viewmodel::Size port { viewport()->width(), viewport()->height() };
    return viewmodel::ViewTransform(image, port, m_document.zoom(), scrollPosition());
}

viewmodel::Point COrvoView::scrollPosition() const
{
    return { horizontalScrollBar()->value(), verticalScrollBar()->value() };
}

QRect COrvoView::computeImageRect() const
{
    if (!m_document.frame())
        return {};
    return toQRect(transform().displayedRect());
}

void COrvoView::updateScrollRanges()
{
    const viewmodel::Point most = transform().scrollMaximum();
    horizontalScrollBar()->setRange(0, most.x);
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, most.y);
    verticalScrollBar()->setPageStep(viewport()->height());
}

const QImage& COrvoView::framePixmap()
{
    const imaging::FrameImage* frame = m_document.frame();
    const imaging::DisplayBitmap* bitmap = frame ? frame->displayBitmap() : nullptr;
    if (!bitmap || bitmap->isNull()) {
        m_frameCache = {};
        return m_frameCache;
    }
    // Converted and turned top-down once per change of the bitmap, so the
    // repaints of a timer or a scroll only scale it.
    if (m_frameCache.isNull())
        m_frameCache = framePicture(*bitmap);
    return m_frameCache;
}

void COrvoView::paintEvent(QPaintEvent*)
{
    // The fit sets the factor this paint lays the frame out at.
    fitIfPending();
    const QImage& picture = framePixmap();
    QPainter painter(viewport());
    if (picture.isNull()) {
        painter.fillRect(viewport()->rect(), Qt::black);
        return;
    }
    m_imageRect = computeImageRect();
    // Four strips around the frame, so the frame itself is drawn only once.
    const QRect all = viewport()->rect();
    const QRegion around = QRegion(all).subtracted(QRegion(m_imageRect));
    for (const QRect& strip : around)
        painter.fillRect(strip, m_background);
    // Nearest neighbour: rows and columns are dropped or repeated, never blended.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(m_imageRect, picture);
    paintOverlays(painter);
    paintSelectionOutline(painter);
    if (m_toolHandler)
        m_toolHandler->paint(painter);
    emit framePainted();
}

void COrvoView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void COrvoView::openAutoScroll(QPoint at)
{
    if (playingMovie() || !m_document.frame())
        return;
    const auto mode = viewmodel::autoScrollMode(transform().shownSize(), { viewport()->width(), viewport()->height() });
    if (mode)
        m_autoScroll = new AutoScrollMarker(*this, *mode, at);
}

bool COrvoView::closeAutoScroll()
{
    if (!m_autoScroll || !m_autoScroll->isVisible())
        return false;
    m_autoScroll->close();
    m_autoScroll = nullptr;
    return true;
}

void COrvoView::scrollContentsBy(int, int) { viewport()->update(); }

void COrvoView::mouseMoveEvent(QMouseEvent* event)
{
    const ToolEvent mapped = toolEvent(*event);
    // A release that went elsewhere (the grab was taken away) ends the drag
    // where the button was last seen down.
    if (m_toolHandler && m_toolHandler->dragging() && !m_toolHandler->followsPointer()
        && !event->buttons().testFlag(Qt::LeftButton))
        m_toolHandler->cancel();
    if (m_toolHandler && m_toolHandler->dragging())
        m_toolHandler->move(mapped);
    updateCursor();
    const auto& pixel = mapped.image;
    if (pixel)
        emit cursorMoved(pixel->x, pixel->y);
    else
        emit cursorMoved(-1, -1);
}

void COrvoView::leaveEvent(QEvent* event)
{
    emit cursorMoved(-1, -1);
    QAbstractScrollArea::leaveEvent(event);
}
