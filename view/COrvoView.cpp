#include "view/COrvoView.h"

#include "view/tools/LevelWindowTool.h"
#include "view/tools/PanTool.h"

#include "document/COrvoDoc.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/FrameImage.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

// Wraps the bottom-up packed bitmap without copying; the caller flips it.
QImage wrapBitmap(const imaging::DisplayBitmap& bitmap)
{
    const auto rows = bitmap.pixelRows();
    const auto stride = static_cast<qsizetype>(bitmap.stride());
    if (bitmap.bitsPerPixel() == 8) {
        QImage image(rows.data(), bitmap.width(), bitmap.height(), stride, QImage::Format_Indexed8);
        const auto table = bitmap.bytes().subspan(imaging::DisplayBitmap::kHeaderSize,
            imaging::DisplayBitmap::kColourTableSize);
        QList<QRgb> colours(256);
        for (int i = 0; i < 256; ++i) {
            const auto* entry = table.data() + 4 * i; // blue, green, red, 0
            colours[i] = qRgb(entry[2], entry[1], entry[0]);
        }
        image.setColorTable(colours);
        return image;
    }
    return QImage(rows.data(), bitmap.width(), bitmap.height(), stride, QImage::Format_BGR888);
}

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
        viewport()->update();
    });
}

COrvoView::~COrvoView() = default;

void COrvoView::selectTool(viewmodel::Tool tool)
{
    stopMovie();
    endDrag();
    m_tool = tool;
    switch (tool) {
    case viewmodel::Tool::PanHand: m_toolHandler = std::make_unique<PanTool>(*this); break;
    case viewmodel::Tool::LevelWindow: m_toolHandler = std::make_unique<LevelWindowTool>(*this); break;
    default: m_toolHandler.reset(); break;
    }
}

ToolEvent COrvoView::toolEvent(const QMouseEvent& event) const
{
    const QPoint at = event.position().toPoint();
    return { { at.x(), at.y() }, transform().toImage({ at.x(), at.y() }) };
}

void COrvoView::endDrag()
{
    if (m_toolHandler)
        m_toolHandler->cancel();
}

void COrvoView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && playingMovie()) {
        stopMovie();
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && m_toolHandler && m_document.frame()) {
        m_toolHandler->press(toolEvent(*event));
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void COrvoView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_toolHandler && m_toolHandler->dragging()) {
        m_toolHandler->release(toolEvent(*event));
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void COrvoView::focusOutEvent(QFocusEvent* event)
{
    endDrag();
    QAbstractScrollArea::focusOutEvent(event);
}

void COrvoView::hideEvent(QHideEvent* event)
{
    stopMovie();
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
    const viewmodel::Point scroll { horizontalScrollBar()->value(), verticalScrollBar()->value() };
    return viewmodel::ViewTransform(image, port, m_document.zoom(), scroll);
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

void COrvoView::paintEvent(QPaintEvent*)
{
    const imaging::FrameImage* frame = m_document.frame();
    const imaging::DisplayBitmap* bitmap = frame ? frame->displayBitmap() : nullptr;
    QPainter painter(viewport());
    if (!bitmap || bitmap->isNull()) {
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
    const QImage bottomUp = wrapBitmap(*bitmap);
    painter.save();
    painter.translate(m_imageRect.left(), m_imageRect.top() + m_imageRect.height());
    painter.scale(1.0, -1.0);
    painter.drawImage(QRect(0, 0, m_imageRect.width(), m_imageRect.height()), bottomUp);
    painter.restore();
    emit framePainted();
}

void COrvoView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void COrvoView::scrollContentsBy(int, int) { viewport()->update(); }

void COrvoView::mouseMoveEvent(QMouseEvent* event)
{
    const ToolEvent mapped = toolEvent(*event);
    if (m_toolHandler && m_toolHandler->dragging())
        m_toolHandler->move(mapped);
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
