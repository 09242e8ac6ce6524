#pragma once

// The outlines the tools draw over the frame: one pixel wide, in black and
// white dashes, so they show on any picture without inverting it.

class QPainter;
class QRect;

void paintRubberBand(QPainter& painter, const QRect& rect);
