#pragma once

// Extraction of JPEG 2000 and high-throughput JPEG 2000 frames (PS3.5 A.4.4,
// A.4.11): the fragments of each frame are joined, decoded by the codecs'
// JPEG 2000 adapter (the same for both), then normalised like every other frame.

#include "dicom/DicomError.h"
#include "dicom/PaletteColour.h"
#include "dicom/PixelAttributes.h"
#include "dicom/PixelFrames.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dicom {

// One decode a frame. Pixel Representation decides the signedness whatever
// the stream says (a disagreement of the first frame's header is warned of
// once); a precision above Bits Stored wins over Bits Stored, with a warning.
// A frame whose header disagrees with the size or samples is error 5, as are
// the libraries' failures, with their text.
Result<FrameJobs> j2kJobs(const PixelAttributes& attrs, const PixelSource& source, const PaletteTables* palette);

} // namespace dicom
