#include "view/model/DefaultAnnotations.h"

#include <algorithm>
#include <array>
#include <span>
#include <limits>

namespace viewmodel {
namespace {

constexpr std::int32_t FirstRowTop = 29;
constexpr std::int32_t RowLeft = 25;

struct Item {
    const std::optional<std::string>* value;
    const char* prefix;
    // What leads the next item when this one is shown.
    const char* separatorAfter;
};

std::int32_t saturatedAdd(std::int32_t a, std::int32_t b)
{
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    return static_cast<std::int32_t>(std::min<std::int64_t>(sum, std::numeric_limits<std::int32_t>::max()));
}

// Lays one row out from `left`; answers the tallest text of the row.
std::int32_t layRow(std::span<const Item> items, std::int32_t left, std::int32_t top, const MeasureText& measure,
                    std::vector<PlacedText>& placed)
{
    std::int32_t x = left;
    std::int32_t height = 0;
    const char* separator = " ";
    for (const Item& item : items) {
        if (!item.value->has_value() || item.value->value().empty())
            continue;
        std::string text = std::string(separator) + item.prefix + item.value->value();
        const Size size = measure(text);
        placed.push_back({ std::move(text), { x, top } });
        x = saturatedAdd(x, std::max(size.width, 0));
        height = std::max(height, size.height);
        separator = item.separatorAfter;
    }
    return height;
}

} // namespace

std::vector<PlacedText> defaultAnnotationLayout(const CaptionValues& values, const MeasureText& measure)
{
    const std::array firstRow {
        Item { &values.patientName, "", " , " },
        Item { &values.patientSex, "", ", " },
        Item { &values.birthDate, "", ", " },
    };
    const std::array secondRow {
        Item { &values.patientId, "PID:", " , " },
        Item { &values.studyId, "SID:", " , " },
        Item { &values.studyDate, "SD:", " , " },
    };
    std::vector<PlacedText> placed;
    const std::int32_t left = saturatedAdd(RowLeft, std::max(measure(" ").width, 0));
    std::int32_t firstHeight = layRow(firstRow, left, FirstRowTop, measure, placed);
    if (firstHeight == 0)
        firstHeight = std::max(measure(" ").height, 0);
    layRow(secondRow, left, saturatedAdd(FirstRowTop, firstHeight), measure, placed);
    return placed;
}

} // namespace viewmodel
