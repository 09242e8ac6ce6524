#include "view/model/ZoomSteps.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace viewmodel {

namespace {

// Text and read-back through two decimals, with the same rounding as "%.2f"
// but independent of the C locale, which the program may have set to one
// with a decimal comma.
double throughTwoDecimals(double value)
{
    std::array<char, 400> text {};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 2);
    double readBack = value;
    if (written.ec == std::errc {})
        std::from_chars(text.data(), written.ptr, readBack, std::chars_format::fixed);
    return readBack;
}

} // namespace

std::optional<float> zoomStepIn(float zoom)
{
    if (!(zoom < ZoomMaximum))
        return std::nullopt;
    return static_cast<float>(std::trunc(10.0 * zoom + 1.5) * 0.1);
}

std::optional<float> zoomStepOut(float zoom)
{
    if (!(zoom > ZoomStepOutLimit))
        return std::nullopt;
    return static_cast<float>(std::trunc(10.0 * zoom - 0.5) * 0.1);
}

std::optional<float> wheelZoom(float zoom, int delta)
{
    const double next = delta > 0 ? zoom + 0.1 : zoom - 0.1;
    if (!(next > WheelZoomLowest && next < WheelZoomHighest))
        return std::nullopt;
    return static_cast<float>(std::trunc(10.0 * next + 0.5) * 0.1);
}

std::optional<float> fitZoom(Size frame, Size client)
{
    // The one-pixel border on each side.
    constexpr std::int32_t border = 2;
    if (frame.width <= 0 || frame.height <= 0 || client.width <= border || client.height <= border)
        return std::nullopt;
    const double across = static_cast<double>(client.width - border) / frame.width;
    const double down = static_cast<double>(client.height - border) / frame.height;
    return static_cast<float>(std::min(across, down));
}

float zoomToolZoom(float zoom, ZoomDirection direction)
{
    if (direction == ZoomDirection::In)
        return std::min(zoom + ZoomToolStep, ZoomMaximum);
    const float out = zoom - ZoomToolStep;
    return out > ZoomToolMinimum ? out : ZoomToolMinimum;
}

float dynamicZoom(float zoom, int previousY, int currentY)
{
    const double moved = static_cast<double>(previousY) - currentY;
    return static_cast<float>(std::clamp(zoom + moved * DynamicZoomPerPixel, static_cast<double>(ZoomToolMinimum),
        static_cast<double>(ZoomMaximum)));
}

std::optional<float> zoomRectangleZoom(Size selected, Size client)
{
    if (selected.width <= 0 || selected.height <= 0)
        return std::nullopt;
    const double across = static_cast<double>(client.width) / selected.width;
    const double down = static_cast<double>(client.height) / selected.height;
    // Half a hundredth off before rounding to the nearest hundredth: the
    // factor rounded down, so the rectangle still fits. A factor that is
    // already a whole number of hundredths may lose one more, as the binary
    // value of the difference falls either side of the half.
    const double zoom = throughTwoDecimals(std::min(across, down) - 0.005);
    return static_cast<float>(std::clamp(zoom, static_cast<double>(ZoomRectangleMinimum), static_cast<double>(ZoomMaximum)));
}

std::optional<ZoomTarget> zoomToRectangle(const ViewTransform& view, Rect dragged)
{
    const Rect shown = view.displayedRect();
    if (shown.width() <= 0 || shown.height() <= 0)
        return std::nullopt;
    const Point first = view.toImageClamped({ std::min(dragged.left, dragged.right), std::min(dragged.top, dragged.bottom) });
    const Point last = view.toImageClamped({ std::max(dragged.left, dragged.right), std::max(dragged.top, dragged.bottom) });
    const Size selected { last.x - first.x, last.y - first.y };
    const std::optional<float> zoom = zoomRectangleZoom(selected, view.viewportSize());
    if (!zoom)
        return std::nullopt;

    const Size client = view.viewportSize();
    const Size enlarged = ViewTransform(view.imageSize(), client, *zoom).shownSize();
    // The rectangle's corner at the new factor, moved back by half the room
    // it leaves, so that a rectangle smaller than the window sits in its middle.
    const auto scrollTo = [z = static_cast<double>(*zoom)](std::int32_t start, std::int32_t length, std::int32_t frame,
                              std::int32_t window) {
        double target = std::min(std::trunc(start * z + 0.5), static_cast<double>(frame));
        const double span = std::trunc(length * z);
        if (span < window)
            target -= std::floor((window - span) / 2);
        return static_cast<std::int32_t>(std::max(target, 0.0));
    };
    const Point scroll { scrollTo(first.x, selected.width, enlarged.width, client.width),
        scrollTo(first.y, selected.height, enlarged.height, client.height) };
    return ZoomTarget { *zoom, ViewTransform(view.imageSize(), client, *zoom, scroll).scroll() };
}

} // namespace viewmodel
