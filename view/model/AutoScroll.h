#pragma once

#include "view/model/ViewTransform.h"

#include <optional>

namespace viewmodel {

// Which ways the middle-button auto-scroll may move the picture: only along
// the sides on which the frame on the screen is larger than the viewport.
enum class AutoScrollMode { Both, Horizontal, Vertical };

// None when the whole frame fits the viewport and there is nothing to scroll.
std::optional<AutoScrollMode> autoScrollMode(Size shown, Size viewport);

// One tick of the auto-scroll. While the cursor is over the marker nothing
// moves; past one of its edges the picture moves by the distance from that
// edge plus one, so it speeds up the further the cursor goes, and it stops
// at the ends of the scroll range (0..maximum).
Point autoScrollStep(AutoScrollMode mode, Rect marker, Point cursor, Point scroll, Point maximum);

} // namespace viewmodel
