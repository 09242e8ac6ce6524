#pragma once

namespace viewmodel {

// How a number of equally scaled thumbnails share an area: the column and
// row count and the one factor every frame is scaled by.
struct ThumbnailGrid {
    int columns = 0;
    int rows = 0;
    double scale = 0.0;

    bool operator==(const ThumbnailGrid&) const = default;
};

struct ThumbnailArea {
    int width = 0;
    int height = 0;
    // Space between cells and around the grid, in pixels.
    int spacing = 0;
};

// The grid that makes `count` thumbnails of frames at most `frameWidth` x
// `frameHeight` as large as `area` allows; among equal factors the one with
// fewer columns wins. Empty (all zero) when there is nothing to show or no room.
ThumbnailGrid thumbnailGrid(int count, int frameWidth, int frameHeight, ThumbnailArea area);

} // namespace viewmodel
