#pragma once

// A run of picture files: each frame of a request to its own file.

#include "export/ExportTypes.h"

#include <filesystem>
#include <span>

namespace exporting {

struct RunSummary {
    int written = 0;
    int failed = 0;
    bool cancelled = false;
    // The first failure, for the message.
    std::string firstError;
};

// Writes request.frames[i] to paths[i] in the request's format (TIFF, JPEG,
// BMP or raw), each atomically. Pictures are rendered on `workers` threads
// (0: one a core) and resized to the request's size when it is set; BMP
// files take source.bitmap. A failed frame is counted and the run goes on.
// No path may be one of `protectedPaths` (the document's own files): such
// an output counts as failed and nothing is written there.
RunSummary exportPictureFiles(const ExportRequest& request, const PictureSource& source,
                              std::span<const std::filesystem::path> paths,
                              std::span<const std::filesystem::path> protectedPaths, unsigned workers,
                              const Progress& progress);

} // namespace exporting
