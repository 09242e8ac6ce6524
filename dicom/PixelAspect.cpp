#include "dicom/PixelAspect.h"


#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace dicom {

namespace {

std::optional<double> parsePart(std::string_view text)
{
    while (!text.empty() && (text.front() == ' '))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> pixelAspectRatio(std::string_view text)
{
    const auto slash = text.find('\\');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const auto a = parsePart(text.substr(0, slash));
    const auto b = parsePart(text.substr(slash + 1));
    if (!a || !b || !(*a > 0) || !(*b > 0))
        return std::nullopt;
    const double ratio = *a / *b;
    if (!std::isfinite(ratio) || !(ratio > 0))
        return std::nullopt;
    return ratio;
}

} // namespace dicom
