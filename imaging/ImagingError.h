#pragma once

#include <string_view>

#include "base/Result.h"

namespace imaging {

// Each image keeps the code of its last failure; the numbers are stable
// because saved state and callers compare them.
enum class ImagingError : int {
    None = 0,
    Fatal = 1,
    MemoryAllocation = 2,
    UndoLevelsMustBeZero = 3,
    NoUndoLevel = 4,
    NoRedoLevel = 5,
    InvalidParameters = 6,
    UnknownBitmapFormat = 7,
    NotAllowedInMonochrome = 8,
    NotAllowedInColour = 9,
    InvalidBitmapFormat = 10,
};

// The fixed message of a code, ending in a line feed.
std::string_view imagingErrorText(ImagingError error);

inline base::Error makeError(ImagingError error)
{
    return base::Error{static_cast<int>(error), std::string(imagingErrorText(error))};
}

inline ImagingError toImagingError(const base::Error& error)
{
    if (error.code < 0 || error.code > static_cast<int>(ImagingError::InvalidBitmapFormat))
        return ImagingError::Fatal;
    return static_cast<ImagingError>(error.code);
}

} // namespace imaging
