#pragma once

// The frames of an export rendered on several threads and handed on in
// order, so that a movie or a run of files never waits for one core while
// the other idles, and never holds more than a few pictures at once.

#include "export/ExportTypes.h"

#include <cstddef>
#include <span>

namespace exporting {

// Receives the picture of frames[index] (or why it could not be rendered),
// in order, on the thread that called renderInOrder. False stops the run.
using PictureSink = std::function<bool(std::size_t index, int frame, Result<Picture>&& picture)>;

// Renders each frame through source.picture, resampled to width x height
// with `scaling` when those are not 0 and differ from the picture's size,
// on `workers` threads (0: one a core), and hands the pictures to the sink
// in the order of `frames`, holding at most workers + 1 of them. Progress
// advances once a picture has gone to the sink. Cancelled when progress
// asked to stop (the sink has then had a leading part of the frames).
Result<void> renderInOrder(const PictureSource& source, std::span<const int> frames, std::int32_t width,
                           std::int32_t height, Scaling scaling, unsigned workers, const Progress& progress,
                           const PictureSink& sink);

} // namespace exporting
