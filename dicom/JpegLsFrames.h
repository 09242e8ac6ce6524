#pragma once

// Extraction of JPEG-LS frames (PS3.5 A.4.3, lossless and near-lossless):
// the fragments of each frame are joined, decoded by the codecs' JPEG-LS
// adapter, then normalised like every other frame.

#include "dicom/DicomError.h"
#include "dicom/PaletteColour.h"
#include "dicom/PixelAttributes.h"
#include "dicom/PixelFrames.h"

namespace dicom {

// One decode a frame. The stream's header must agree with the attributes
// (error 5 when not); library failures are error 5 with the library's text.
Result<FrameJobs> jpegLsJobs(const PixelAttributes& attrs, const PixelSource& source, const PaletteTables* palette);

} // namespace dicom
