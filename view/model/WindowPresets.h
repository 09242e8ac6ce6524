#pragma once

#include "view/model/LevelWindowDrag.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace viewmodel {

// A named window the user can put on a frame with one click, in the units of
// the stored sample values.
struct WindowPreset {
    std::string name;
    std::int32_t centre = 0;
    std::int32_t width = 0;
    friend bool operator==(const WindowPreset&, const WindowPreset&) = default;
};

inline constexpr std::size_t WindowPresetCount = 14;
using WindowPresets = std::array<WindowPreset, WindowPresetCount>;

// The presets a first start installs: five CT windows and nine user slots.
WindowPresets defaultWindowPresets();
// No preset carries a name, a centre or a width: a store wiped this way gets
// the defaults back rather than fourteen useless buttons.
bool presetsAreBlank(std::span<const WindowPreset> presets);

// The values a slider and its spin box offer; empty when high < low.
struct SliderRange {
    std::int32_t low = 0;
    std::int32_t high = 0;
    friend bool operator==(const SliderRange&, const SliderRange&) = default;
};

// Centres strictly inside the samples, so both ends of the ramp stay visible.
SliderRange centreRange(SampleRange range);
// Widths from 1 to twice the range plus one: a centre at either end still
// reaches every value. Saturates instead of wrapping on extreme ranges.
SliderRange widthRange(SampleRange range);
// A slider over an empty range has nothing to offer and is switched off.
bool isSliderEnabled(SliderRange range);
// The nearest value of the range; the low end of an empty one.
std::int32_t clampToRange(std::int64_t value, SliderRange range);

// What the bar shows for a frame: its own centre and width where they fall
// inside the sliders, else the values shown before pulled into this frame's
// ranges, so no other frame's window survives a change of frame.
LevelWindow shownWindow(LevelWindow frame, LevelWindow previous, SampleRange range);

// A window as it can be put on a frame: centre at most the maximum, width
// from 1 to twice the range plus one, computed without 32-bit overflow.
LevelWindow clampWindowToFrame(LevelWindow window, SampleRange range);

} // namespace viewmodel
