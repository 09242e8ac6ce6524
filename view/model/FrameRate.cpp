#include "view/model/FrameRate.h"

#include <charconv>
#include <cmath>

namespace viewmodel {

double otherFrameRate(double value)
{
    if (!(value > 0.0) || !std::isfinite(value))
        return 0.0;
    return 1000.0 / value;
}

std::string frameRateText(double value)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return written.ec == std::errc() ? std::string(buffer, written.ptr) : std::string("0.00");
}

} // namespace viewmodel
