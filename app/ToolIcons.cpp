#include "app/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <utility>

namespace {

// Drawn on a 16 x 16 grid into a pixmap three times as large, so the icons
// stay crisp on the palette's larger buttons.
constexpr int Grid = 16;
constexpr int Scale = 3;
const QColor Ink(0x20, 0x20, 0x20);

using Draw = void (*)(QPainter&);

QPen pen(const QColor& colour = Ink, double width = 1.2, Qt::PenStyle style = Qt::SolidLine)
{
    QPen line(colour, width, style, Qt::RoundCap, Qt::RoundJoin);
    return line;
}

void arrowHead(QPainter& p, QPointF tip, QPointF from)
{
    const QLineF back(tip, from);
    QLineF side = back;
    side.setLength(3.0);
    side.setAngle(back.angle() + 35.0);
    p.drawLine(side);
    side.setAngle(back.angle() - 35.0);
    p.drawLine(side);
}

void magnifier(QPainter& p)
{
    p.setPen(pen(Ink, 1.4));
    p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
    p.setPen(pen(Ink, 2.4));
    p.drawLine(QPointF(10.0, 10.0), QPointF(14.5, 14.5));
    p.setPen(pen());
}

void letterA(QPainter& p, QRectF box)
{
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(box.height()));
    font.setBold(true);
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("A"));
}

void panHand(QPainter& p)
{
    p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    arrowHead(p, { 8, 1.5 }, { 8, 8 });
    arrowHead(p, { 8, 14.5 }, { 8, 8 });
    arrowHead(p, { 1.5, 8 }, { 8, 8 });
    arrowHead(p, { 14.5, 8 }, { 8, 8 });
}

void selection(QPainter& p)
{
    p.setPen(pen(Ink, 1.0, Qt::DashLine));
    p.drawRect(QRectF(2.5, 3.5, 11, 9));
}

void crop(QPainter& p)
{
    p.setPen(pen(Ink, 1.6));
    p.drawPolyline(QPolygonF({ { 4, 1 }, { 4, 12 }, { 15, 12 } }));
    p.drawPolyline(QPolygonF({ { 1, 4 }, { 12, 4 }, { 12, 15 } }));
}

void annotationText(QPainter& p) { letterA(p, { 1, 1, 14, 14 }); }

void moveAnnotation(QPainter& p)
{
    letterA(p, { 0, 0, 10, 10 });
    p.drawLine(QPointF(7, 12.5), QPointF(15, 12.5));
    arrowHead(p, { 15, 12.5 }, { 7, 12.5 });
}

void eraseAnnotation(QPainter& p)
{
    letterA(p, { 0, 0, 11, 11 });
    p.setPen(pen(QColor(0xC0, 0x20, 0x20), 1.8));
    p.drawLine(QPointF(9, 9), QPointF(15, 15));
    p.drawLine(QPointF(15, 9), QPointF(9, 15));
}

void measureLength(QPainter& p)
{
    p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
    p.drawLine(QPointF(0.5, 11.5), QPointF(4.5, 15.5));
    p.drawLine(QPointF(11.5, 0.5), QPointF(15.5, 4.5));
}

void measureAngle(QPainter& p)
{
    p.drawPolyline(QPolygonF({ { 14, 3 }, { 2, 13.5 }, { 15, 13.5 } }));
    p.drawArc(QRectF(-4, 7.5, 12, 12), 0, 41 * 16);
}

void levelWindow(QPainter& p)
{
    const QRectF disc(2, 2, 12, 12);
    p.setBrush(Ink);
    p.drawPie(disc, 90 * 16, 180 * 16);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(disc);
}

void zoomInOut(QPainter& p)
{
    magnifier(p);
    p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
    p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
}

void zoomWindow(QPainter& p)
{
    magnifier(p);
    p.setPen(pen(Ink, 0.8, Qt::DotLine));
    p.drawRect(QRectF(4, 4.5, 5, 4));
}

