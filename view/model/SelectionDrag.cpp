#include "view/model/SelectionDrag.h"

#include <algorithm>

namespace viewmodel {

std::optional<Rect> dragRectangle(Point from, Point to, Size image)
{
    if (image.width <= 0 || image.height <= 0)
        return std::nullopt;
    const auto clip = [](std::int32_t v, std::int32_t last) { return std::clamp(v, 0, last); };
    const std::int32_t left = clip(std::min(from.x, to.x), image.width - 1);
    const std::int32_t right = clip(std::max(from.x, to.x), image.width - 1);
    const std::int32_t top = clip(std::min(from.y, to.y), image.height - 1);
    const std::int32_t bottom = clip(std::max(from.y, to.y), image.height - 1);
    return Rect { left, top, right + 1, bottom + 1 };
}

std::optional<Rect> selectionFromDrag(Point from, Point to, Size image)
{
    const std::optional<Rect> rect = dragRectangle(from, to, image);
    if (!rect || rect->width() == 1 || rect->height() == 1)
        return std::nullopt;
    return rect;
}

std::int32_t nextOutlinePhase(std::int32_t phase)
{
    const std::int32_t next = phase + 1;
    return next >= OutlinePhases || next < 0 ? 0 : next;
}

bool isOutlineStripeWhite(Point viewport, std::int32_t phase)
{
    // 64-bit, so that no viewport coordinate can overflow the sum.
    const std::int64_t diagonal = std::int64_t { viewport.x } + viewport.y + phase;
    const std::int64_t offset = ((diagonal % OutlinePhases) + OutlinePhases) % OutlinePhases;
    return offset < OutlinePhases / 2;
}

} // namespace viewmodel
