#pragma once

// Small pictures of a frame as shown, for file managers' previews.

#include "export/ExportTypes.h"
#include "imaging/DisplayBitmap.h"

#include <cstdint>

namespace exporting {

struct ThumbnailSize {
    std::int32_t width = 0;
    std::int32_t height = 0;

    friend bool operator==(const ThumbnailSize&, const ThumbnailSize&) = default;
};

// The size whose longer side is `longSide` with the picture's aspect ratio,
// each side at least 1; (0, 0) when a side or longSide is below 1.
ThumbnailSize thumbnailSize(std::int32_t width, std::int32_t height, std::int32_t longSide);

// The display bitmap as shown (its colour table applied) averaged down to
// `size`, each output pixel the mean of the source box it covers (one source
// pixel when enlarging). One channel when the bitmap's table is grey, else
// three. InvalidPicture for an empty bitmap or a size below 1.
Result<Picture> thumbnailPicture(const imaging::DisplayBitmap& bitmap, ThumbnailSize size);

} // namespace exporting
