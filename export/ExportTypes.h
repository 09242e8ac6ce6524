#pragma once

// What every writer of the export folder shares: the picture it writes, its
// failure codes, and the request that says which frames go out and how.

#include "base/Result.h"
#include "imaging/FrameImage.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace exporting {

enum class ExportError : int {
    None = 0,
    // The output (or its temporary name) could not be created.
    CannotCreate = 1,
    // Writing, flushing or renaming failed part way; the old file stays.
    WriteFailed = 2,
    OutOfMemory = 3,
    // A size of 0, past a format's limit, or a picture that is not 1 or 3 channels.
    InvalidPicture = 4,
    // The picture source could not render a frame.
    RenderFailed = 5,
    // The movie would pass the 1 GiB a RIFF of AVI 1.0 can hold.
    TooLarge = 6,
    NotEnoughSpace = 7,
    Cancelled = 8,
};

using Error = base::Failure<ExportError>;
template<typename T>
using Result = base::Result<T, ExportError>;

// Rows top to bottom, 1 byte (grey) or 3 (R, G, B) a pixel, no padding.
using Picture = imaging::PixelExport;

enum class ExportFormat { Tiff, Jpeg, Bmp, Raw, Html, Rtf, Avi };
enum class Scaling { Nearest = 0, Bilinear = 1 };

// Where the pictures of the frames come from. The viewer renders each frame
// as shown, overlays burned in; the command-line tool from the file alone.
// Both functions may be called from several threads at once, for different
// frames.
struct PictureSource {
    int frameCount = 0;
    // The export picture of a frame at its own size.
    std::function<Result<Picture>(int frame)> picture;
    // The frame's display bitmap as the image holds it (BMP files and RTF
    // pictures start from it, not from the export picture).
    std::function<Result<imaging::DisplayBitmap>(int frame)> bitmap;
};

// One export: which frames, at what size, how resampled, how compressed.
struct ExportRequest {
    ExportFormat format = ExportFormat::Tiff;
    std::vector<int> frames;      // 0-based, in output order
    std::int32_t width = 0;       // 0: each picture's own size
    std::int32_t height = 0;
    Scaling scaling = Scaling::Nearest;
    int quality = 75;             // JPEG pictures, 0..100
    bool anonymizedHeader = true; // header texts of HTML and RTF
};

// Long exports report each finished step and stop early when asked. Both
// may be called from any thread; either may be empty.
struct Progress {
    std::function<void(int done)> advance;
    std::function<bool()> cancelled;

    bool isCancelled() const { return cancelled && cancelled(); }
};

} // namespace exporting
