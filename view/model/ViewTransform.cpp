#include "view/model/ViewTransform.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace viewmodel {

namespace {

bool isUsableZoom(double zoom) { return std::isfinite(zoom) && zoom > 0.0; }

Size atLeastZero(Size size) { return { std::max(size.width, 0), std::max(size.height, 0) }; }

std::int32_t shownSide(std::int32_t pixels, double zoom)
{
    if (!isUsableZoom(zoom) || pixels <= 0)
        return 0;
    const double side = std::trunc(static_cast<double>(pixels) * zoom + 0.5);
    return static_cast<std::int32_t>(std::min(side, static_cast<double>(ViewTransform::MaxShownSide)));
}

// Rounded half up; a point scrolled past the viewport's left or top edge is
// negative, where truncation would round the other way.
std::int32_t roundHalfUp(double value)
{
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::floor(value + 0.5), lowest, highest));
}

// Left (or top) edge before scrolling: centred when the frame is the smaller.
std::int32_t leadingEdge(std::int32_t shown, std::int32_t viewport)
{
    return shown < viewport ? (viewport - shown) / 2 : 0;
}

} // namespace

ViewTransform::ViewTransform(Size image, Size viewport, double zoom, Point scroll)
    : m_image(atLeastZero(image))
    , m_viewport(atLeastZero(viewport))
    , m_zoom(zoom)
    , m_shown { shownSide(m_image.width, zoom), shownSide(m_image.height, zoom) }
{
    const Point most = scrollMaximum();
    m_scroll = { std::clamp(scroll.x, 0, most.x), std::clamp(scroll.y, 0, most.y) };
}

Point ViewTransform::scrollMaximum() const
{
    return { std::max(0, m_shown.width - m_viewport.width), std::max(0, m_shown.height - m_viewport.height) };
}

Rect ViewTransform::displayedRect() const
{
    const std::int32_t left = leadingEdge(m_shown.width, m_viewport.width) - m_scroll.x;
    const std::int32_t top = leadingEdge(m_shown.height, m_viewport.height) - m_scroll.y;
    return { left, top, left + m_shown.width, top + m_shown.height };
}

std::optional<Point> ViewTransform::toImage(Point viewport) const
{
    const Rect r = displayedRect();
    if (viewport.x < r.left || viewport.x >= r.right || viewport.y < r.top || viewport.y >= r.bottom)
        return std::nullopt;
    // Inside a non-empty rectangle the zoom is usable; the last check keeps a
    // rounding error of the division from naming a pixel past the edge.
    const double column = std::trunc((static_cast<double>(viewport.x) - r.left) / m_zoom);
    const double row = std::trunc((static_cast<double>(viewport.y) - r.top) / m_zoom);
    if (column >= m_image.width || row >= m_image.height)
        return std::nullopt;
    return Point { static_cast<std::int32_t>(column), static_cast<std::int32_t>(row) };
}

Point ViewTransform::toViewport(Point image) const
{
    const Rect r = displayedRect();
    const double zoom = isUsableZoom(m_zoom) ? m_zoom : 0.0;
    return { roundHalfUp(image.x * zoom + r.left), roundHalfUp(image.y * zoom + r.top) };
}

bool ViewTransform::isInsideImage(Point viewport) const
{
    const Rect r = displayedRect();
    return r.left < viewport.x && viewport.x < r.right && r.top < viewport.y && viewport.y < r.bottom;
}

Point ViewTransform::toImageClamped(Point viewport) const
{
    const Rect r = displayedRect();
    if (r.width() <= 0 || r.height() <= 0)
        return {};
    // As in toImage: the zoom is usable, and the last step keeps a rounding
    // error of the division from naming a pixel past the edge.
    const double column = std::trunc((std::clamp(viewport.x, r.left, r.right - 1) - static_cast<double>(r.left)) / m_zoom);
    const double row = std::trunc((std::clamp(viewport.y, r.top, r.bottom - 1) - static_cast<double>(r.top)) / m_zoom);
    return { static_cast<std::int32_t>(std::min(column, m_image.width - 1.0)),
        static_cast<std::int32_t>(std::min(row, m_image.height - 1.0)) };
}

namespace {

// The scroll position along one side that puts image pixel `anchor` under
// viewport point `cursor`. Rounding up puts the pixel's corner at or before
// the cursor and less than one screen pixel from it, so at factors of 1 or
// more the pixel covers the cursor; below 1 a screen pixel stands for several
// image pixels, and the cursor's is the one where the anchor begins.
std::int32_t anchoredScroll(std::int32_t anchor, std::int32_t cursor, double zoom, std::int32_t shown, std::int32_t viewport)
{
    if (shown < viewport)
        return 0;
    double offset = std::ceil(anchor * zoom - cursor);
    if (!std::isfinite(offset))
        return 0;
    // The product may round below the pixel's corner (950 x 1.1 gives
    // 1044.99...), leaving the cursor on the pixel before by toImage's
    // division.
    if (std::trunc((cursor + offset) / zoom) < anchor)
        offset += 1.0;
    return static_cast<std::int32_t>(std::clamp(offset, 0.0, static_cast<double>(shown - viewport)));
}

} // namespace

ViewTransform ViewTransform::zoomedAbout(double zoom, Point anchorImage, Point anchorViewport) const
{
    const ViewTransform unscrolled(m_image, m_viewport, zoom);
    const Size shown = unscrolled.shownSize();
    return ViewTransform(m_image, m_viewport, zoom,
        { anchoredScroll(anchorImage.x, anchorViewport.x, zoom, shown.width, m_viewport.width),
            anchoredScroll(anchorImage.y, anchorViewport.y, zoom, shown.height, m_viewport.height) });
}

} // namespace viewmodel
