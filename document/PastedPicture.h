#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace document {

// A picture as a packed device-independent bitmap (BITMAPINFOHEADER, then
// for 8 bits a grey palette, then rows bottom-up padded to 4 bytes): grey
// pictures as 8 bits, every other kind as 24-bit RGB. Empty for a null
// picture or one too large to describe.
std::vector<std::uint8_t> packedBitmap(const QImage& picture);

} // namespace document
