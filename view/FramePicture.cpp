#include "view/FramePicture.h"

#include "imaging/DisplayBitmap.h"

#include <array>
#include <cstdint>

QImage framePicture(const imaging::DisplayBitmap& bitmap)
{
    const int bits = bitmap.bitsPerPixel();
    if (bitmap.isNull() || (bits != 8 && bits != 24))
        return {};
    const int width = bitmap.width();
    const int height = bitmap.height();
    // A level-window drag rebuilds this at every step: converting and then
    // flipping would walk the 4-byte picture twice.
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    if (bits == 8) {
        const auto table = bitmap.bytes().subspan(imaging::DisplayBitmap::kHeaderSize,
            imaging::DisplayBitmap::kColourTableSize);
        std::array<QRgb, 256> colours {};
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const std::uint8_t* entry = table.data() + 4 * i; // blue, green, red, 0
            colours[i] = qRgb(entry[2], entry[1], entry[0]);
        }
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* source = bitmap.imageRow(y);
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] = colours[source[x]];
        }
        return picture;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = bitmap.imageRow(y); // blue, green, red
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x, source += 3)
            line[x] = qRgb(source[2], source[1], source[0]);
    }
    return picture;
}
