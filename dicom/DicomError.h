#pragma once

// The reader's failure codes. Their numbers and texts are fixed because the
// user sees the texts verbatim and other tools compare the numbers.

#include "base/Result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace dicom {

enum class DicomError : int {
    None = 0,
    OutOfMemory = 1,
    FileIo = 2,
    UnsupportedFormat = 3,
    UnknownFormat = 4,
    Corrupted = 5,
    UnknownCompression = 6,
    FileNotFound = 7,
    UnsupportedFileFormat = 8,
};

using Error = base::Failure<DicomError>;
template<typename T>
using Result = base::Result<T, DicomError>;

// The fixed text of a code, trailing blanks included. Codes outside 0..8 get
// the text of Corrupted, so that a stray value never shows as "No Error".
std::string_view errorText(DicomError error);

// The text cut to capacity - 1 characters, as copied into a fixed-size slot;
// a capacity of 0 gives an empty text.
std::string errorMessage(DicomError error, std::size_t capacity = 64);

} // namespace dicom
