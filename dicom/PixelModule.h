#pragma once

// The image pixel module of a data set read by DicomReader: its attributes,
// palette, frames, and the texts and ratios other parts ask the data set for.

#include "dicom/DicomError.h"
#include "dicom/DicomDataset.h"
#include "dicom/DicomError.h"
#include "dicom/PaletteColour.h"
#include "dicom/PixelAttributes.h"
#include "dicom/PixelFrames.h"

#include <optional>
#include <string>

namespace dicom {

class ElementDecoder;

// The attributes from the top-level elements in file order (a later
// duplicate wins), with the defaults for absent bits and photometric.
PixelAttributes readPixelAttributes(const DicomDataset& dataset);

// The compression named by (0002,0010) of the meta group; none means "NONE".
Result<Compression> readCompression(const DicomDataset& dataset);

// The red, green and blue tables of a "PALETTE COLOR" image, reduced to 256
// entries; error 5 when they are absent or differ in length, error 3 for
// segmented tables only.
Result<PaletteTables> readPaletteTables(const DicomDataset& dataset);

// Everything after the elements: attributes, checks, palette, frames. The
// decoder stands at the first element of group 0x7FE0. A sink takes the
// frames one by one instead of the result (see decodePixelData). Without a
// thread count the frames decode on one thread a core, at most one a frame.
Result<PixelFrames> readPixelFrames(const DicomDataset& dataset, ElementDecoder& decoder,
                                    const FrameSink& sink = {}, std::optional<unsigned> threads = {});

// A DicomReader pixel stage: fills the data set's image attributes,
// compression name, palette and frames, decoding on every core.
DicomError readPixelStage(DicomDataset& dataset, ElementDecoder& decoder);

// Palette to save under the maker's name; none unless "PALETTE COLOR".
std::optional<PaletteRecord> extractPalette(const DicomDataset& dataset, const PixelFrames& image);

// (0028,0034) as a / b; none when absent or not two positive numbers.
std::optional<double> pixelAspectRatio(const DicomDataset& dataset);

enum class CaptionField { PatientName, PatientSex, BirthDate, PatientId, StudyId, StudyDate };

// At most 126 bytes of the element's value; "^" in names becomes a blank.
// None when the element is absent.
std::optional<std::string> captionText(const DicomDataset& dataset, CaptionField field);

} // namespace dicom
