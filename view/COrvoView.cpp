#include "view/COrvoView.h"

#include "document/COrvoDoc.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/FrameImage.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

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

// The frame's size on screen. A zoom that is not a finite number above 0
// draws nothing, and the size is capped so that the layout arithmetic stays
// inside int whatever factor a fit into an odd window produced.
QSize zoomedSize(const imaging::FrameImage* frame, double zoom)
{
    constexpr double MaxSide = 1 << 24;
    if (!frame || !std::isfinite(zoom) || !(zoom > 0.0))
        return QSize(0, 0);
    const auto side = [zoom, MaxSide](std::int32_t pixels) {
        return static_cast<int>(std::min(MaxSide, static_cast<double>(pixels) * zoom + 0.5));
    };
    return { side(frame->width()), side(frame->height()) };
}

} // namespace

COrvoView::COrvoView(COrvoDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_document(document)
{
    setObjectName(QStringLiteral("ImageView"));
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setBackgroundColour(document::UserOptions {}.docBgColor);
    connect(&m_document, &COrvoDoc::changed, this, [this] {
        updateScrollRanges();
        viewport()->update();
    });
}

void COrvoView::setBackgroundColour(document::ColorRef colour)
{
    m_background = QColor(document::redOf(colour), document::greenOf(colour), document::blueOf(colour));
    viewport()->update();
}

QRect COrvoView::computeImageRect() const
{
    const imaging::FrameImage* frame = m_document.frame();
    if (!frame)
        return {};
    const QSize shown = zoomedSize(frame, m_document.zoom());
    const int dw = shown.width();
    const int dh = shown.height();
    const int cw = viewport()->width();
    const int ch = viewport()->height();
    const int x0 = dw < cw ? (cw - dw) / 2 : 0;
    const int y0 = dh < ch ? (ch - dh) / 2 : 0;
    // Scrolled content moves left and up by the scroll position.
    return QRect(x0 - horizontalScrollBar()->value(), y0 - verticalScrollBar()->value(), dw, dh);
}

void COrvoView::updateScrollRanges()
{
    const QSize shown = zoomedSize(m_document.frame(), m_document.zoom());
    const int dw = shown.width();
    const int dh = shown.height();
    horizontalScrollBar()->setRange(0, std::max(0, dw - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, dh - viewport()->height()));
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
    const imaging::FrameImage* frame = m_document.frame();
    const QRect r = computeImageRect();
    const double zoom = m_document.zoom();
    if (!frame || !(zoom > 0) || !r.contains(event->position().toPoint())) {
        emit cursorMoved(-1, -1);
        return;
    }
    const int column = static_cast<int>((event->position().x() - r.left()) / zoom);
    const int row = static_cast<int>((event->position().y() - r.top()) / zoom);
    if (column >= frame->width() || row >= frame->height())
        emit cursorMoved(-1, -1);
    else
        emit cursorMoved(column, row);
}

void COrvoView::leaveEvent(QEvent* event)
{
    emit cursorMoved(-1, -1);
    QAbstractScrollArea::leaveEvent(event);
}
