#pragma once

#include <cstdint>
#include <optional>

namespace viewmodel {

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// right and bottom exclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Where a frame of the image sits in a scrolling viewport at one zoom factor:
// its size on the screen, the scroll range, the displayed rectangle and the
// mapping between image pixels and viewport points. Image pixel (x, y) covers
// the viewport from x * zoom to (x + 1) * zoom past the rectangle's corner.
//
// Any input is safe: a zoom that is not a finite number above 0 shows the
// frame at 0 x 0, a side on the screen never passes MaxShownSide whatever the
// factor, negative sizes count as 0 and the scroll position is kept inside
// its range, so nothing computed here can overflow.
class ViewTransform {
public:
    static constexpr std::int32_t MaxShownSide = 1 << 24;

    ViewTransform() = default;
    ViewTransform(Size image, Size viewport, double zoom, Point scroll = {});

    Size imageSize() const { return m_image; }
    Size viewportSize() const { return m_viewport; }
    double zoom() const { return m_zoom; }
    Point scroll() const { return m_scroll; }

    // The frame on the screen: each side truncate(pixels x zoom + 0.5).
    Size shownSize() const { return m_shown; }
    // The furthest scroll position; 0 where the frame fits the viewport.
    Point scrollMaximum() const;
    // A frame smaller than the viewport is centred in it; a larger one
    // starts at the left or top edge and moves with the scroll position.
    Rect displayedRect() const;

    // The image pixel under a viewport point; none off the frame.
    std::optional<Point> toImage(Point viewport) const;
    // The viewport point of an image pixel's corner, for drawing overlays:
    // x * zoom + left, rounded half up.
    Point toViewport(Point image) const;

    // Whether a press lands on the frame for the tools. Strict on all four
    // sides: a press on the frame's first row or column does not count.
    bool isInsideImage(Point viewport) const;
    // The image pixel under a viewport point first moved onto the frame, so
    // that a drag leaving the frame keeps naming one of its pixels; (0, 0)
    // when nothing is shown.
    Point toImageClamped(Point viewport) const;

    // The same frame and viewport at another zoom, scrolled so that image
    // pixel `anchorImage` stays under viewport point `anchorViewport`, as far
    // as the scroll range allows; a side smaller than the viewport is centred.
    ViewTransform zoomedAbout(double zoom, Point anchorImage, Point anchorViewport) const;

private:
    Size m_image;
    Size m_viewport;
    double m_zoom = 1.0;
    Point m_scroll;
    Size m_shown;
};

} // namespace viewmodel
