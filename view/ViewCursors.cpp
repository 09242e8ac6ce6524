#include "view/ViewCursors.h"

#include <QBitmap>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <array>
#include <optional>

namespace {

// A 32 x 32 cursor drawn from a few strokes: black lines with a white rim,
// so it shows on dark and light frames alike.
template<typename Draw>
QCursor drawnCursor(Draw&& draw, int hotX, int hotY)
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& [colour, width] : std::array<std::pair<QColor, int>, 2> { { { Qt::white, 3 }, { Qt::black, 1 } } }) {
        painter.setPen(QPen(colour, width));
        painter.setBrush(Qt::NoBrush);
        draw(painter);
    }
    painter.end();
    return QCursor(picture, hotX, hotY);
}

// A magnifying glass with a mark drawn in its lens, its hot spot the lens's centre.
template<typename Mark>
QCursor magnifier(Mark&& mark)
{
    return drawnCursor(
        [&mark](QPainter& p) {
            p.drawEllipse(2, 2, 16, 16);
            p.drawLine(16, 16, 27, 27);
            mark(p);
        },
        10, 10);
}

QCursor zoom(bool in)
{
    return magnifier([in](QPainter& p) {
        p.drawLine(6, 10, 14, 10);
        if (in)
            p.drawLine(10, 6, 10, 14);
    });
}

QCursor dynamicZoom()
{
    return magnifier([](QPainter& p) {
        p.drawLine(10, 5, 10, 15);
        p.drawPolyline(QPolygon({ QPoint(7, 8), QPoint(10, 5), QPoint(13, 8) }));
        p.drawPolyline(QPolygon({ QPoint(7, 12), QPoint(10, 15), QPoint(13, 12) }));
    });
}

QCursor eraser(bool overObject)
{
    return drawnCursor(
        [overObject](QPainter& p) {
            p.drawRect(4, 12, 18, 9);
            p.drawLine(4, 12, 12, 4);
            p.drawLine(22, 12, 30, 4);
            p.drawLine(12, 4, 30, 4);
            if (overObject)
                p.drawRect(20, 22, 10, 8);
        },
        4, 20);
}

QCursor levelWindow()
{
    return drawnCursor(
        [](QPainter& p) {
            p.drawEllipse(6, 6, 20, 20);
            p.drawLine(16, 6, 16, 26);
            p.drawLine(16, 16, 26, 16);
        },
        16, 16);
}

QCursor selection(const char* marks)
{
    return drawnCursor(
        [marks](QPainter& p) {
            p.drawLine(10, 2, 10, 18);
            p.drawLine(2, 10, 18, 10);
            if (marks[0] == 'S')
                p.drawRect(20, 20, 8, 8);
            if (marks[0] == 'C' || marks[1] == 'C')
                p.drawEllipse(20, 20, 9, 9);
        },
        10, 10);
}

} // namespace

namespace {

QCursor makeCursor(viewmodel::CursorId id)
{
    using viewmodel::CursorId;
    switch (id) {
    case CursorId::Arrow: return Qt::ArrowCursor;
    case CursorId::Cross: return Qt::CrossCursor;
    case CursorId::ClosedHand: return Qt::ClosedHandCursor;
    case CursorId::ZoomIn: return zoom(true);
    case CursorId::ZoomOut: return zoom(false);
    case CursorId::DynamicZoom: return dynamicZoom();
    case CursorId::Text: return Qt::IBeamCursor;
    case CursorId::SelectionShiftControl: return selection("SC");
    case CursorId::SelectionShift: return selection("S ");
    case CursorId::SelectionControl: return selection("C ");
    case CursorId::Move: return Qt::SizeAllCursor;
    case CursorId::Eraser: return eraser(false);
    case CursorId::EraserOverObject: return eraser(true);
    case CursorId::ResizeDiagonalDown: return Qt::SizeFDiagCursor;
    case CursorId::ResizeDiagonalUp: return Qt::SizeBDiagCursor;
    case CursorId::ResizeVertical: return Qt::SizeVerCursor;
    case CursorId::ResizeHorizontal: return Qt::SizeHorCursor;
    case CursorId::LevelWindow: return levelWindow();
    case CursorId::Movie: return Qt::BusyCursor;
    }
    return Qt::ArrowCursor;
}

} // namespace

QCursor viewCursor(viewmodel::CursorId id)
{
    // The drawn shapes are made once; the view asks at every mouse move.
    static std::array<std::optional<QCursor>, static_cast<std::size_t>(viewmodel::CursorId::Movie) + 1> made;
    auto& slot = made.at(static_cast<std::size_t>(id));
    if (!slot)
        slot = makeCursor(id);
    return *slot;
}