void zoomDynamic(QPainter& p)
{
    magnifier(p);
    p.drawLine(QPointF(6.5, 3.5), QPointF(6.5, 9.5));
    arrowHead(p, { 6.5, 3.5 }, { 6.5, 9.5 });
    arrowHead(p, { 6.5, 9.5 }, { 6.5, 3.5 });
}

void zoomBack(QPainter& p)
{
    magnifier(p);
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    arrowHead(p, { 4, 6.5 }, { 9, 6.5 });
}

void zoomForward(QPainter& p)
{
    magnifier(p);
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    arrowHead(p, { 9, 6.5 }, { 4, 6.5 });
}

void zoomFit(QPainter& p)
{
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    const std::array<std::pair<QPointF, QPointF>, 2> arrows { { { { 3.5, 5.5 }, { 7, 8 } }, { { 12.5, 10.5 }, { 9, 8 } } } };
    for (const auto& [tip, from] : arrows) {
        p.drawLine(tip, from);
        arrowHead(p, tip, from);
    }
}

void zoomNormal(QPainter& p)
{
    QFont font = p.font();
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("1:1"));
}

void singleFrame(QPainter& p)
{
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setBrush(Ink);
    p.drawEllipse(QPointF(8, 8), 3, 3);
}

void curvedArrow(QPainter& p, bool forward)
{
    const double dir = forward ? -1.0 : 1.0;
    QPainterPath path(QPointF(8 - 5 * dir, 6));
    path.quadTo(QPointF(8, 1), QPointF(8 + 5 * dir, 6));
    path.quadTo(QPointF(8 + 7 * dir, 10), QPointF(8 + 2 * dir, 13));
    p.drawPath(path);
    arrowHead(p, { 8 - 5 * dir, 6 }, { 8 - 3 * dir, 3 });
}

void undo(QPainter& p) { curvedArrow(p, false); }
void redo(QPainter& p) { curvedArrow(p, true); }

void copyFrame(QPainter& p)
{
    p.drawRect(QRectF(1.5, 1.5, 9, 9));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 5.5, 9, 9));
}

void unselect(QPainter& p)
{
    selection(p);
    p.setPen(pen(QColor(0xC0, 0x20, 0x20), 1.6));
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
}

void cropToSelection(QPainter& p)
{
    crop(p);
    p.setPen(pen(Ink, 0.8, Qt::DotLine));
    p.drawRect(QRectF(5.5, 5.5, 5, 5));
}

void page(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({ { 3, 1.5 }, { 10, 1.5 }, { 13, 4.5 }, { 13, 14.5 }, { 3, 14.5 } }));
    p.drawPolyline(QPolygonF({ { 10, 1.5 }, { 10, 4.5 }, { 13, 4.5 } }));
}

void folder(QPainter& p)
{
    p.setBrush(QColor(0xE8, 0xC8, 0x60));
    p.drawPolygon(QPolygonF({ { 1.5, 3.5 }, { 6, 3.5 }, { 7.5, 5 }, { 14.5, 5 }, { 14.5, 13.5 }, { 1.5, 13.5 } }));
}

