#include "view/model/ShellLayout.h"

#include <algorithm>

namespace viewmodel {

std::vector<WindowRect> cascadeRects(int areaWidth, int areaHeight, int count, int step)
{
    std::vector<WindowRect> rects;
    if (count <= 0)
        return rects;
    const int width = std::max(areaWidth, 1);
    const int height = std::max(areaHeight, 1);
    step = std::max(step, 1);
    // How many windows one run holds before a window would shrink below
    // half the area in either direction.
    const int fitsAcross = 1 + (width - std::max(width / 2, 1)) / step;
    const int fitsDown = 1 + (height - std::max(height / 2, 1)) / step;
    const int run = std::min({ count, fitsAcross, fitsDown });
    const int shrink = step * (run - 1);
    rects.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int offset = step * (i % run);
        rects.push_back({ offset, offset, width - shrink, height - shrink });
    }
    return rects;
}

std::size_t firstFittingPane(std::span<const int> widths, int available)
{
    std::size_t first = widths.size();
    long long used = 0;
    while (first > 0 && used + widths[first - 1] <= available) {
        used += widths[first - 1];
        --first;
    }
    return first;
}

} // namespace viewmodel
