#include "view/model/LevelWindowDrag.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace viewmodel {

double levelWindowScale(SampleRange range)
{
    return (static_cast<double>(range.maximum) - range.minimum + 1.0) * 0.0025;
}

LevelWindow dragLevelWindow(LevelWindow atPress, SampleRange range, Point delta)
{
    const double scale = levelWindowScale(range);
    const double lowest = range.minimum;
    const double highest = range.maximum;
    // Bounds are applied in this order, so a range with its ends swapped still
    // gives a centre at the maximum and a width of 1, never undefined clamping.
    double centre = atPress.centre + std::trunc(scale * delta.y);
    centre = std::min(std::max(centre, lowest), highest);
    double width = atPress.width + std::trunc(2.0 * scale * delta.x);
    width = std::max(std::min(width, 2.0 * (highest - lowest) + 1.0), 1.0);
    // Only a range wider than any 16-bit frame's could pass this.
    width = std::min(width, static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    return { static_cast<std::int32_t>(centre), static_cast<std::int32_t>(width) };
}

} // namespace viewmodel
