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

using Error = base::Failure<ImagingError>;
template<typename T>
using Result = base::Result<T, ImagingError>;

inline Error makeError(ImagingError error)
{
    return Error{error, std::string(imagingErrorText(error))};
}

} // namespace imaging
