#include "view/model/ZoomList.h"

#include <charconv>
#include <cmath>

namespace viewmodel {

namespace {

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

ZoomListChoice parseZoomListEntry(std::string_view text)
{
    const std::size_t percentSign = text.find('%');
    if (percentSign == std::string_view::npos) {
        if (trimmed(text) == "fit")
            return { ZoomListChoice::Kind::Fit };
        return {};
    }
    if (!trimmed(text.substr(percentSign + 1)).empty())
        return {};
    const std::string_view number = trimmed(text.substr(0, percentSign));
    double percent = 0.0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), percent);
    if (parsed.ec != std::errc {} || parsed.ptr != number.data() + number.size())
        return {};
    // Checked as the float the document keeps: a percentage past the float
    // range, or so small that it rounds to 0, gives no factor to show.
    const auto zoom = static_cast<float>(percent * 0.01);
    if (!std::isfinite(zoom) || !(zoom > 0.0F))
        return {};
    return { ZoomListChoice::Kind::Factor, zoom };
}

std::string zoomListText(double percent)
{
    // Room for the largest double written out in full.
    std::array<char, 400> text {};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), percent, std::chars_format::fixed, 2);
    std::string result(text.data(), written.ec == std::errc {} ? written.ptr : text.data());
    result += '%';
    return result;
}

} // namespace viewmodel
