#pragma once

// Windows BMP pictures (BITMAPINFOHEADER and its larger successors) read into
// the 8-bit R, G, B form of a colour frame.

#include "dicom/DicomError.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dicom {

struct BmpImage {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::vector<std::uint8_t> rgb; // rows x columns x (R, G, B), top row first
};

// Uncompressed 8-, 16- (5-5-5), 24- and 32-bit pictures. Errors: 4 when the
// file is not "BM", 8 for forms not read (12-byte core headers, other bit
// counts, compression, sizes beyond the frame cap), 2 when the file is shorter
// than its headers, palette or pixel rows say.
Result<BmpImage> readBmp(std::span<const std::uint8_t> file);

} // namespace dicom
