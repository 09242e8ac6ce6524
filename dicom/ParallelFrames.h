#pragma once

// Decodes the frames of one image on several threads and hands them on in
// order. Each thread gets a decoder of its own (scratch buffers, codec
// contexts), so nothing is shared between threads but the file's bytes.

#include "base/Frame.h"
#include "dicom/DicomError.h"

#include <cstddef>
#include <functional>

namespace dicom {

// Decodes frame `index`; called on one thread at a time per decoder.
using FrameDecoder = std::function<Result<base::Frame>(std::size_t index)>;
// Takes each frame as it is made, in order; a failure stops the extraction.
using FrameSink = std::function<Result<void>(base::Frame&&)>;

// How many threads a decode of `frames` frames uses: at most one a frame
// and one a core.
unsigned frameThreads(std::size_t frames);

// Decodes frames 0 .. count-1 with up to `threads` decoders made by
// makeDecoder (on the calling thread) and passes each frame to emit in
// order. The first failure in frame order is the result, as if the frames
// had been decoded one after another; frames after it are dropped.
Result<std::size_t> decodeFrames(std::size_t count, const std::function<FrameDecoder()>& makeDecoder,
                                       const FrameSink& emit, unsigned threads);

} // namespace dicom
