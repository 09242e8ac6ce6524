#include "view/model/WindowPlacement.h"

#include <algorithm>
#include <array>

namespace viewmodel {

namespace {

// The start of a span of `length` inside [low, low + room), as near `wanted`
// as it can be; at `low` when it is longer than the room.
int slideInto(int wanted, int length, int low, int room)
{
    return std::max(low, std::min(wanted, low + room - length));
}

} // namespace

WindowRect placeBeside(const WindowRect& keepClear, int width, int height, const WindowRect& screen)
{
    const int screenRight = screen.x + screen.width;
    const int screenBottom = screen.y + screen.height;
    const int clearRight = keepClear.x + keepClear.width;
    const int clearBottom = keepClear.y + keepClear.height;
    const int alongY = slideInto(keepClear.y, height, screen.y, screen.height);
    const int alongX = slideInto(keepClear.x, width, screen.x, screen.width);

    const int right = clearRight + PlacementGap;
    if (right + width <= screenRight)
        return { right, alongY, width, height };
    const int left = keepClear.x - PlacementGap - width;
    if (left >= screen.x)
        return { left, alongY, width, height };
    const int below = clearBottom + PlacementGap;
    if (below + height <= screenBottom)
        return { alongX, below, width, height };
    const int above = keepClear.y - PlacementGap - height;
    if (above >= screen.y)
        return { alongX, above, width, height };

    // No side holds it: against the screen's edge where the most is free.
    enum Side { Right, Left, Below, Above };
    const std::array<int, 4> room { screenRight - clearRight, keepClear.x - screen.x, screenBottom - clearBottom,
                                    keepClear.y - screen.y };
    switch (static_cast<Side>(std::max_element(room.begin(), room.end()) - room.begin())) {
    case Right: return { slideInto(screenRight - width, width, screen.x, screen.width), alongY, width, height };
    case Left: return { screen.x, alongY, width, height };
    case Below: return { alongX, slideInto(screenBottom - height, height, screen.y, screen.height), width, height };
    case Above: return { alongX, screen.y, width, height };
    }
    return { alongX, alongY, width, height };
}

WindowRect shareOf(const WindowRect& available, int percent, int minWidth, int minHeight)
{
    const int width = std::min(std::max(available.width * percent / 100, minWidth), available.width);
    const int height = std::min(std::max(available.height * percent / 100, minHeight), available.height);
    return { available.x + (available.width - width) / 2, available.y + (available.height - height) / 2, width,
             height };
}

BackgroundPlaces backgroundPlaces(int areaWidth, int areaHeight, int centreWidth, int centreHeight, int cornerWidth,
                                  int cornerHeight)
{
    BackgroundPlaces places;
    if (centreWidth <= areaWidth && centreHeight <= areaHeight)
        places.centre = WindowRect { (areaWidth - centreWidth) / 2, (areaHeight - centreHeight) / 2, centreWidth,
                                     centreHeight };
    if (cornerWidth <= areaWidth && centreHeight + 2 * cornerHeight <= areaHeight)
        places.corner = WindowRect { areaWidth - cornerWidth, areaHeight - cornerHeight, cornerWidth, cornerHeight };
    return places;
}

} // namespace viewmodel
