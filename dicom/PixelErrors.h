#pragma once

// Error codes of the pixel-data path. They are the data set's error numbers,
// kept here as plain constants so the pure decoders below need nothing but
// base/Result.h.

namespace dicom::pixel_error {

inline constexpr int OutOfMemory = 1;
inline constexpr int FileIo = 2;
inline constexpr int Unsupported = 3;
inline constexpr int Corrupted = 5;
inline constexpr int UnknownCompression = 6;
inline constexpr int UnsupportedFile = 8;

} // namespace dicom::pixel_error
