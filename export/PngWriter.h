#pragma once

// PNG files of 8-bit grey or RGB pictures (ISO/IEC 15948): the signature,
// IHDR, one zlib-deflated IDAT and IEND, enough for thumbnails.

#include "export/ExportTypes.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace exporting {

// The whole PNG file of a picture of 1 or 3 channels; InvalidPicture for
// another channel count, a side of 0 or past 2^31 - 1, or a byte count that
// does not match the size.
Result<std::vector<std::uint8_t>> encodePng(const Picture& picture);

// The same written through a temporary name and renamed into place.
Result<void> writePng(const std::filesystem::path& path, const Picture& picture);

} // namespace exporting
