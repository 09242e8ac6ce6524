#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "imaging/ImagingError.h"
#include "imaging/PaletteTable.h"

namespace imaging {

// A packed device-independent bitmap (BITMAPINFOHEADER, optional 256-entry
// colour table of blue, green, red, 0, then the rows bottom row first) in one
// allocation, ready for exports, the clipboard and the movie writer.
//
// Painting needs no conversion: the block is 16-byte aligned and the rows start
// at offset 40 or 1064 with a stride that is a multiple of 4, so a view can wrap
// pixelRows() as an indexed 8-bit or a BGR 24-bit image of stride() bytes per
// line (first line = bottom row) and draw it mirrored vertically. Its colour
// table, read as little-endian 32-bit words, is 0x00RRGGBB.
class DisplayBitmap {
public:
    static constexpr std::size_t kHeaderSize = 40;
    static constexpr std::size_t kColourTableSize = 1024;

    DisplayBitmap() = default;
    DisplayBitmap(DisplayBitmap&&) noexcept = default;
    DisplayBitmap& operator=(DisplayBitmap&&) noexcept = default;
    DisplayBitmap(const DisplayBitmap&) = delete;
    DisplayBitmap& operator=(const DisplayBitmap&) = delete;

    // A bitmap with its header filled in, a grey colour table (8 bits) and
    // zero row padding; the pixels are left for the caller to write.
    // bitsPerPixel is 8 or 24. Fails on sizes past the 2^31 - 1 cap or when
    // memory runs out.
    static Result<DisplayBitmap> create(std::int32_t width, std::int32_t height, int bitsPerPixel);

    // Row length in bytes, padded to a multiple of 4.
    static std::uint64_t strideFor(std::int32_t width, int bitsPerPixel);

    Result<DisplayBitmap> clone() const;

    bool isNull() const { return m_size == 0; }
    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    std::size_t stride() const { return m_stride; }
    std::size_t rowsOffset() const { return m_bitsPerPixel == 8 ? kHeaderSize + kColourTableSize : kHeaderSize; }

    // The whole packed block.
    std::span<const std::uint8_t> bytes() const { return {m_data.get(), m_size}; }
    std::size_t byteSize() const { return m_size; }

    // All rows, bottom row first.
    std::span<const std::uint8_t> pixelRows() const;
    std::span<std::uint8_t> pixelRows();

    // Row y of the picture counted from the top (stored at height - 1 - y).
    std::uint8_t* imageRow(std::int32_t y);
    const std::uint8_t* imageRow(std::int32_t y) const;

    // The 8-bit form's table as a palette (red and blue back in their places);
    // a 24-bit bitmap answers the grey table.
    PaletteTable colourTable() const;
    // Rewrites the 8-bit form's table in place; no effect on a 24-bit bitmap.
    void setColourTable(const PaletteTable& palette);

private:
    std::unique_ptr<std::uint8_t[]> m_data;
    std::size_t m_size = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    int m_bitsPerPixel = 0;
    std::size_t m_stride = 0;
};

// A packed bitmap block from elsewhere (another frame, the clipboard), checked
// and described without copying.
struct PackedBitmapView {
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive here
    bool topDown = false;     // the header gave a negative height
    int bitsPerPixel = 0;     // 8 or 24
    std::span<const std::uint8_t> colourTable; // blue, green, red, 0; 1..256 entries for 8 bits
    std::span<const std::uint8_t> rows;
    std::size_t stride = 0;

    // Row y counted from the top of the picture.
    std::span<const std::uint8_t> imageRow(std::int32_t y) const;
};

// Checks header size 40, one plane, bit count 8 or 24, no compression and that
// the block holds the header, the table and every row. Errors: UnknownBitmapFormat
// for other bit counts or compressions, InvalidBitmapFormat for a malformed block.
Result<PackedBitmapView> readPackedBitmap(std::span<const std::uint8_t> block);

} // namespace imaging
