#include "view/model/Rulers.h"

#include <cmath>
#include <utility>

namespace viewmodel {

namespace {

// Distances from the frame's edge, in viewport points.
constexpr std::int32_t AxisInset = 25;
constexpr std::int32_t ShortTickEnd = 15;
constexpr std::int32_t LongTickEnd = 8;
constexpr std::int32_t TickMillimetres = 10;
constexpr std::int32_t LongTickEvery = 100; // at 50, 150, ... mm
constexpr std::int32_t LabelEvery = 100;

bool isAtStart(RulerCorner corner, bool horizontal)
{
    // Whether the ruler counts from the left (horizontal) or the top (vertical).
    if (horizontal)
        return corner == RulerCorner::UpperLeft || corner == RulerCorner::LowerLeft;
    return corner == RulerCorner::UpperLeft || corner == RulerCorner::UpperRight;
}

bool isTop(RulerCorner corner)
{
    return corner == RulerCorner::UpperLeft || corner == RulerCorner::UpperRight;
}

bool isLeft(RulerCorner corner)
{
    return corner == RulerCorner::UpperLeft || corner == RulerCorner::LowerLeft;
}

// The distances along the axis of its ticks, truncate(m x scale + 0.5) for
// m = 0, 10, 20, ... while the tick stays on the frame's `length`.
std::vector<std::pair<std::int32_t, std::int32_t>> tickOffsets(double scale, std::int32_t length)
{
    std::vector<std::pair<std::int32_t, std::int32_t>> offsets;
    if (!(scale * TickMillimetres >= MinimumTickStep))
        return offsets;
    const double room = static_cast<double>(length) - AxisInset;
    for (std::int64_t m = 0; offsets.size() < MaxRulerTicks; m += TickMillimetres) {
        const double offset = std::trunc(static_cast<double>(m) * scale + 0.5);
        if (!(offset <= room))
            break;
        offsets.emplace_back(static_cast<std::int32_t>(m), static_cast<std::int32_t>(offset));
    }
    return offsets;
}

std::string labelText(std::int32_t millimetres, bool horizontal)
{
    const std::string number = std::to_string(millimetres / 10);
    // A leading gap keeps the vertical ruler's 0 clear of the axis it sits on.
    return !horizontal && millimetres == 0 ? "  " + number : number;
}

Ruler horizontalRuler(RulerCorner corner, Rect shown, double scale)
{
    const bool top = isTop(corner);
    const bool fromLeft = isAtStart(corner, true);
    const std::int32_t a = shown.left;
    const std::int32_t c = shown.width();
    const std::int32_t axisY = top ? shown.top + AxisInset : shown.bottom - AxisInset;
    const auto tickEnd = [&](std::int32_t inset) { return top ? shown.top + inset : shown.bottom - inset; };

    Ruler ruler;
    ruler.axis = fromLeft ? Line { { a + ShortTickEnd, axisY }, { a + c, axisY } }
                          : Line { { a, axisY }, { a + c - ShortTickEnd, axisY } };
    for (const auto& [m, offset] : tickOffsets(scale, c)) {
        const std::int32_t x = fromLeft ? a + offset + AxisInset : a + c - offset - AxisInset;
        const bool isLong = m % LongTickEvery == LongTickEvery / 2;
        ruler.ticks.push_back({ m, { { x, tickEnd(isLong ? LongTickEnd : ShortTickEnd) }, { x, axisY } } });
        if (m % LabelEvery == 0) {
            ruler.labels.push_back({ labelText(m, true), { x, top ? shown.top : shown.bottom }, LabelAlign::Centre,
                top ? LabelAlign::Start : LabelAlign::End });
        }
    }
    return ruler;
}

Ruler verticalRuler(RulerCorner corner, Rect shown, double scale)
{
    const bool left = isLeft(corner);
    const bool fromTop = isAtStart(corner, false);
    const std::int32_t b = shown.top;
    const std::int32_t d = shown.height();
    const std::int32_t axisX = left ? shown.left + AxisInset : shown.right - AxisInset;
    const auto tickEnd = [&](std::int32_t inset) { return left ? shown.left + inset : shown.right - inset; };

    Ruler ruler;
    if (!fromTop)
        ruler.axis = { { axisX, b }, { axisX, b + d - AxisInset } };
    else
        ruler.axis = { { axisX, b + (left ? AxisInset : ShortTickEnd) }, { axisX, b + d } };
    for (const auto& [m, offset] : tickOffsets(scale, d)) {
        const std::int32_t y = fromTop ? b + offset + AxisInset : b + d - offset - AxisInset;
        const bool isLong = m % LongTickEvery == LongTickEvery / 2;
        ruler.ticks.push_back({ m, { { tickEnd(isLong ? LongTickEnd : ShortTickEnd), y }, { axisX, y } } });
        if (m % LabelEvery == 0) {
            ruler.labels.push_back({ labelText(m, false), { left ? shown.left : shown.right, y },
                left ? LabelAlign::Start : LabelAlign::End, LabelAlign::Centre });
        }
    }
    return ruler;
}

double windowPointsPerMillimetre(double zoom, double spacing)
{
    return zoom / usableSpacing(spacing);
}

} // namespace

RulerCorner rulerCornerOf(std::int32_t stored)
{
    return stored >= 0 && stored <= 3 ? static_cast<RulerCorner>(stored) : RulerCorner::UpperLeft;
}

RulerLayout rulerLayout(RulerCorner corner, Rect displayed, double zoom, PixelSpacing spacing)
{
    return { horizontalRuler(corner, displayed, windowPointsPerMillimetre(zoom, spacing.column)),
        verticalRuler(corner, displayed, windowPointsPerMillimetre(zoom, spacing.row)) };
}

} // namespace viewmodel
