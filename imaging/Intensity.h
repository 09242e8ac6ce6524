#pragma once

#include <cstdint>

#include "imaging/ImagingError.h"
#include "imaging/ImageLevel.h"
#include "imaging/WorkArea.h"

namespace imaging {

class FrameImage;

// What happens to samples between the limits (inside) and beyond them.
enum class ThresholdMode : int {
    KeepValues = 0,   // inside kept, outside to the bottom of the range
    ApplyWindow = 1,  // inside stretched over the range, outside to the bottom
    BlackAndWhite = 2, // inside to the top, outside to the bottom
    Stretch = 3,      // every sample squeezed from the range into lower..upper
};

// Level operations: (level, work area, parameters) -> a new level of the same
// size, range and window. Only selected pixels inside the area's rectangle
// change; the rest is copied. 8-bit results are clamped to 0..255 per channel,
// 16-bit ones to the level's min..max. A work area that does not fit the level
// or a mode outside 0..3 gives InvalidParameters.
template<typename Sample>
Result<ImageLevel<Sample>> invert(const ImageLevel<Sample>& level, const WorkArea& area);
template<typename Sample>
Result<ImageLevel<Sample>> brightnessContrast(const ImageLevel<Sample>& level, const WorkArea& area,
                                                    std::int32_t brightness, std::int32_t contrast);
template<typename Sample>
Result<ImageLevel<Sample>> threshold(const ImageLevel<Sample>& level, const WorkArea& area, std::int32_t lower,
                                           std::int32_t upper, ThresholdMode mode);
// Wipes thin text of one value off a flat background: a pixel whose 3 x 3
// neighbourhood holds exactly two values takes the smaller one. The outermost
// rows and columns of the area's rectangle stay as they are.
template<typename Sample>
Result<ImageLevel<Sample>> removeBurnedIn(const ImageLevel<Sample>& level, const WorkArea& area);
// Sets the selected samples to the level's min; needs an area with a mask.
template<typename Sample>
Result<ImageLevel<Sample>> clearSelection(const ImageLevel<Sample>& level, const WorkArea& area);

// The image's undoable forms, working inside the image's selection (the whole
// image without one). Each adds one level on success.
bool invert(FrameImage& frame);
bool brightnessContrast(FrameImage& frame, std::int16_t brightness, std::int16_t contrast);
bool threshold(FrameImage& frame, std::int32_t lower, std::int32_t upper, ThresholdMode mode);
bool removeBurnedIn(FrameImage& frame);
// Does nothing (and records nothing) without a selection.
bool clearSelection(FrameImage& frame);

} // namespace imaging
