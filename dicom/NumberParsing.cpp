#include "dicom/NumberParsing.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace dicom {

namespace {

constexpr std::int32_t Int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Characters that may belong to a decimal number, for DS (PS3.5 6.2).
bool isRealChar(char c)
{
    return isDigit(c) || c == ' ' || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}

std::string_view skipBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

std::string_view cutAt(std::string_view text, bool (*keep)(char))
{
    std::size_t n = 0;
    while (n < text.size() && keep(text[n]))
        ++n;
    return text.substr(0, n);
}

// Optional sign and digits, stopping at the first other character; clamped.
std::int32_t decimalInteger(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (!isDigit(c))
            break;
        value = value * 10 + (c - '0');
        if (value > std::int64_t(Int32Max) + 1)
            value = std::int64_t(Int32Max) + 1; // already out of range; stop growing
    }
    if (negative)
        value = -value;
    if (value > Int32Max)
        return Int32Max;
    if (value < Int32Min)
        return Int32Min;
    return static_cast<std::int32_t>(value);
}

// The longest leading decimal number of the text, independent of the
// process locale (the GUI sets one where the decimal mark is a comma).
double leadingReal(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would take a second minus sign as the number's own.
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        return 0.0;
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone: tell overflow from underflow by
        // the sign of the exponent.
        std::string_view parsed(text.data(), static_cast<std::size_t>(end - text.data()));
        auto e = parsed.find_first_of("eE");
        bool underflow = e != std::string_view::npos && e + 1 < parsed.size() && parsed[e + 1] == '-';
        value = underflow ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::int32_t truncateToInt32(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value >= 2147483647.0)
        return Int32Max;
    if (value <= -2147483648.0)
        return Int32Min;
    return static_cast<std::int32_t>(value);
}

} // namespace

std::int32_t parseNumber(std::string_view text)
{
    text = skipBlanks(text);
    std::size_t i = 0;
    while (i < text.size() && (isDigit(text[i]) || text[i] == ' ' || text[i] == '-'))
        ++i;
    if (i == text.size())
        return decimalInteger(text);
    const char stop = text[i];
    if (stop == '+' || stop == '.' || stop == 'E' || stop == 'e')
        return truncateToInt32(leadingReal(cutAt(text, isRealChar)));
    return decimalInteger(text.substr(0, i));
}

double parseReal(std::string_view text)
{
    double value = leadingReal(cutAt(text, isRealChar));
    return std::isfinite(value) ? value : 0.0;
}

} // namespace dicom