void disk(QPainter& p)
{
    p.setBrush(QColor(0x50, 0x70, 0xB0));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

void question(QPainter& p)
{
    p.setPen(pen(QColor(0x20, 0x50, 0xA0), 1.8));
    QPainterPath hook(QPointF(5, 5.5));
    hook.cubicTo(QPointF(5, 1), QPointF(11.5, 1), QPointF(11, 5.5));
    hook.cubicTo(QPointF(10.5, 8), QPointF(8, 8), QPointF(8, 10.5));
    p.drawPath(hook);
    p.drawPoint(QPointF(8, 14));
}

void bin(QPainter& p)
{
    p.drawLine(QPointF(2, 3.5), QPointF(14, 3.5));
    p.drawPolyline(QPolygonF({ { 6, 3.5 }, { 6, 1.5 }, { 10, 1.5 }, { 10, 3.5 } }));
    p.drawPolygon(QPolygonF({ { 3.5, 3.5 }, { 12.5, 3.5 }, { 11.5, 14.5 }, { 4.5, 14.5 } }));
    p.drawLine(QPointF(8, 6), QPointF(8, 12.5));
}

void headerList(QPainter& p)
{
    for (double y : { 3.5, 7.0, 10.5, 14.0 }) {
        p.drawLine(QPointF(1.5, y), QPointF(4, y));
        p.drawLine(QPointF(6, y), QPointF(14.5, y));
    }
}

// A solid triangle pointing along `direction` (1 right or down, -1 left or
// up), its tip at `tip` on the main axis.
void triangle(QPainter& p, double tip, int direction, bool vertical)
{
    const double base = tip - 6.0 * direction;
    QPolygonF shape({ { tip, 8 }, { base, 3 }, { base, 13 } });
    if (vertical) {
        for (QPointF& point : shape)
            point = { point.y(), point.x() };
    }
    p.setBrush(Ink);
    p.drawPolygon(shape);
}

// The frame buttons play along the row, the file buttons step down the folder.
template<int Direction, bool ToTheEnd, bool Vertical>
void step(QPainter& p)
{
    const double tip = Direction > 0 ? 12.5 : 3.5;
    triangle(p, tip - (ToTheEnd ? 2.0 * Direction : 0.0), Direction, Vertical);
    if (!ToTheEnd)
        return;
    p.setPen(pen(Ink, 1.8));
    const double bar = Direction > 0 ? 13.5 : 2.5;
    p.drawLine(Vertical ? QLineF(3, bar, 13, bar) : QLineF(bar, 3, bar, 13));
}

struct Picture {
    Command command;
    Draw draw;
};

constexpr Picture Pictures[] = {
    { Command::PanHandTool, panHand },
    { Command::SelectionRectangleTool, selection },
    { Command::CropTool, crop },
    { Command::AnnotationTextTool, annotationText },
    { Command::MoveAnnotationTool, moveAnnotation },
    { Command::DeleteAnnotationTool, eraseAnnotation },
    { Command::MeasureLengthTool, measureLength },
    { Command::MeasureAngleTool, measureAngle },
    { Command::LevelWindowTool, levelWindow },
    { Command::ZoomTool, zoomInOut },
    { Command::ZoomRectangleTool, zoomWindow },
    { Command::DynamicZoomTool, zoomDynamic },
    { Command::ZoomBack, zoomBack },
    { Command::ZoomForward, zoomForward },
    { Command::ZoomFit, zoomFit },
    { Command::ZoomActualSize, zoomNormal },
    { Command::SingleFrame, singleFrame },
    { Command::Undo, undo },
    { Command::Redo, redo },
    { Command::CopyFrame, copyFrame },
    { Command::Unselect, unselect },
    { Command::CropToSelection, cropToSelection },
    { Command::New, page },
    { Command::Open, folder },
    { Command::Save, disk },
    { Command::About, question },
    { Command::Clear, bin },
    { Command::Header, headerList },
    { Command::FirstFrame, step<-1, true, false> },
    { Command::PreviousFrame, step<-1, false, false> },
    { Command::NextFrame, step<1, false, false> },
    { Command::LastFrame, step<1, true, false> },
    { Command::FirstFile, step<-1, true, true> },
    { Command::PreviousFile, step<-1, false, true> },
    { Command::NextFile, step<1, false, true> },
    { Command::LastFile, step<1, true, true> },
};

} // namespace

QIcon commandIcon(Command command)
{
    for (const Picture& picture : Pictures) {
        if (picture.command != command)
            continue;
        QPixmap pixmap(Grid * Scale, Grid * Scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(Scale, Scale);
        painter.setPen(pen());
        picture.draw(painter);
        painter.end();
        QIcon icon(pixmap);
        // The style's greying keeps solid black shapes dark; a flat grey
        // silhouette reads as off whatever the picture.
        QPixmap off = pixmap;
        QPainter greying(&off);
        greying.setCompositionMode(QPainter::CompositionMode_SourceIn);
        greying.fillRect(off.rect(), QColor(0xA8, 0xA8, 0xA8));
        greying.end();
        icon.addPixmap(off, QIcon::Disabled);
        return icon;
    }
    return {};
}
