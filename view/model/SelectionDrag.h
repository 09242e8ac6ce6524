#pragma once

#include "view/model/ViewTransform.h"

#include <cstdint>
#include <optional>

namespace viewmodel {

// The rectangle between the press and the release of a rubber-band drag, in
// image pixels: ordered, and clipped to the image so that a drag begun or
// ended off the frame still selects up to its edge. Both corner pixels are
// inside (right and bottom exclusive, as in every Rect). None for an empty
// image.
std::optional<Rect> dragRectangle(Point from, Point to, Size image);

// The selection a drag makes. Corners sharing a column or a row are a click,
// not a drag, and select nothing, as a zero-size zoom rectangle zooms nothing.
std::optional<Rect> selectionFromDrag(Point from, Point to, Size image);

// The selection outline crawls: diagonal stripes 6 pixels wide, repeating
// every 12, shifted by one pixel per tick of its timer.
inline constexpr std::int32_t OutlinePhases = 12;
inline constexpr std::int32_t OutlineTickMilliseconds = 75;

std::int32_t nextOutlinePhase(std::int32_t phase);
// True where the outline pixel at a viewport point is white, false for black.
bool isOutlineStripeWhite(Point viewport, std::int32_t phase);

} // namespace viewmodel
