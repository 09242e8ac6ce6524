#include "export/Thumbnail.h"

#include "imaging/FrameImage.h"

#include <algorithm>
#include <new>
#include <vector>

namespace exporting {

namespace {

// The source span [first, last) each output index averages: its share of
// the source, at least the one pixel it falls on when enlarging.
struct Box {
    std::int32_t first = 0;
    std::int32_t last = 0;
};

std::vector<Box> boxes(std::int32_t source, std::int32_t target)
{
    std::vector<Box> spans(static_cast<std::size_t>(target));
    for (std::int32_t i = 0; i < target; ++i) {
        const auto first = static_cast<std::int32_t>(static_cast<std::int64_t>(i) * source / target);
        const auto last = static_cast<std::int32_t>(static_cast<std::int64_t>(i + 1) * source / target);
        spans[static_cast<std::size_t>(i)] = { first, std::max(last, first + 1) };
    }
    return spans;
}

} // namespace

ThumbnailSize thumbnailSize(std::int32_t width, std::int32_t height, std::int32_t longSide)
{
    if (width < 1 || height < 1 || longSide < 1)
        return {};
    const bool wide = width >= height;
    const std::int64_t longer = wide ? width : height, shorter = wide ? height : width;
    // Rounded to the nearest pixel, never to nothing.
    const auto other = static_cast<std::int32_t>(std::max<std::int64_t>(1, (shorter * longSide * 2 + longer) / (longer * 2)));
    return wide ? ThumbnailSize { longSide, other } : ThumbnailSize { other, longSide };
}

Result<Picture> thumbnailPicture(const imaging::DisplayBitmap& bitmap, ThumbnailSize size)
{
    if (bitmap.isNull() || bitmap.width() < 1 || bitmap.height() < 1 || size.width < 1 || size.height < 1
        || (bitmap.bitsPerPixel() != 8 && bitmap.bitsPerPixel() != 24))
        return Error { ExportError::InvalidPicture, "no picture to reduce" };
    try {
        // The pixels as shown: the colour table applied, one channel when it is grey.
        auto shown = imaging::exportPixelsOf(bitmap);
        if (!shown)
            return Error { ExportError::InvalidPicture, "no picture to reduce" };
        const int channels = shown->channels;
        const auto columns = boxes(bitmap.width(), size.width);
        const auto rows = boxes(bitmap.height(), size.height);
        Picture out;
        out.width = size.width;
        out.height = size.height;
        out.channels = channels;
        out.bytes.resize(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height)
                         * static_cast<std::size_t>(channels));
        // Column sums of one band of source rows, then box sums across them:
        // each source pixel is read once, whatever the reduction.
        const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width()) * static_cast<std::size_t>(channels);
        std::vector<std::uint64_t> sums(rowBytes);
        std::uint8_t* target = out.bytes.data();
        for (std::int32_t y = 0; y < size.height; ++y) {
            std::fill(sums.begin(), sums.end(), std::uint64_t { 0 });
            const std::int32_t top = rows[static_cast<std::size_t>(y)].first, bottom = rows[static_cast<std::size_t>(y)].last;
            for (std::int32_t sy = top; sy < bottom; ++sy) {
                const std::uint8_t* row = shown->bytes.data() + static_cast<std::size_t>(sy) * rowBytes;
                for (std::size_t i = 0; i < rowBytes; ++i)
                    sums[i] += row[i];
            }
            const std::uint64_t boxRows = static_cast<std::uint64_t>(bottom - top);
            for (std::int32_t x = 0; x < size.width; ++x) {
                const std::size_t left = static_cast<std::size_t>(columns[static_cast<std::size_t>(x)].first);
                const std::size_t right = static_cast<std::size_t>(columns[static_cast<std::size_t>(x)].last);
                const std::uint64_t count = boxRows * (right - left);
                for (int c = 0; c < channels; ++c) {
                    std::uint64_t total = 0;
                    for (std::size_t sx = left; sx < right; ++sx)
                        total += sums[sx * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)];
                    *target++ = static_cast<std::uint8_t>((total + count / 2) / count);
                }
            }
        }
        return out;
    } catch (const std::bad_alloc&) {
        return Error { ExportError::OutOfMemory, "out of memory" };
    }
}

} // namespace exporting
