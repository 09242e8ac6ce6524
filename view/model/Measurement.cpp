#include "view/model/Measurement.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace viewmodel {

namespace {

// The arm direction of a vertical first arm, and the degrees per radian,
// as the labels have always been computed (not the exact pi / 2 and 180 / pi).
constexpr float QuarterTurn = 1.570795F;
constexpr float DegreesPerRadian = 57.295826F;
constexpr float RightAngle = static_cast<float>(90.00000032824028);

std::optional<double> readDecimal(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(first);
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (read.ec != std::errc {})
        return std::nullopt;
    return value;
}

} // namespace

double usableSpacing(std::optional<double> value)
{
    if (!value || !std::isfinite(*value) || !(*value > 0.0))
        return 1.0;
    return *value;
}

PixelSpacing pixelSpacing(std::optional<double> row, std::optional<double> column)
{
    return { usableSpacing(row), usableSpacing(column) };
}

PixelSpacing pixelSpacingFromText(std::string_view text)
{
    const std::size_t split = text.find('\\');
    if (split == std::string_view::npos)
        return pixelSpacing(readDecimal(text), std::nullopt);
    return pixelSpacing(readDecimal(text.substr(0, split)), readDecimal(text.substr(split + 1)));
}

double lengthMillimetres(Point a, Point b, PixelSpacing spacing)
{
    const double dx = std::fabs(static_cast<double>(std::int64_t { b.x } - a.x)) * usableSpacing(spacing.column);
    const double dy = std::fabs(static_cast<double>(std::int64_t { b.y } - a.y)) * usableSpacing(spacing.row);
    return std::sqrt(dx * dx + dy * dy);
}

std::string lengthLabel(Point a, Point b, PixelSpacing spacing)
{
    constexpr double Largest = std::numeric_limits<int>::max();
    const double length = lengthMillimetres(a, b, spacing);
    const int whole = length >= Largest ? std::numeric_limits<int>::max() : static_cast<int>(length);
    return std::to_string(whole) + "mm";
}

float angleDegrees(Point vertex, Point first, Point second)
{
    const float x1 = static_cast<float>(vertex.x);
    const float y1 = static_cast<float>(vertex.y);
    const float x3 = static_cast<float>(second.x);
    const float y3 = static_cast<float>(second.y);
    float theta = 0.0F;
    if (vertex.x == first.x)
        theta = first.y < vertex.y ? QuarterTurn : -QuarterTurn;
    else
        theta = std::atan2(y1 - static_cast<float>(first.y), static_cast<float>(first.x) - x1);
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    // The second arm's end turned into a frame whose x axis is the first arm.
    const float u = (c * x3 - s * y3) - (c * x1 - s * y1);
    const float v = (s * x1 + c * y1) - (s * x3 + c * y3);
    if (u == 0.0F)
        return RightAngle;
    return std::fabs(std::atan2(v, u)) * DegreesPerRadian;
}

std::string angleLabel(float degrees)
{
    std::array<char, 400> text {};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), static_cast<double>(degrees),
        std::chars_format::fixed, 2);
    const std::string number = written.ec == std::errc {} ? std::string(text.data(), written.ptr) : std::string("0.00");
    return number + "\u00B0";
}

} // namespace viewmodel
