#pragma once

// The codes the pixel-data path fails with: the data set's own codes, named
// as the decoders below the reader use them.

#include "dicom/DicomError.h"

namespace dicom::pixel_error {

inline constexpr DicomError OutOfMemory = DicomError::OutOfMemory;
inline constexpr DicomError FileIo = DicomError::FileIo;
inline constexpr DicomError Unsupported = DicomError::UnsupportedFormat;
inline constexpr DicomError Corrupted = DicomError::Corrupted;
inline constexpr DicomError UnknownCompression = DicomError::UnknownCompression;
inline constexpr DicomError UnsupportedFile = DicomError::UnsupportedFileFormat;

} // namespace dicom::pixel_error
