#include "view/model/CropFrame.h"

#include "view/model/SelectionDrag.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace viewmodel {

namespace {

// The frame's edges as the pixels they pass through; the handle arithmetic
// reads more plainly with the right and bottom pixels inside.
struct Edges {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    static Edges of(Rect r) { return { r.left, r.top, r.right - 1, r.bottom - 1 }; }
    Rect toRect() const { return { left, top, right + 1, bottom + 1 }; }
};

struct HandleEdges {
    bool left;
    bool top;
    bool right;
    bool bottom;
};

HandleEdges edgesHeldBy(CropHandle handle)
{
    switch (handle) {
    case CropHandle::TopLeft: return { true, true, false, false };
    case CropHandle::TopMiddle: return { false, true, false, false };
    case CropHandle::TopRight: return { false, true, true, false };
    case CropHandle::LeftMiddle: return { true, false, false, false };
    case CropHandle::RightMiddle: return { false, false, true, false };
    case CropHandle::BottomLeft: return { true, false, false, true };
    case CropHandle::BottomMiddle: return { false, false, false, true };
    case CropHandle::BottomRight: return { false, false, true, true };
    default: return { false, false, false, false };
    }
}

// Viewport pixels to image pixels, truncated toward zero as the press point's
// own conversion is; a zoom that is no number above 0 moves nothing.
std::int32_t toImagePixels(std::int32_t viewport, double zoom)
{
    if (!std::isfinite(zoom) || zoom <= 0.0)
        return 0;
    constexpr double limit = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(viewport / zoom), -limit, limit));
}

// The sum is taken in 64 bits so that no offset can overflow it; the lower
// bound wins over the upper one, keeping the span on a frame at the image edge.
std::int32_t moved(std::int32_t edge, std::int32_t by, std::int64_t lowest, std::int64_t highest)
{
    return static_cast<std::int32_t>(std::max(std::min(std::int64_t { edge } + by, highest), lowest));
}

bool inRange(std::int32_t v, std::int32_t low, std::int32_t high) { return low <= v && v <= high; }

} // namespace

bool isResizeHandle(CropHandle handle)
{
    return handle != CropHandle::None && handle != CropHandle::Inside;
}

std::optional<CropFrame> CropFrame::fromDrag(Point from, Point to, Size image)
{
    const std::optional<Rect> rect = dragRectangle(from, to, image);
    if (!rect || rect->width() <= MinimumSpan || rect->height() <= MinimumSpan)
        return std::nullopt;
    return CropFrame(*rect, image);
}

CropHandle CropFrame::hitTest(Point p) const
{
    const Edges e = Edges::of(m_rect);
    // A frame lies on its image by construction, so a point off the image is off the frame.
    if (!inRange(p.x, e.left, e.right) || !inRange(p.y, e.top, e.bottom))
        return CropHandle::None;

    // The middle handles are 6 pixels wide, one more before the middle than after.
    const std::int32_t midX = e.left + (e.right - e.left) / 2;
    const std::int32_t midY = e.top + (e.bottom - e.top) / 2;
    const bool nearLeft = p.x <= e.left + HandleReach;
    const bool nearRight = p.x >= e.right - HandleReach;
    const bool nearTop = p.y <= e.top + HandleReach;
    const bool nearBottom = p.y >= e.bottom - HandleReach;
    const bool atMidX = inRange(p.x, midX - 3, midX + 2);
    const bool atMidY = inRange(p.y, midY - 3, midY + 2);

    if (nearLeft && nearTop)
        return CropHandle::TopLeft;
    if (atMidX && nearTop)
        return CropHandle::TopMiddle;
    if (nearRight && nearTop)
        return CropHandle::TopRight;
    if (nearLeft && atMidY)
        return CropHandle::LeftMiddle;
    if (nearRight && atMidY)
        return CropHandle::RightMiddle;
    if (nearLeft && nearBottom)
        return CropHandle::BottomLeft;
    if (atMidX && nearBottom)
        return CropHandle::BottomMiddle;
    if (!nearRight || !nearBottom)
        return CropHandle::Inside;
    return CropHandle::BottomRight;
}

CropFrame CropFrame::withHandleDragged(CropHandle handle, Point viewportDelta, double zoom) const
{
    const HandleEdges held = edgesHeldBy(handle);
    const std::int32_t dx = toImagePixels(viewportDelta.x, zoom);
    const std::int32_t dy = toImagePixels(viewportDelta.y, zoom);
    Edges e = Edges::of(m_rect);
    // The opposite edge is read after its own move, so a corner keeps its span.
    if (held.left)
        e.left = moved(e.left, dx, 0, std::int64_t { e.right } - MinimumSpan);
    if (held.top)
        e.top = moved(e.top, dy, 0, std::int64_t { e.bottom } - MinimumSpan);
    if (held.right)
        e.right = moved(e.right, dx, std::int64_t { e.left } + MinimumSpan, m_image.width - 1);
    if (held.bottom)
        e.bottom = moved(e.bottom, dy, std::int64_t { e.top } + MinimumSpan, m_image.height - 1);
    return CropFrame(e.toRect(), m_image);
}

std::optional<Rect> CropFrame::cropRegion(Size image) const
{
    const Rect clipped { std::max(m_rect.left, 0), std::max(m_rect.top, 0), std::min(m_rect.right, image.width),
        std::min(m_rect.bottom, image.height) };
    if (clipped.width() <= 0 || clipped.height() <= 0)
        return std::nullopt;
    if (clipped == Rect { 0, 0, image.width, image.height })
        return std::nullopt;
    return clipped;
}

std::array<Rect, 8> cropHandleSquares(Rect outline)
{
    constexpr std::int32_t side = CropFrame::HandleReach;
    const std::int32_t left = outline.left;
    const std::int32_t top = outline.top;
    const std::int32_t right = outline.right - side;
    const std::int32_t bottom = outline.bottom - side;
    const std::int32_t midX = outline.left + outline.width() / 2 - 3;
    const std::int32_t midY = outline.top + outline.height() / 2 - 3;
    const auto square = [](std::int32_t x, std::int32_t y) { return Rect { x, y, x + side, y + side }; };
    return { square(left, top), square(midX, top), square(right, top), square(left, midY), square(right, midY),
        square(left, bottom), square(midX, bottom), square(right, bottom) };
}

} // namespace viewmodel
