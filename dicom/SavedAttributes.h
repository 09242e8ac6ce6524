#pragma once

// What a saved file keeps of the file its frames came from, beyond the
// pixels: the facts its frames still need to be measured and read right, and
// on request whom and which study they belong to.

#include "dicom/DicomDataset.h"

namespace dicom {

struct SaveOptions {
    // The Patient, Patient Study and General Study modules go into saved
    // files. Off by default: a saved edit names no patient unless asked.
    bool keepPatientAndStudy = false;
};

// Copies from `source` into `saved`, each through copyElementIfAllowed:
// Rescale Intercept, Slope and Type when the saved frames are 8-bit grey
// (16-bit frames carry the rescale they were stored with), Pixel Spacing,
// Imager Pixel Spacing and Slice Thickness; with keepPatientAndStudy also
// the Specific Character Set and the elements of those modules, which then
// replace the empty ones and the new Study Instance UID of the build. Only
// elements with a value and a text VR are taken: sequences and binary
// values are left out.
void copySavedAttributes(DicomDataset& saved, const DicomDataset& source, const SaveOptions& options);

} // namespace dicom
