#pragma once

// The outlines the tools draw over the frame: one pixel wide, in runs of 6
// black and 6 white pixels, so they show on any picture without inverting
// it. A phase of 0 to 11 shifts the runs, so that a timer can make them crawl.

class QPainter;
class QRect;

void paintRubberBand(QPainter& painter, const QRect& rect, int phase = 0);
