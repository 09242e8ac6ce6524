#include "imaging/FrameImage.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace imaging {
namespace {

// width x height x bytesPerPixel, or 0 when a side is not positive or the
// size passes the per-level cap.
std::uint64_t checkedSize(std::int32_t width, std::int32_t height, std::uint64_t bytesPerPixel)
{
    if (width <= 0 || height <= 0)
        return 0;
    const std::uint64_t size = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * bytesPerPixel;
    return size > kMaxLevelBytes ? 0 : size;
}

// The window under which 8-bit samples show unchanged.
constexpr Window kIdentity8{128, 256};

Level8 newLevel8(SampleKind kind, std::int32_t width, std::int32_t height, Window window = kIdentity8)
{
    Level8 level;
    level.kind = kind;
    level.width = width;
    level.height = height;
    level.max = 255;
    level.min = 0;
    level.window = window;
    return level;
}

} // namespace

// Friend-free construction: the creations fill a FrameImage through these.
struct FrameImageBuilder {
    static Result<FrameImage> make8(Level8&& level)
    {
        auto image = Image8::create(std::move(level));
        if (!image)
            return image.error();
        FrameImage frame;
        frame.m_image8 = std::move(image).value();
        return frame;
    }
    static Result<FrameImage> make16(Level16&& level)
    {
        const std::int16_t fill = static_cast<std::int16_t>(level.min);
        auto image = Image16::create(std::move(level));
        if (!image)
            return image.error();
        FrameImage frame;
        frame.m_image16 = std::move(image).value();
        frame.m_backgroundFill16 = fill;
        return frame;
    }
};

namespace {

Result<FrameImage> wrap8(Level8&& level)
{
    return FrameImageBuilder::make8(std::move(level));
}

Result<FrameImage> adopt8(std::vector<std::uint8_t>&& samples, SampleKind kind, std::int32_t width,
                          std::int32_t height, Window window)
{
    if (kind != SampleKind::Grey && kind != SampleKind::Rgb)
        return makeError(ImagingError::InvalidParameters);
    const std::uint64_t size = checkedSize(width, height, kind == SampleKind::Rgb ? 3 : 1);
    if (size == 0 || samples.size() < size)
        return makeError(ImagingError::InvalidParameters);
    Level8 level = newLevel8(kind, width, height, window);
    level.pixels = std::move(samples);
    level.pixels.resize(static_cast<std::size_t>(size)); // shrinking never allocates
    return wrap8(std::move(level));
}

Result<FrameImage> wrap16(Level16&& level, Window given, GivenWindow rule)
{
    const SampleRange range = scanSamples16(level.pixels);
    level.kind = SampleKind::Grey;
    level.max = range.max;
    level.min = range.min;
    level.isSigned = range.isSigned;
    level.window = initialWindow16(range, given, rule);
    return FrameImageBuilder::make16(std::move(level));
}

} // namespace

