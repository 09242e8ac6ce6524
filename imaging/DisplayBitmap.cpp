#include "imaging/DisplayBitmap.h"

#include <cstring>
#include <new>

#include "imaging/ImagingError.h"

namespace imaging {
namespace {

void putU16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(std::uint8_t* at, std::uint32_t value)
{
    putU16(at, value & 0xFFFF);
    putU16(at + 2, value >> 16);
}

std::uint32_t getU16(const std::uint8_t* at)
{
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8);
}

std::uint32_t getU32(const std::uint8_t* at)
{
    return getU16(at) | (getU16(at + 2) << 16);
}

} // namespace

std::uint64_t DisplayBitmap::strideFor(std::int32_t width, int bitsPerPixel)
{
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width < 0 ? 0 : width)
        * static_cast<std::uint64_t>(bitsPerPixel / 8);
    return (rowBytes + 3) & ~std::uint64_t{3};
}

Result<DisplayBitmap> DisplayBitmap::create(std::int32_t width, std::int32_t height, int bitsPerPixel)
{
    if (width < 0 || height < 0 || (bitsPerPixel != 8 && bitsPerPixel != 24))
        return makeError(ImagingError::InvalidParameters);
    const std::uint64_t stride = strideFor(width, bitsPerPixel);
    const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(height);
    const std::uint64_t offset = bitsPerPixel == 8 ? kHeaderSize + kColourTableSize : kHeaderSize;
    if (imageSize > 0x7FFFFFFF - offset)
        return makeError(ImagingError::MemoryAllocation);

    DisplayBitmap bitmap;
    try {
        bitmap.m_data = std::make_unique_for_overwrite<std::uint8_t[]>(offset + imageSize);
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
    bitmap.m_size = static_cast<std::size_t>(offset + imageSize);
    bitmap.m_width = width;
    bitmap.m_height = height;
    bitmap.m_bitsPerPixel = bitsPerPixel;
    bitmap.m_stride = static_cast<std::size_t>(stride);

    // Rows are filled by their builders; the header, the table and the row
    // padding must still be defined bytes.
    std::memset(bitmap.m_data.get(), 0, static_cast<std::size_t>(offset));
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel / 8);
    if (rowBytes != stride) {
        for (std::int32_t y = 0; y < height; ++y)
            std::memset(bitmap.m_data.get() + offset + y * stride + rowBytes, 0, static_cast<std::size_t>(stride - rowBytes));
    }
    std::uint8_t* h = bitmap.m_data.get();
    putU32(h + 0, kHeaderSize);
    putU32(h + 4, static_cast<std::uint32_t>(width));
    putU32(h + 8, static_cast<std::uint32_t>(height)); // positive: bottom row first
    putU16(h + 12, 1);
    putU16(h + 14, static_cast<std::uint32_t>(bitsPerPixel));
    putU32(h + 16, 0);
    putU32(h + 20, static_cast<std::uint32_t>(imageSize));
    putU32(h + 24, 0);
    putU32(h + 28, 0);
    putU32(h + 32, bitsPerPixel == 8 ? 256 : 0);
    putU32(h + 36, bitsPerPixel == 8 ? 256 : 0);
    if (bitsPerPixel == 8)
        bitmap.setColourTable(PaletteTable::grayscale());
    return bitmap;
}

