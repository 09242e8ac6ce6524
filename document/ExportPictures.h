#pragma once

// Frames as the exports, copies and reports take them from an open document.

#include "export/ExportTypes.h"

class COrvoDoc;

namespace document {

// The export pictures of the document's frames: each frame's display bitmap
// (window, level and palette in force); when an overlay switch is on, the
// switched-on rulers, annotations and measurements are drawn at frame size
// on a black canvas and every canvas pixel that is not black replaces the
// picture's (which is then RGB). The overlays are copied when the source is
// made, so the source may outlive edits; the frames themselves must not
// change while it renders (the exports run under a window-modal progress
// window). Different frames may render on different threads.
exporting::PictureSource exportPictureSource(const COrvoDoc& doc);

// The picture of BMP exports, report pictures and "Copy Frame": the display
// bitmap resampled to P% of its size, P = zoom x 100 rounded (sizes
// truncated, never below 1; bilinear when the page setup's scaling is 1),
// with the overlays of the frame drawn in at that scale when the page setup
// prints annotations.
exporting::Result<imaging::DisplayBitmap> reportBitmap(const COrvoDoc& doc, int frame);

// The display bitmap resampled to exactly width x height, without overlays
// ("Select items to copy").
exporting::Result<imaging::DisplayBitmap> sizedBitmap(const COrvoDoc& doc, int frame, std::int32_t width,
                                                      std::int32_t height, exporting::Scaling scaling);

} // namespace document
