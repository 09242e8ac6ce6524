#pragma once

#include "view/model/Measurement.h"
#include "view/model/OverlayRecords.h"
#include "view/model/ViewTransform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace viewmodel {

// The corner the two rulers start from; the numbers are the stored values.
enum class RulerCorner : std::int32_t {
    UpperLeft = 0,
    LowerLeft = 1,
    UpperRight = 2,
    LowerRight = 3,
};

// A frame's rulers: the corner they start from and their colour.
struct RulerSetting {
    RulerCorner corner = RulerCorner::UpperLeft;
    Colour colour = 0xFFFFFF;
    friend bool operator==(const RulerSetting&, const RulerSetting&) = default;
};
// A stored corner number; anything but 0..3 is the upper left.
RulerCorner rulerCornerOf(std::int32_t stored);

struct Line {
    Point from;
    Point to;
    friend bool operator==(const Line&, const Line&) = default;
};

// Which side of its text a label's anchor point marks.
enum class LabelAlign { Start, Centre, End };

struct RulerLabel {
    std::string text;
    Point anchor;
    LabelAlign horizontal = LabelAlign::Start;
    LabelAlign vertical = LabelAlign::Start;
};

struct RulerTick {
    std::int32_t millimetres = 0;
    Line line; // from its outer end to the axis
};

// One ruler in viewport points: its axis line, a tick every 10 mm (longer at
// 50, 150, ... mm) and a label in centimetres at every 100 mm.
struct Ruler {
    Line axis;
    std::vector<RulerTick> ticks;
    std::vector<RulerLabel> labels;
};

struct RulerLayout {
    Ruler horizontal;
    Ruler vertical;
};

// Ticks closer than a pixel would run into a solid bar: below this step
// (10 mm on the screen) a ruler shows its axis alone.
inline constexpr double MinimumTickStep = 1.0;
// However large the frame on the screen, one ruler never has more ticks.
inline constexpr std::size_t MaxRulerTicks = 1 << 16;

// The rulers along the frame shown at `displayed` (viewport points) at a
// zoom factor, starting from `corner`: the horizontal ruler in column
// spacing, the vertical one in row spacing. The axes lie 25 points inside the
// frame's edges and the ticks count from there.
RulerLayout rulerLayout(RulerCorner corner, Rect displayed, double zoom, PixelSpacing spacing);

} // namespace viewmodel
