#include "export/ImageWriters.h"

#include "codecs/JpegAdapter.h"
#include "imaging/Geometry.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace exporting {

namespace {

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint64_t kMaxShort = std::numeric_limits<std::uint16_t>::max();

Error invalid(const char* detail)
{
    return Error { ExportError::InvalidPicture, detail };
}

Error writeFailed()
{
    return Error { ExportError::WriteFailed, "the output could not be written" };
}

std::uint64_t pictureBytes(const Picture& picture)
{
    return static_cast<std::uint64_t>(picture.width) * static_cast<std::uint64_t>(picture.height)
        * static_cast<std::uint64_t>(picture.channels);
}

bool isValid(const Picture& picture)
{
    return picture.width > 0 && picture.height > 0 && (picture.channels == 1 || picture.channels == 3)
        && pictureBytes(picture) <= imaging::kMaxLevelBytes && picture.bytes.size() == pictureBytes(picture);
}

void putLe(std::vector<std::uint8_t>& out, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// TIFF 6.0 section 2: one directory entry, the value left-justified in its 4 bytes.
void putEntry(std::vector<std::uint8_t>& out, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
              std::uint32_t value)
{
    putLe(out, tag, 2);
    putLe(out, type, 2);
    putLe(out, count, 4);
    putLe(out, value, type == kShort && count == 1 ? 2 : 4);
    if (type == kShort && count == 1)
        putLe(out, 0, 2);
}

Result<void> put(std::ostream& out, std::span<const std::uint8_t> bytes)
{
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        return writeFailed();
    return {};
}

imaging::Level8 levelOf(const Picture& picture)
{
    imaging::Level8 level;
    level.kind = picture.channels == 3 ? imaging::SampleKind::Rgb : imaging::SampleKind::Grey;
    level.width = picture.width;
    level.height = picture.height;
    level.max = 255;
    level.pixels = picture.bytes;
    return level;
}

Result<imaging::Level8> resampleLevel(const imaging::Level8& level, std::int32_t width, std::int32_t height,
                                      Scaling scaling)
{
    auto resized = scaling == Scaling::Bilinear ? imaging::resampleBilinear(level, width, height)
                                                : imaging::resampleNearest(level, width, height);
    if (!resized) {
        if (resized.error().code == imaging::ImagingError::MemoryAllocation)
            return Error { ExportError::OutOfMemory, "not enough memory to resize the picture" };
        return invalid("the picture cannot be resized to that size");
    }
    return std::move(*resized);
}

} // namespace

Result<void> writeTiff(const Picture& picture, std::ostream& out)
{
    if (!isValid(picture))
        return invalid("not a grey or RGB picture");
    const bool colour = picture.channels == 3;
    const std::uint32_t entries = colour ? 14 : 13;
    const std::uint32_t afterDirectory = 14 + 12 * entries;
    const std::uint32_t stripOffset = afterDirectory + (colour ? 6 : 0);
    const auto width = static_cast<std::uint32_t>(picture.width);
    const auto height = static_cast<std::uint32_t>(picture.height);
    // Readers take either type for the sizes; SHORT keeps the usual layout,
    // LONG the sizes past it.
    const std::uint16_t widthType = width > kMaxShort ? kLong : kShort;
    const std::uint16_t heightType = height > kMaxShort ? kLong : kShort;
    const auto capped = [](std::uint32_t v) { return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, kMaxShort)); };

    std::vector<std::uint8_t> head;
    head.reserve(stripOffset);
    head.insert(head.end(), { 'I', 'I' });
    putLe(head, 42, 2);
    putLe(head, 8, 4);
    putLe(head, entries, 2);
    putEntry(head, 254, kLong, 1, 0);
    putEntry(head, 256, widthType, 1, width);
    putEntry(head, 257, heightType, 1, height);
    if (colour)
        putEntry(head, 258, kShort, 3, afterDirectory);
    else
        putEntry(head, 258, kShort, 1, 8);
    putEntry(head, 259, kShort, 1, 1);
    putEntry(head, 262, kShort, 1, colour ? 2 : 1);
    // StripOffsets stays SHORT: the strip always starts at byte 170 or 188.
    putEntry(head, 273, kShort, 1, stripOffset);
    putEntry(head, 277, kShort, 1, static_cast<std::uint32_t>(picture.channels));
    putEntry(head, 278, heightType, 1, height);
    putEntry(head, 279, kLong, 1, static_cast<std::uint32_t>(picture.bytes.size()));
    putEntry(head, 282, kShort, 1, capped(width));
    putEntry(head, 283, kShort, 1, capped(height));
    if (colour)
        putEntry(head, 284, kShort, 1, 1);
    putEntry(head, 296, kShort, 1, 1);
    putLe(head, 0, 4);
    if (colour) {
        for (int i = 0; i < 3; ++i)
            putLe(head, 8, 2);
    }
    if (auto written = put(out, head); !written)
        return written;
    return put(out, picture.bytes);
}

Result<void> writeRaw(const Picture& picture, std::ostream& out)
{
    if (!isValid(picture))
        return invalid("not a grey or RGB picture");
    return put(out, picture.bytes);
}

