#include "view/tools/RubberBand.h"

#include <QPainter>
#include <QPen>
#include <QRect>

void paintRubberBand(QPainter& painter, const QRect& rect)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen black(Qt::black, 0);
    painter.setPen(black);
    painter.drawRect(rect);
    QPen white(Qt::white, 0);
    white.setDashPattern({ 4, 4 });
    painter.setPen(white);
    painter.drawRect(rect);
    painter.restore();
}
