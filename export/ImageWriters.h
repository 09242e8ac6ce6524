#pragma once

// The picture formats, each written to a stream: the caller owns the file
// (see OutputFile.h) so that every format is written atomically alike.

#include "export/ExportTypes.h"

#include <ostream>

namespace exporting {

// Little-endian, one uncompressed strip: 13 entries for grey, 14 for RGB
// with the three BitsPerSample values before the strip. InvalidPicture for
// a picture that is not 1 or 3 channels or whose buffer does not match.
Result<void> writeTiff(const Picture& picture, std::ostream& out);
// The pixel bytes alone, rows top to bottom.
Result<void> writeRaw(const Picture& picture, std::ostream& out);
// A baseline JPEG at quality 0..100 (clamped).
Result<void> writeJpeg(const Picture& picture, int quality, std::ostream& out);
// A BMP file: the 14-byte file header and the packed bitmap as it is held.
Result<void> writeBmp(const imaging::DisplayBitmap& bitmap, std::ostream& out);

// A picture at exactly width x height (each at least 1), nearest neighbour
// or bilinear; the same picture back when the size is already right.
Result<Picture> resamplePicture(const Picture& picture, std::int32_t width, std::int32_t height, Scaling scaling);
// The same for a display bitmap, keeping its depth and colour table.
Result<imaging::DisplayBitmap> resampleBitmap(const imaging::DisplayBitmap& bitmap, std::int32_t width,
                                              std::int32_t height, Scaling scaling);
// A packed bitmap (bottom-up, rows padded to 4 bytes, 8-bit with a grey
// table or 24-bit BGR) of a picture, for movies and RTF pictures.
Result<imaging::DisplayBitmap> bitmapOf(const Picture& picture);

} // namespace exporting
