#include "view/model/ThumbnailGrid.h"

#include <algorithm>

namespace viewmodel {

ThumbnailGrid thumbnailGrid(int count, int frameWidth, int frameHeight, ThumbnailArea area)
{
    if (count <= 0 || frameWidth <= 0 || frameHeight <= 0 || area.spacing < 0)
        return {};
    ThumbnailGrid best;
    // Every column count is tried: a few hundred frames at most, each a
    // handful of operations.
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        // A column count that leaves the last row's fellow rows unused adds
        // nothing that fewer columns would not give.
        if (columns > 1 && (count + columns - 2) / (columns - 1) == rows)
            continue;
        const double freeWidth = static_cast<double>(area.width) - static_cast<double>(columns + 1) * area.spacing;
        const double freeHeight = static_cast<double>(area.height) - static_cast<double>(rows + 1) * area.spacing;
        if (freeWidth <= 0.0 || freeHeight <= 0.0)
            continue;
        const double scale = std::min(freeWidth / (static_cast<double>(columns) * frameWidth),
            freeHeight / (static_cast<double>(rows) * frameHeight));
        if (scale > best.scale)
            best = { columns, rows, scale };
    }
    return best;
}

} // namespace viewmodel