Result<void> writeJpeg(const Picture& picture, int quality, std::ostream& out)
{
    if (!isValid(picture))
        return invalid("not a grey or RGB picture");
    const auto colour = picture.channels == 3 ? codecs::PictureColour::Rgb : codecs::PictureColour::Grey;
    auto encoded = codecs::JpegAdapter::encode(picture.bytes, static_cast<std::uint32_t>(picture.width),
                                               static_cast<std::uint32_t>(picture.height), colour,
                                               std::clamp(quality, 0, 100));
    if (!encoded)
        return Error { ExportError::WriteFailed, encoded.error().detail };
    return put(out, *encoded);
}

Result<void> writeBmp(const imaging::DisplayBitmap& bitmap, std::ostream& out)
{
    if (bitmap.isNull() || bitmap.width() <= 0 || bitmap.height() <= 0)
        return invalid("no bitmap");
    // The packed block is the information header, the table and the rows as
    // held; the file header only says where the rows start.
    const std::uint64_t total = 14 + static_cast<std::uint64_t>(bitmap.byteSize());
    if (total > std::numeric_limits<std::uint32_t>::max())
        return invalid("the bitmap is too large for a BMP file");
    std::vector<std::uint8_t> head { 'B', 'M' };
    putLe(head, total, 4);
    putLe(head, 0, 4);
    putLe(head, 14 + bitmap.rowsOffset(), 4);
    if (auto written = put(out, head); !written)
        return written;
    return put(out, bitmap.bytes());
}

Result<Picture> resamplePicture(const Picture& picture, std::int32_t width, std::int32_t height, Scaling scaling)
{
    if (!isValid(picture) || width < 1 || height < 1)
        return invalid("a picture size must be at least 1 x 1");
    try {
        if (width == picture.width && height == picture.height)
            return Picture(picture);
        auto level = levelOf(picture);
        auto resized = resampleLevel(level, width, height, scaling);
        if (!resized)
            return resized.error();
        return Picture { width, height, picture.channels, std::move(resized->pixels) };
    } catch (const std::bad_alloc&) {
        return Error { ExportError::OutOfMemory, "not enough memory to resize the picture" };
    }
}

Result<imaging::DisplayBitmap> resampleBitmap(const imaging::DisplayBitmap& bitmap, std::int32_t width,
                                              std::int32_t height, Scaling scaling)
{
    if (bitmap.isNull() || width < 1 || height < 1)
        return invalid("a bitmap size must be at least 1 x 1");
    if (width == bitmap.width() && height == bitmap.height()) {
        auto copy = bitmap.clone();
        if (!copy)
            return Error { ExportError::OutOfMemory, "not enough memory to copy the bitmap" };
        return std::move(*copy);
    }
    try {
        // 8-bit indices are resampled as they are: in a grey table an index
        // between two others is a grey between them; in a colour table it is
        // an unrelated colour, so those are only picked, never blended.
        const int channels = bitmap.bitsPerPixel() == 8 ? 1 : 3;
        if (channels == 1 && !bitmap.colourTable().isGrey())
            scaling = Scaling::Nearest;
        Picture rows { bitmap.width(), bitmap.height(), channels, {} };
        const auto rowBytes = static_cast<std::size_t>(bitmap.width()) * static_cast<std::size_t>(channels);
        rows.bytes.resize(rowBytes * static_cast<std::size_t>(bitmap.height()));
        for (std::int32_t y = 0; y < bitmap.height(); ++y)
            std::memcpy(rows.bytes.data() + rowBytes * static_cast<std::size_t>(y), bitmap.imageRow(y), rowBytes);
        auto resized = resamplePicture(rows, width, height, scaling);
        if (!resized)
            return resized.error();
        auto made = imaging::DisplayBitmap::create(width, height, bitmap.bitsPerPixel());
        if (!made)
            return invalid("the bitmap cannot have that size");
        if (channels == 1)
            made->setColourTable(bitmap.colourTable());
        const auto newRow = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
        for (std::int32_t y = 0; y < height; ++y)
            std::memcpy(made->imageRow(y), resized->bytes.data() + newRow * static_cast<std::size_t>(y), newRow);
        return std::move(*made);
    } catch (const std::bad_alloc&) {
        return Error { ExportError::OutOfMemory, "not enough memory to resize the bitmap" };
    }
}

Result<imaging::DisplayBitmap> bitmapOf(const Picture& picture)
{
    if (!isValid(picture))
        return invalid("not a grey or RGB picture");
    auto made = imaging::DisplayBitmap::create(picture.width, picture.height, picture.channels == 3 ? 24 : 8);
    if (!made)
        return invalid("the bitmap cannot have that size");
    const auto rowBytes = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.channels);
    for (std::int32_t y = 0; y < picture.height; ++y) {
        const std::uint8_t* src = picture.bytes.data() + rowBytes * static_cast<std::size_t>(y);
        std::uint8_t* dst = made->imageRow(y);
        if (picture.channels == 1) {
            std::memcpy(dst, src, rowBytes);
            continue;
        }
        for (std::size_t x = 0; x < rowBytes; x += 3) {
            dst[x] = src[x + 2];
            dst[x + 1] = src[x + 1];
            dst[x + 2] = src[x];
        }
    }
    return std::move(*made);
}

} // namespace exporting
