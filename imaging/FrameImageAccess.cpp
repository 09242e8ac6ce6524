#include "imaging/FrameImage.h"

#include <algorithm>
#include <new>

namespace imaging {

template<typename Function, typename Fallback>
auto FrameImage::visit(Function&& function, Fallback fallback) const
{
    if (m_image8)
        return function(*m_image8);
    if (m_image16)
        return function(*m_image16);
    return fallback;
}

template<typename Function, typename Fallback>
auto FrameImage::visitMutable(Function&& function, Fallback fallback)
{
    if (m_image8)
        return function(*m_image8);
    if (m_image16)
        return function(*m_image16);
    return fallback;
}

int FrameImage::sampleDepth() const
{
    return m_image8 ? 8 : m_image16 ? 16 : 0;
}

std::int32_t FrameImage::width() const
{
    return visit([](const auto& image) { return image.topLevel().width; }, 0);
}

std::int32_t FrameImage::height() const
{
    return visit([](const auto& image) { return image.topLevel().height; }, 0);
}

SampleKind FrameImage::kind() const
{
    return visit([](const auto& image) { return image.topLevel().kind; }, SampleKind::Grey);
}

std::int32_t FrameImage::max() const
{
    return visit([](const auto& image) { return image.topLevel().max; }, 0);
}

std::int32_t FrameImage::min() const
{
    return visit([](const auto& image) { return image.topLevel().min; }, 0);
}

Window FrameImage::window() const
{
    return visit([](const auto& image) { return image.topLevel().window; }, Window{});
}

Window FrameImage::asLoadedWindow() const
{
    return visit([](const auto& image) { return image.asLoadedWindow(); }, Window{});
}

ImagingError FrameImage::lastError() const
{
    return visit([](const auto& image) { return image.lastError(); }, ImagingError::None);
}

void FrameImage::releaseDisplayBitmap()
{
    if (m_image8)
        m_image8->releaseDisplay();
    if (m_image16)
        m_image16->releaseDisplay();
}

const DisplayBitmap* FrameImage::displayBitmap() const
{
    return visit([](const auto& image) { return image.displayBitmap(); }, static_cast<const DisplayBitmap*>(nullptr));
}

Result<DisplayBitmap> FrameImage::copyDisplayBitmap() const
{
    return visit([](const auto& image) { return image.copyDisplay(); },
                 Result<DisplayBitmap>(makeError(ImagingError::InvalidParameters)));
}

Result<PixelExport> FrameImage::exportPixels() const
{
    const DisplayBitmap* bitmap = displayBitmap();
    if (!bitmap)
        return makeError(ImagingError::InvalidParameters);
    return exportPixelsOf(*bitmap);
}

Result<PixelExport> exportPixelsOf(const DisplayBitmap& source)
{
    const DisplayBitmap* bitmap = &source;
    try {
        PixelExport out;
        out.width = bitmap->width();
        out.height = bitmap->height();
        const PaletteTable table = bitmap->colourTable();
        const bool rgb = bitmap->bitsPerPixel() == 24;
        out.channels = rgb || !table.isGrey() ? 3 : 1;
        const auto width = static_cast<std::size_t>(out.width);
        out.bytes.resize(width * static_cast<std::size_t>(out.height) * static_cast<std::size_t>(out.channels));
        std::uint8_t* dst = out.bytes.data();
        for (std::int32_t y = 0; y < out.height; ++y) {
            const std::uint8_t* src = bitmap->imageRow(y);
            for (std::size_t x = 0; x < width; ++x) {
                if (rgb) {
                    *dst++ = src[3 * x + 2];
                    *dst++ = src[3 * x + 1];
                    *dst++ = src[3 * x];
                } else if (out.channels == 1) {
                    // A grey table that is not the identity still says what
                    // each index looks like.
                    *dst++ = table.entries[src[x]].red;
                } else {
                    const PaletteEntry& e = table.entries[src[x]];
                    *dst++ = e.red;
                    *dst++ = e.green;
                    *dst++ = e.blue;
                }
            }
        }
        return out;
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

std::optional<PixelValue> FrameImage::pixelValue(std::int32_t x, std::int32_t y) const
{
    return visit(
        [x, y](const auto& image) -> std::optional<PixelValue> {
            const auto& level = image.topLevel();
            if (x < 0 || y < 0 || x >= level.width || y >= level.height)
                return std::nullopt;
            const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(level.width)
                                    + static_cast<std::size_t>(x)) * static_cast<std::size_t>(level.channels());
            if (level.kind == SampleKind::Rgb)
                return PixelValue{level.pixels[at], level.pixels[at + 1], level.pixels[at + 2], level.kind};
            return PixelValue{level.pixels[at], level.pixels[at], level.pixels[at], level.kind};
        },
        std::optional<PixelValue>{});
}

bool FrameImage::convertToGrey()
{
    if (!m_image8)
        return false;
    if (m_image8->topLevel().kind != SampleKind::Rgb) {
        m_image8->applyPixelOperation(
            [](const Level8&) -> Result<Level8> { return makeError(ImagingError::NotAllowedInMonochrome); });
        return false;
    }
    return m_image8->applyPixelOperation([](const Level8& source) -> Result<Level8> {
        Level8 grey = source.withSize(source.width, source.height, SampleKind::Grey);
        const std::uint8_t* src = source.pixels.data();
        for (std::uint8_t& out : grey.pixels) {
            // ITU-R BT.601 luma weights, single precision.
            const float y = 0.299f * src[0] + 0.587f * src[1] + 0.114f * src[2] + 0.5f;
            out = static_cast<std::uint8_t>(std::clamp(static_cast<int>(y), 0, 255));
            src += 3;
        }
        return grey;
    });
}

bool FrameImage::convertToRgb()
{
    if (!m_image8)
        return false;
    if (m_image8->topLevel().kind != SampleKind::Grey) {
        m_image8->applyPixelOperation(
            [](const Level8&) -> Result<Level8> { return makeError(ImagingError::NotAllowedInColour); });
        return false;
    }
    return m_image8->applyPixelOperation([](const Level8& source) -> Result<Level8> {
        Level8 rgb = source.withSize(source.width, source.height, SampleKind::Rgb);
        std::uint8_t* dst = rgb.pixels.data();
        for (const std::uint8_t v : source.pixels) {
            dst[0] = dst[1] = dst[2] = v;
            dst += 3;
        }
        return rgb;
    });
}

bool FrameImage::undo()
{
    return visitMutable([](auto& image) { return image.undo(); }, false);
}

bool FrameImage::redo()
{
    return visitMutable([](auto& image) { return image.redo(); }, false);
}

bool FrameImage::canUndo() const
{
    return visit([](const auto& image) { return image.canUndo(); }, false);
}

bool FrameImage::canRedo() const
{
    return visit([](const auto& image) { return image.canRedo(); }, false);
}

bool FrameImage::setWindow(Window window)
{
    return visitMutable([window](auto& image) { return image.setWindow(window); }, false);
}

bool FrameImage::rebuildDisplay()
{
    return visitMutable([](auto& image) { return image.rebuildDisplay(); }, false);
}

bool FrameImage::setPalette(int number, const PaletteTable& table)
{
    return visitMutable([&](auto& image) { return image.setPalette(number, table); }, false);
}

int FrameImage::paletteNumber() const
{
    return visit([](const auto& image) { return image.palette().number; }, kGrayscalePalette);
}

bool FrameImage::beginPreview()
{
    return visitMutable([](auto& image) { return image.beginPreview(); }, false);
}

bool FrameImage::endPreview(PreviewEnd end)
{
    return visitMutable([end](auto& image) { return image.endPreview(end); }, false);
}

bool FrameImage::beginWindowChange()
{
    return visitMutable([](auto& image) { return image.beginWindowChange(); }, false);
}

bool FrameImage::endWindowChange(WindowChangeEnd end)
{
    return visitMutable([end](auto& image) { return image.endWindowChange(end); }, false);
}

bool FrameImage::selectRectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    return visitMutable([&](auto& image) { return image.selectRectangle(left, top, right, bottom); }, false);
}

bool FrameImage::invertSelection()
{
    return visitMutable([](auto& image) { return image.invertSelection(); }, false);
}

bool FrameImage::removeSelection()
{
    return visitMutable([](auto& image) { return image.removeSelection(); }, false);
}

const RegionMask* FrameImage::region() const
{
    return visit([](const auto& image) { return &image.region(); }, static_cast<const RegionMask*>(nullptr));
}

bool FrameImage::hasSelection() const
{
    const RegionMask* mask = region();
    return mask && mask->hasSelection();
}

std::uint64_t FrameImage::selectionPixelCount() const
{
    const RegionMask* mask = region();
    return mask ? mask->pixelCount() : 0;
}

std::span<const OutlinePoint> FrameImage::selectionOutline(double scale) const
{
    const RegionMask* mask = region();
    if (!mask)
        return {};
    try {
        return mask->outline(scale);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

RegionBox FrameImage::selectionBox(double scale) const
{
    const RegionMask* mask = region();
    if (!mask)
        return {};
    try {
        return mask->boxExclusive(scale);
    } catch (const std::bad_alloc&) {
        return mask->boxExclusive(1.0);
    }
}

bool FrameImage::isSelected(std::int32_t x, std::int32_t y) const
{
    const RegionMask* mask = region();
    return mask && mask->isSelected(x, y);
}

Result<DisplayBitmap> FrameImage::copySelection() const
{
    return visit([](const auto& image) { return image.copySelection(); },
                 Result<DisplayBitmap>(makeError(ImagingError::InvalidParameters)));
}

} // namespace imaging
