#pragma once

#include <cstdint>

#include "imaging/ImagingError.h"
#include "imaging/ImageLevel.h"

namespace imaging {

class FrameImage;

enum class Interpolation : int { Nearest = 0, Bilinear = 1, Bicubic = 2 };
enum class Turn { Clockwise, CounterClockwise };

// Where the old picture sits on a resized canvas: a 3 x 3 grid in reading
// order, 0 top-left to 8 bottom-right.
inline constexpr int kCanvasAnchorCount = 9;

// Level operations: (level, parameters) -> a new level of the same kind, range
// and window; only the size and the pixels differ. Bad parameters give
// InvalidParameters, so that nothing is recorded when an image runs them.
//
// The fill of rotations by an angle and of canvas resizing is read from the
// low bits of `fill`: red, green, blue in bits 0-7, 8-15, 16-23 for RGB
// levels, bits 0-7 for grey 8-bit levels, the low 16 bits as a signed sample
// for 16-bit levels.

// right and bottom exclusive; the rectangle must lie inside the level and hold
// at least one pixel.
template<typename Sample>
Result<ImageLevel<Sample>> crop(const ImageLevel<Sample>& level, std::int32_t left, std::int32_t top,
                                      std::int32_t right, std::int32_t bottom);
template<typename Sample>
Result<ImageLevel<Sample>> rotate180(const ImageLevel<Sample>& level);
template<typename Sample>
Result<ImageLevel<Sample>> rotate90Clockwise(const ImageLevel<Sample>& level);
template<typename Sample>
Result<ImageLevel<Sample>> rotate90CounterClockwise(const ImageLevel<Sample>& level);
template<typename Sample>
Result<ImageLevel<Sample>> flipHorizontal(const ImageLevel<Sample>& level);
template<typename Sample>
Result<ImageLevel<Sample>> flipVertical(const ImageLevel<Sample>& level);

template<typename Sample>
Result<ImageLevel<Sample>> resampleNearest(const ImageLevel<Sample>& level, std::int32_t newWidth,
                                                 std::int32_t newHeight);
template<typename Sample>
Result<ImageLevel<Sample>> resampleBilinear(const ImageLevel<Sample>& level, std::int32_t newWidth,
                                                  std::int32_t newHeight);
template<typename Sample>
Result<ImageLevel<Sample>> resizeCanvas(const ImageLevel<Sample>& level, std::int32_t newWidth,
                                              std::int32_t newHeight, int anchor, std::uint32_t fill);

// Rotation by an angle in degrees. The canvas grows to hold the whole turned
// picture; the corners take the fill. Angles of 90 and more are the exact
// quarter turn; angles <= 0 (and NaN) are refused.
template<typename Sample>
Result<ImageLevel<Sample>> rotate(const ImageLevel<Sample>& level, float angle, Turn turn,
                                        Interpolation method, std::uint32_t fill);

// A square picture of side x side for browsers and previews: the longer side
// scaled to `side` by nearest neighbour (the shorter one to at least 1), then
// centred on a filled canvas.
template<typename Sample>
Result<ImageLevel<Sample>> thumbnail(const ImageLevel<Sample>& level, std::int32_t side, std::uint32_t fill);

// The image's undoable forms: each adds one level on success. Rotations and
// canvas resizing fill with the frame's backgroundFill8 / backgroundFill16.
bool crop(FrameImage& frame, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
bool rotate180(FrameImage& frame);
bool rotate90Clockwise(FrameImage& frame);
bool rotate90CounterClockwise(FrameImage& frame);
bool flipHorizontal(FrameImage& frame);
bool flipVertical(FrameImage& frame);
bool resampleNearest(FrameImage& frame, std::int32_t newWidth, std::int32_t newHeight);
bool resampleBilinear(FrameImage& frame, std::int32_t newWidth, std::int32_t newHeight);
bool rotateClockwise(FrameImage& frame, float angle, Interpolation method);
bool rotateCounterClockwise(FrameImage& frame, float angle, Interpolation method);
bool resizeCanvas(FrameImage& frame, std::int32_t newWidth, std::int32_t newHeight, int anchor);

} // namespace imaging
