#pragma once

#include <QImage>

namespace imaging {
class DisplayBitmap;
}

// A display bitmap as the view paints it: top row first, 32-bit RGB, built
// in one pass over the bitmap. Null for a null bitmap or when memory runs out.
QImage framePicture(const imaging::DisplayBitmap& bitmap);
