#pragma once

#include "view/model/ViewTransform.h"

namespace viewmodel {

// Where a measurement's label box goes, in image pixels, for a label of
// `text` size (measured at zoom 1) on an image of `image` size. The box keeps
// the text's size and is moved onto the image: at most image side - text side
// from the left and top, and at least 0, so a text wider or taller than the
// image starts at the image's edge and is cut at the far side.

// A length's label is centred on the middle of the segment.
Rect lengthLabelBox(Point first, Point second, Size text, Size image);

// An angle's label sits 3 pixels off the vertex, on the side away from the
// second arm horizontally and away from the first arm vertically.
Rect angleLabelBox(Point vertex, Point first, Point second, Size text, Size image);

} // namespace viewmodel
