#pragma once

#include "view/model/ViewTransform.h"

#include <cstdint>

namespace viewmodel {

// A frame's window: the centre and width of the sample values spread over the
// display's grey ramp.
struct LevelWindow {
    std::int32_t centre = 0;
    std::int32_t width = 0;
    friend bool operator==(const LevelWindow&, const LevelWindow&) = default;
};

// The smallest and largest sample values of a frame.
struct SampleRange {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
};

// Window units per mouse pixel: a quarter of a percent of the frame's range,
// so that a 400-pixel drag sweeps the whole range whatever the bit depth.
double levelWindowScale(SampleRange range);

// The window after dragging the level-window tool by a mouse displacement
// (client pixels, from the press) from the window it had at the press.
// Dragging down raises the centre (a darker picture), dragging right widens
// the window (less contrast). The centre stays within the range; the width
// stays between 1 and twice the range, which still shows every value when the
// centre sits at either end.
LevelWindow dragLevelWindow(LevelWindow atPress, SampleRange range, Point delta);

} // namespace viewmodel
