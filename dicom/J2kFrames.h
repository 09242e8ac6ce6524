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

// With a usable offset table, by its entries; without one and more fragments
// than frames, a frame starts at each fragment that starts with SOC (FF 4F).
std::vector<std::vector<std::span<const std::uint8_t>>> groupJ2kFragments(const Encapsulated& data,
                                                                          std::int32_t numberOfFrames);

// One decode a frame. The first frame's header decides the signedness and
// precision when they disagree with Pixel Representation and Bits Stored
// (the stream wins, with a warning); a frame whose header disagrees with the
// size or samples is error 5, as are the libraries' failures, with their text.
Result<FrameJobs> j2kJobs(const PixelAttributes& attrs, const PixelSource& source, const PaletteTables* palette);

} // namespace dicom
