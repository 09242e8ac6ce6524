#pragma once

#include "view/model/ViewTransform.h"

#include <optional>

namespace viewmodel {

// The zoom factor each zoom command sets. Factors are single precision, as
// the document keeps them, and each function returns the factor to store, or
// none where the command leaves the factor as it is. Every factor returned is
// finite and above 0 when the one passed in is.

// The step keys stop at 8 going in. Going out, the stored factor is compared
// with the double 0.2: the float nearest 0.2 lies just above it, so 0.2 still
// steps out to 0.1, and 0.1 is where the steps end.
inline constexpr float ZoomMaximum = 8.0F;
inline constexpr double ZoomStepOutLimit = 0.2;

std::optional<float> zoomStepIn(float zoom);
std::optional<float> zoomStepOut(float zoom);

// One wheel notch moves a tenth, in for a positive delta and out otherwise,
// and only to a factor strictly between these two.
inline constexpr double WheelZoomLowest = 0.2;
inline constexpr double WheelZoomHighest = 8.0;

std::optional<float> wheelZoom(float zoom, int delta);

// The factor that shows the whole frame in the client area less a one-pixel
// border on each side. It is neither rounded nor limited, so a small frame
// may fit at more than 8. None without a frame, or when the client area
// leaves no room inside the border: a factor of 0 or below would hide the frame.
std::optional<float> fitZoom(Size frame, Size client);

enum class ZoomDirection { In, Out };

// The zoom tool's half steps, limited to 0.2..8. The limit applies even to a
// factor already past it: going in from a fit above 8 lands on 8.
inline constexpr float ZoomToolStep = 0.5F;
inline constexpr float ZoomToolMinimum = 0.2F;

float zoomToolZoom(float zoom, ZoomDirection direction);

// The dynamic zoom follows the mouse: each pixel upwards enlarges by 0.015,
// each pixel downwards shrinks by as much, within 0.2..8.
inline constexpr double DynamicZoomPerPixel = 0.015;

float dynamicZoom(float zoom, int previousY, int currentY);

// The factor that shows a rectangle of the image, `selected` image pixels,
// in the client area: rounded down to hundredths through its two-decimal
// text, then at most 8 and, so that a huge rectangle in a tiny window still
// shows something, at least 0.01. None for an empty rectangle.
inline constexpr float ZoomRectangleMinimum = 0.01F;

std::optional<float> zoomRectangleZoom(Size selected, Size client);

struct ZoomTarget {
    float zoom = 1.0F;
    // The scroll position at the new factor, inside its range.
    Point scroll;
    friend bool operator==(const ZoomTarget&, const ZoomTarget&) = default;
};

// The zoom-window tool's release: `dragged` is the rectangle in viewport
// points (either corner first), clipped to the frame shown by `view`, turned
// into image pixels and shown as large as fits, centred where it is smaller
// than the client area. None when it is less than one image pixel wide or high.
std::optional<ZoomTarget> zoomToRectangle(const ViewTransform& view, Rect dragged);

} // namespace viewmodel
