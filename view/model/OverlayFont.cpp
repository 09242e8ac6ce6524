#include "view/model/OverlayFont.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace viewmodel {

namespace {

constexpr std::int64_t PointsPerInch = 72;

// a * b / c in 64 bits, rounded half away from zero.
std::int64_t scaleRounded(std::int64_t a, std::int64_t b, std::int64_t c)
{
    const std::int64_t product = a * b;
    const std::int64_t half = c / 2;
    return product >= 0 ? (product + half) / c : (product - half) / c;
}

} // namespace

std::int32_t fontPixelHeight(std::int32_t points, std::int32_t pixelsPerInch, double zoom)
{
    const double nominal = static_cast<double>(std::llabs(scaleRounded(points, pixelsPerInch, PointsPerInch)));
    const double scaled = std::trunc(nominal * zoom);
    if (!(scaled >= 1.0))
        return 1;
    return static_cast<std::int32_t>(std::min(scaled, static_cast<double>(MaxFontPixelHeight)));
}

} // namespace viewmodel
