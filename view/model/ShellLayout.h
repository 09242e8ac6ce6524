#pragma once

#include <span>
#include <vector>

namespace viewmodel {

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowRect&) const = default;
};

// Where `count` document windows go when they cascade over an area: each one
// `step` pixels right of and below the one before, all of one size, so that
// the last reaches the bottom-right corner. No window gets smaller than half
// the area; when more windows than that allows cascade, the run starts again
// at the top-left corner.
std::vector<WindowRect> cascadeRects(int areaWidth, int areaHeight, int count, int step);

// The first of the panes (in status bar order, of these widths) to show so
// that it and every pane after it fit in `available` pixels: panes give way
// from the left, where the file's facts are, and the cursor's stay longest.
// widths.size() when not even the last one fits.
std::size_t firstFittingPane(std::span<const int> widths, int available);

} // namespace viewmodel
