#include "document/PastedPicture.h"

#include <cstring>
#include <limits>

namespace document {

namespace {

constexpr std::size_t InfoHeaderSize = 40;

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value)
{
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

} // namespace

std::vector<std::uint8_t> packedBitmap(const QImage& picture)
{
    if (picture.isNull())
        return {};
    const bool grey = picture.isGrayscale();
    const QImage source = picture.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    const auto width = static_cast<std::uint64_t>(source.width());
    const auto height = static_cast<std::uint64_t>(source.height());
    const std::uint64_t samples = grey ? 1 : 3;
    const std::uint64_t stride = (width * samples + 3) / 4 * 4;
    const std::size_t paletteSize = grey ? 256 * 4 : 0;
    const std::uint64_t total = InfoHeaderSize + paletteSize + stride * height;
    if (source.isNull() || width > 65535 || height > 65535 || total > std::numeric_limits<std::uint32_t>::max())
        return {};
    std::vector<std::uint8_t> out(static_cast<std::size_t>(total), 0);
    put32(out, 0, InfoHeaderSize);
    put32(out, 4, static_cast<std::uint32_t>(width));
    put32(out, 8, static_cast<std::uint32_t>(height));
    put16(out, 12, 1);
    put16(out, 14, static_cast<std::uint16_t>(8 * samples));
    put32(out, 20, static_cast<std::uint32_t>(stride * height));
    if (grey) {
        for (std::size_t i = 0; i < 256; ++i)
            put32(out, InfoHeaderSize + 4 * i, static_cast<std::uint32_t>(i * 0x010101));
        put32(out, 32, 256);
    }
    std::uint8_t* pixels = out.data() + InfoHeaderSize + paletteSize;
    for (std::uint64_t y = 0; y < height; ++y) {
        const std::uint8_t* row = source.constScanLine(static_cast<int>(height - 1 - y));
        std::uint8_t* target = pixels + y * stride;
        if (grey) {
            std::memcpy(target, row, static_cast<std::size_t>(width));
            continue;
        }
        // Bitmap samples run blue, green, red.
        for (std::uint64_t x = 0; x < width; ++x) {
            target[3 * x] = row[3 * x + 2];
            target[3 * x + 1] = row[3 * x + 1];
            target[3 * x + 2] = row[3 * x];
        }
    }
    return out;
}

} // namespace document
