#include "view/model/LabelPlacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace viewmodel {

namespace {

// Room between an angle's vertex and its label.
constexpr std::int64_t VertexGap = 3;

std::int32_t onImage(std::int64_t start, std::int64_t text, std::int64_t image)
{
    // "At least 0" is applied last so that it wins for a text larger than the image.
    const std::int64_t placed = std::max<std::int64_t>(0, std::min(start, image - text));
    return static_cast<std::int32_t>(std::min<std::int64_t>(placed, std::numeric_limits<std::int32_t>::max()));
}

// The start of a text of `text` length centred between a and b, the
// difference halved toward zero as the stored boxes were.
std::int64_t centred(std::int32_t a, std::int32_t b, std::int32_t text)
{
    const std::int64_t low = std::min(a, b);
    const std::int64_t high = std::max(a, b);
    return high + (low - text - high) / 2;
}

Rect box(std::int32_t left, std::int32_t top, Size text)
{
    const auto end = [](std::int32_t start, std::int32_t length) {
        return static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t { start } + std::max(length, 0), std::numeric_limits<std::int32_t>::max()));
    };
    return { left, top, end(left, text.width), end(top, text.height) };
}

} // namespace

Rect lengthLabelBox(Point first, Point second, Size text, Size image)
{
    const std::int32_t left = onImage(centred(first.x, second.x, text.width), text.width, image.width);
    const std::int32_t top = onImage(centred(first.y, second.y, text.height), text.height, image.height);
    return box(left, top, text);
}

Rect angleLabelBox(Point vertex, Point first, Point second, Size text, Size image)
{
    const std::int64_t x = vertex.x < second.x ? std::int64_t { vertex.x } - text.width - VertexGap
                                               : std::int64_t { vertex.x } + VertexGap;
    const std::int64_t y = vertex.y < first.y ? std::int64_t { vertex.y } - text.height - VertexGap
                                              : std::int64_t { vertex.y } + VertexGap;
    return box(onImage(x, text.width, image.width), onImage(y, text.height, image.height), text);
}

} // namespace viewmodel
