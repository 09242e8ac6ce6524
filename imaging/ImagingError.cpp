#include "imaging/ImagingError.h"

namespace imaging {

std::string_view imagingErrorText(ImagingError error)
{
    switch (error) {
    case ImagingError::None: return "No Error\n";
    case ImagingError::Fatal: return "Fatal Error: the image could not be built\n";
    case ImagingError::MemoryAllocation: return "Memory Allocation Error\n";
    case ImagingError::UndoLevelsMustBeZero: return "Current Undo Levels must be 0\n";
    case ImagingError::NoUndoLevel: return "There is no other undo level\n";
    case ImagingError::NoRedoLevel: return "There is no other redo level\n";
    case ImagingError::InvalidParameters: return "Invalid Parameters\n";
    case ImagingError::UnknownBitmapFormat: return "Unknown bitmap format\n";
    case ImagingError::NotAllowedInMonochrome: return "Operation not allowed in monochrome image\n";
    case ImagingError::NotAllowedInColour: return "Operation not allowed in color image\n";
    case ImagingError::InvalidBitmapFormat: return "Invalid Bitmap Format\n";
    }
    return "Fatal Error: the image could not be built\n";
}

} // namespace imaging
