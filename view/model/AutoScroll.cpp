#include "view/model/AutoScroll.h"

#include <algorithm>

namespace viewmodel {

std::optional<AutoScrollMode> autoScrollMode(Size shown, Size viewport)
{
    const bool across = shown.width > viewport.width;
    const bool down = shown.height > viewport.height;
    if (across && down)
        return AutoScrollMode::Both;
    if (across)
        return AutoScrollMode::Horizontal;
    if (down)
        return AutoScrollMode::Vertical;
    return std::nullopt;
}

namespace {

// `last` is the marker's last pixel on this side, so the distances on both
// sides count alike.
std::int32_t stepAlong(std::int32_t cursor, std::int32_t first, std::int32_t last, std::int32_t scroll, std::int32_t maximum)
{
    std::int64_t moved = 0;
    if (cursor < first)
        moved = static_cast<std::int64_t>(cursor) - first - 1;
    else if (cursor > last)
        moved = static_cast<std::int64_t>(cursor) - last + 1;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(scroll + moved, 0, std::max(maximum, 0)));
}

} // namespace

Point autoScrollStep(AutoScrollMode mode, Rect marker, Point cursor, Point scroll, Point maximum)
{
    Point next = scroll;
    if (mode != AutoScrollMode::Vertical)
        next.x = stepAlong(cursor.x, marker.left, marker.right - 1, scroll.x, maximum.x);
    if (mode != AutoScrollMode::Horizontal)
        next.y = stepAlong(cursor.y, marker.top, marker.bottom - 1, scroll.y, maximum.y);
    return next;
}

} // namespace viewmodel
