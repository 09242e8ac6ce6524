#include "view/model/WindowPresets.h"

#include <algorithm>
#include <limits>

namespace viewmodel {

namespace {

constexpr std::int64_t Int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t Int32Min = std::numeric_limits<std::int32_t>::min();

std::int32_t saturate(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp(value, Int32Min, Int32Max));
}

std::int64_t span(SampleRange range)
{
    return static_cast<std::int64_t>(range.maximum) - range.minimum;
}

} // namespace

WindowPresets defaultWindowPresets()
{
    WindowPresets presets {
        WindowPreset { "CT - Abdomen", 40, 400 },
        WindowPreset { "CT - Lang", -500, 1500 },
        WindowPreset { "CT - Bone", 750, 3500 },
        WindowPreset { "CT - Brain", 40, 80 },
        WindowPreset { "CT - Pelvis", 50, 250 },
    };
    for (std::size_t i = 5; i < presets.size(); ++i)
        presets[i] = { "User " + std::to_string(i + 1), 128, 256 };
    return presets;
}

bool presetsAreBlank(std::span<const WindowPreset> presets)
{
    return std::all_of(presets.begin(), presets.end(),
        [](const WindowPreset& p) { return p.name.empty() && p.centre == 0 && p.width == 0; });
}

SliderRange centreRange(SampleRange range)
{
    return { saturate(static_cast<std::int64_t>(range.minimum) + 1),
        saturate(static_cast<std::int64_t>(range.maximum) - 1) };
}

SliderRange widthRange(SampleRange range)
{
    return { 1, saturate(2 * span(range) + 1) };
}

bool isSliderEnabled(SliderRange range)
{
    return range.high >= range.low;
}

std::int32_t clampToRange(std::int64_t value, SliderRange range)
{
    if (!isSliderEnabled(range))
        return range.low;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, range.low, range.high));
}

LevelWindow shownWindow(LevelWindow frame, LevelWindow previous, SampleRange range)
{
    const auto pick = [](std::int32_t own, std::int32_t before, SliderRange r) {
        return own >= r.low && own <= r.high ? own : clampToRange(before, r);
    };
    return { pick(frame.centre, previous.centre, centreRange(range)),
        pick(frame.width, previous.width, widthRange(range)) };
}

LevelWindow clampWindowToFrame(LevelWindow window, SampleRange range)
{
    const std::int64_t widest = std::max<std::int64_t>(2 * span(range) + 1, 1);
    return { std::min(window.centre, range.maximum),
        saturate(std::clamp<std::int64_t>(window.width, 1, widest)) };
}

} // namespace viewmodel
