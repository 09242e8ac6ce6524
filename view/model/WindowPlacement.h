#pragma once

#include "view/model/ShellLayout.h"

#include <optional>

namespace viewmodel {

// Room left between a dialog and the picture it keeps clear, so that the
// dialog's frame does not touch the picture either.
inline constexpr int PlacementGap = 8;

// Where a dialog of width x height goes when what it changes must stay in
// sight (a preview on the frame): right of `keepClear`, else left of it,
// else below, else above, each slid along that side to stay on `screen`.
// When no side has room, the dialog goes to the screen's edge on the side
// with the most room, covering as little of the picture as it can.
WindowRect placeBeside(const WindowRect& keepClear, int width, int height, const WindowRect& screen);

// The size a large dialog (a file dialog) opens at: `percent` of the
// available area each way, at least minWidth x minHeight, never more than the
// area; centred on it.
WindowRect shareOf(const WindowRect& available, int percent, int minWidth, int minHeight);

// Where the pictures behind the document windows go in an area of
// areaWidth x areaHeight: the centre picture centred when it fits, the corner
// picture in the bottom-right corner when the width holds it and the height
// holds the centre picture and twice the corner picture.
struct BackgroundPlaces {
    std::optional<WindowRect> centre;
    std::optional<WindowRect> corner;
    bool operator==(const BackgroundPlaces&) const = default;
};
BackgroundPlaces backgroundPlaces(int areaWidth, int areaHeight, int centreWidth, int centreHeight, int cornerWidth,
                                  int cornerHeight);

} // namespace viewmodel