Result<FrameImage> FrameImage::fromFrame(FrameInput&& input)
{
    base::Frame& frame = input.frame;
    try {
        switch (frame.format) {
        case FrameFormat::Grey8: {
            // The reader's window of the stored range: 7-bit samples would
            // otherwise show at half brightness.
            const Window start = input.window.isRamp() ? kIdentity8 : clampWindow(input.window, 0, 255);
            return adopt8(std::move(frame.bytes), SampleKind::Grey, input.columns, input.rows, start);
        }
        case FrameFormat::Rgb8:
            return adoptSamples8(std::move(frame.bytes), SampleKind::Rgb, input.columns, input.rows);
        case FrameFormat::Grey16: {
            const std::uint64_t size = checkedSize(input.columns, input.rows, 2);
            if (size == 0 || frame.samples.size() < size / 2)
                return makeError(ImagingError::InvalidParameters);
            Level16 level;
            level.width = input.columns;
            level.height = input.rows;
            level.pixels = std::move(frame.samples);
            level.pixels.resize(static_cast<std::size_t>(size / 2)); // shrinking never allocates
            return wrap16(std::move(level), input.window, input.givenWindow);
        }
        }
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
    return makeError(ImagingError::InvalidParameters);
}

Result<FrameImage> FrameImage::fromPackedBitmap(std::span<const std::uint8_t> block)
{
    auto view = readPackedBitmap(block);
    if (!view)
        return view.error();
    if (checkedSize(view->width, view->height, 3) == 0)
        return makeError(ImagingError::InvalidBitmapFormat);
    try {
        Level8 level = newLevel8(SampleKind::Rgb, view->width, view->height);
        level.pixels.resize(static_cast<std::size_t>(level.sampleCount()));
        const std::size_t tableEntries = view->colourTable.size() / 4;
        const auto width = static_cast<std::size_t>(view->width);
        for (std::int32_t y = 0; y < view->height; ++y) {
            const std::uint8_t* src = view->imageRow(y).data();
            std::uint8_t* dst = level.pixels.data() + static_cast<std::size_t>(y) * width * 3;
            for (std::size_t x = 0; x < width; ++x) {
                if (view->bitsPerPixel == 24) {
                    dst[3 * x] = src[3 * x + 2];
                    dst[3 * x + 1] = src[3 * x + 1];
                    dst[3 * x + 2] = src[3 * x];
                } else {
                    // Indices past a short table take its last colour.
                    const std::size_t index = std::min<std::size_t>(src[x], tableEntries - 1);
                    const std::uint8_t* entry = view->colourTable.data() + 4 * index;
                    dst[3 * x] = entry[2];
                    dst[3 * x + 1] = entry[1];
                    dst[3 * x + 2] = entry[0];
                }
            }
        }
        return wrap8(std::move(level));
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

Result<FrameImage> FrameImage::fromBuffer(std::span<const std::uint8_t> buffer, BufferLayout layout)
{
    std::uint64_t bytesPerPixel = 0;
    switch (layout.layout) {
    case PixelLayout::Grey8: bytesPerPixel = 1; break;
    case PixelLayout::Rgb555: bytesPerPixel = 2; break;
    case PixelLayout::Rgb24: bytesPerPixel = 3; break;
    case PixelLayout::Rgbx32: bytesPerPixel = 4; break;
    }
    const std::uint64_t size = checkedSize(layout.width, layout.height, bytesPerPixel);
    if (bytesPerPixel == 0 || size == 0 || checkedSize(layout.width, layout.height, 3) == 0 || buffer.size() < size)
        return makeError(ImagingError::InvalidParameters);
    try {
        Level8 level = newLevel8(SampleKind::Rgb, layout.width, layout.height);
        level.pixels.resize(static_cast<std::size_t>(level.sampleCount()));
        const std::size_t pixels = static_cast<std::size_t>(size / bytesPerPixel);
        std::uint8_t* dst = level.pixels.data();
        const std::uint8_t* src = buffer.data();
        for (std::size_t i = 0; i < pixels; ++i, dst += 3, src += bytesPerPixel) {
            switch (layout.layout) {
            case PixelLayout::Grey8:
                dst[0] = dst[1] = dst[2] = src[0];
                break;
            case PixelLayout::Rgb555: {
                // Little-endian 16 bits: blue 0-4, green 5-9, red 10-14.
                const unsigned v = static_cast<unsigned>(src[0]) | (static_cast<unsigned>(src[1]) << 8);
                dst[0] = static_cast<std::uint8_t>(((v >> 10) & 0x1F) << 3);
                dst[1] = static_cast<std::uint8_t>(((v >> 5) & 0x1F) << 3);
                dst[2] = static_cast<std::uint8_t>((v & 0x1F) << 3);
                break;
            }
            case PixelLayout::Rgb24:
            case PixelLayout::Rgbx32:
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                break;
            }
        }
        return wrap8(std::move(level));
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

Result<FrameImage> FrameImage::fromSamples8(std::span<const std::uint8_t> samples, SampleKind kind,
                                                  std::int32_t width, std::int32_t height)
{
    const std::uint64_t size = checkedSize(width, height, kind == SampleKind::Rgb ? 3 : 1);
    if (size == 0 || samples.size() < size)
        return makeError(ImagingError::InvalidParameters);
    try {
        return adoptSamples8(std::vector<std::uint8_t>(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(size)),
                             kind, width, height);
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

Result<FrameImage> FrameImage::adoptSamples8(std::vector<std::uint8_t>&& samples, SampleKind kind,
                                                   std::int32_t width, std::int32_t height)
{
    return adopt8(std::move(samples), kind, width, height, kIdentity8);
}

Result<FrameImage> FrameImage::fromSamples16(std::span<const std::int16_t> samples, std::int32_t width,
                                                   std::int32_t height, Window window)
{
    const std::uint64_t size = checkedSize(width, height, 2);
    if (size == 0 || samples.size() < size / 2)
        return makeError(ImagingError::InvalidParameters);
    try {
        Level16 level;
        level.width = width;
        level.height = height;
        level.pixels.assign(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(size / 2));
        return wrap16(std::move(level), window, GivenWindow::Keep);
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

Result<FrameImage> FrameImage::adoptSamples16(std::vector<std::int16_t>&& samples, std::int32_t width,
                                                    std::int32_t height, Window window)
{
    const std::uint64_t size = checkedSize(width, height, 2);
    if (size == 0 || samples.size() < size / 2)
        return makeError(ImagingError::InvalidParameters);
    Level16 level;
    level.width = width;
    level.height = height;
    level.pixels = std::move(samples);
    level.pixels.resize(static_cast<std::size_t>(size / 2));
    return wrap16(std::move(level), window, GivenWindow::Clamp);
}

void FrameImage::setSourceName(std::string_view name)
{
    m_sourceName.assign(name.substr(0, kMaxSourceName));
}

} // namespace imaging
