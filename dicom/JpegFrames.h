#pragma once

// Extraction of "JPEG LOSSY" and "JPEG LOSSLESS" frames: the fragments of each
// frame are joined and decoded by the codecs (our lossless decoder, or the
// JPEG library for DCT data, whichever the stream's frame header names), then
// normalised like every other frame.

#include "base/Result.h"
#include "dicom/Normalisation.h"
#include "dicom/PaletteColour.h"
#include "dicom/PixelAttributes.h"
#include "dicom/PixelFrames.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace dicom {

// PS3.5 A.4: with an offset table, by its entries; without one, a frame may
// still span several fragments, and each JPEG frame starts with SOI.
std::vector<std::vector<std::span<const std::uint8_t>>> groupJpegFragments(const Encapsulated& data,
                                                                           std::int32_t numberOfFrames);

// Takes a decoder's non-fatal message (a premature end of data, an
// unexpected marker) with the index of the frame it came from, from 0. The
// core never prints; the caller decides where the message goes.
using DecoderWarningSink = std::function<void(std::size_t frameIndex, const std::string& warning)>;

// Decodes and normalises every frame, handing each to emit; returns the
// number of frames. Codec failures keep their codes (3 unsupported, 5
// corrupted, 1 out of memory). Each frame's buffer is sized only once its
// stream's own header matches the attributes. Warnings go to warn, if given,
// before the frame they belong to goes to emit.
base::Result<std::size_t> extractJpeg(const PixelAttributes& attrs, Compression compression,
                                      const PixelSource& source, const PixelDataElement& element,
                                      const PaletteTables* palette,
                                      const FrameSink& emit,
                                      const DecoderWarningSink& warn = {});

} // namespace dicom