Result<DisplayBitmap> DisplayBitmap::clone() const
{
    DisplayBitmap copy;
    if (m_size == 0)
        return copy;
    try {
        copy.m_data = std::make_unique_for_overwrite<std::uint8_t[]>(m_size);
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
    std::memcpy(copy.m_data.get(), m_data.get(), m_size);
    copy.m_size = m_size;
    copy.m_width = m_width;
    copy.m_height = m_height;
    copy.m_bitsPerPixel = m_bitsPerPixel;
    copy.m_stride = m_stride;
    return copy;
}

std::span<const std::uint8_t> DisplayBitmap::pixelRows() const
{
    if (m_size == 0)
        return {};
    return {m_data.get() + rowsOffset(), m_size - rowsOffset()};
}

std::span<std::uint8_t> DisplayBitmap::pixelRows()
{
    if (m_size == 0)
        return {};
    return {m_data.get() + rowsOffset(), m_size - rowsOffset()};
}

std::uint8_t* DisplayBitmap::imageRow(std::int32_t y)
{
    return m_data.get() + rowsOffset() + static_cast<std::size_t>(m_height - 1 - y) * m_stride;
}

const std::uint8_t* DisplayBitmap::imageRow(std::int32_t y) const
{
    return m_data.get() + rowsOffset() + static_cast<std::size_t>(m_height - 1 - y) * m_stride;
}

PaletteTable DisplayBitmap::colourTable() const
{
    if (m_bitsPerPixel != 8)
        return PaletteTable::grayscale();
    PaletteTable palette;
    const std::uint8_t* table = m_data.get() + kHeaderSize;
    for (std::size_t i = 0; i < 256; ++i)
        palette.entries[i] = PaletteEntry{table[4 * i + 2], table[4 * i + 1], table[4 * i], 0};
    return palette;
}

void DisplayBitmap::setColourTable(const PaletteTable& palette)
{
    if (m_bitsPerPixel != 8)
        return;
    std::uint8_t* table = m_data.get() + kHeaderSize;
    for (std::size_t i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette.entries[i];
        table[4 * i] = e.blue;
        table[4 * i + 1] = e.green;
        table[4 * i + 2] = e.red;
        table[4 * i + 3] = 0;
    }
}

std::span<const std::uint8_t> PackedBitmapView::imageRow(std::int32_t y) const
{
    const std::int32_t stored = topDown ? y : height - 1 - y;
    return rows.subspan(static_cast<std::size_t>(stored) * stride, stride);
}

Result<PackedBitmapView> readPackedBitmap(std::span<const std::uint8_t> block)
{
    // BITMAPINFOHEADER: size, width, height, planes, bit count, compression,
    // image size, resolutions, colours used, colours important.
    if (block.size() < DisplayBitmap::kHeaderSize || getU32(block.data()) != DisplayBitmap::kHeaderSize)
        return makeError(ImagingError::InvalidBitmapFormat);
    const std::uint8_t* h = block.data();
    const auto width = static_cast<std::int32_t>(getU32(h + 4));
    const auto rawHeight = static_cast<std::int32_t>(getU32(h + 8));
    const std::uint32_t planes = getU16(h + 12);
    const int bits = static_cast<int>(getU16(h + 14));
    const std::uint32_t compression = getU32(h + 16);
    std::uint32_t coloursUsed = getU32(h + 32);

    if (bits != 8 && bits != 24)
        return makeError(ImagingError::UnknownBitmapFormat);
    if (compression != 0)
        return makeError(ImagingError::UnknownBitmapFormat);
    if (planes != 1 || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        return makeError(ImagingError::InvalidBitmapFormat);

    PackedBitmapView view;
    view.width = width;
    view.topDown = rawHeight < 0;
    view.height = rawHeight < 0 ? -rawHeight : rawHeight;
    view.bitsPerPixel = bits;
    std::uint64_t tableBytes = 0;
    if (bits == 8) {
        if (coloursUsed == 0 || coloursUsed > 256)
            coloursUsed = 256;
        tableBytes = 4ull * coloursUsed;
    }
    const std::uint64_t stride = DisplayBitmap::strideFor(width, bits);
    const std::uint64_t rowBytes = stride * static_cast<std::uint64_t>(view.height);
    const std::uint64_t needed = DisplayBitmap::kHeaderSize + tableBytes + rowBytes;
    if (needed > block.size())
        return makeError(ImagingError::InvalidBitmapFormat);
    view.stride = static_cast<std::size_t>(stride);
    view.colourTable = block.subspan(DisplayBitmap::kHeaderSize, static_cast<std::size_t>(tableBytes));
    view.rows = block.subspan(static_cast<std::size_t>(DisplayBitmap::kHeaderSize + tableBytes),
                              static_cast<std::size_t>(rowBytes));
    return view;
}

} // namespace imaging
