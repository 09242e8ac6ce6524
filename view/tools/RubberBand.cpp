#include "view/tools/RubberBand.h"

#include <QPainter>
#include <QPen>
#include <QRect>

void paintRubberBand(QPainter& painter, const QRect& rect, int phase)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 0));
    painter.drawRect(rect);
    QPen black(Qt::black, 0);
    black.setDashPattern({ 6, 6 });
    black.setDashOffset(phase);
    painter.setPen(black);
    painter.drawRect(rect);
    painter.restore();
}
