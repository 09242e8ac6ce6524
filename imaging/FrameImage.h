#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Frame.h"
#include "imaging/ImagingError.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/Image.h"
#include "imaging/ImageLevel.h"
#include "imaging/WindowMapping.h"

namespace imaging {

// A normalised frame as the pixel-data decoders deliver it, with its size
// and the file's window. Its buffer becomes the image's first level as it is.
using FrameFormat = base::FrameFormat;
struct FrameInput {
    base::Frame frame;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    // 16-bit: the file's window, (0, 0) when none. 8-bit grey: the window of
    // the stored range as the reader normalised it, (128, 256) for 8 bits
    // stored or when (0, 0); colour frames always start at (128, 256).
    Window window;
    GivenWindow givenWindow = GivenWindow::Clamp; // 16-bit only
};

// Caller buffers of other pixel layouts (pictures from the clipboard, screen
// grabs); they always become RGB levels.
enum class PixelLayout : int { Grey8 = 1, Rgb555 = 2, Rgb24 = 3, Rgbx32 = 4 };
struct BufferLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    PixelLayout layout = PixelLayout::Rgb24;
};

// Pixels as exported files and the clipboard take them: top row first,
// 1 byte (grey) or 3 bytes (red, green, blue) per pixel, no padding.
struct PixelExport {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int channels = 0;
    std::vector<std::uint8_t> bytes;
};

struct PixelValue {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    SampleKind kind = SampleKind::Grey;
};

// The image object of one frame: an Image8 or an Image16 (or nothing when
// default-constructed), with the frame's source and the fill values of the
// geometry operations. Calls go to whichever image it holds.
class FrameImage {
public:
    static constexpr std::size_t kMaxSourceName = 515;

    FrameImage() = default;
    FrameImage(FrameImage&&) noexcept = default;
    FrameImage& operator=(FrameImage&&) noexcept = default;

    // The document's creation from a decoded frame, taking over its buffer.
    static Result<FrameImage> fromFrame(FrameInput&& input);
    // A packed 8- or 24-bit bitmap (another frame's display bitmap, the
    // clipboard): always an RGB level.
    static Result<FrameImage> fromPackedBitmap(std::span<const std::uint8_t> block);
    static Result<FrameImage> fromBuffer(std::span<const std::uint8_t> buffer, BufferLayout layout);
    static Result<FrameImage> fromSamples8(std::span<const std::uint8_t> samples, SampleKind kind,
                                                 std::int32_t width, std::int32_t height);
    // Takes over the buffer without copying it.
    static Result<FrameImage> adoptSamples8(std::vector<std::uint8_t>&& samples, SampleKind kind,
                                                  std::int32_t width, std::int32_t height);
    // A given window is kept as it is (batch conversion, HTML export).
    static Result<FrameImage> fromSamples16(std::span<const std::int16_t> samples, std::int32_t width,
                                                  std::int32_t height, Window window);
    // Takes over the buffer; a given window is clamped into the data.
    static Result<FrameImage> adoptSamples16(std::vector<std::int16_t>&& samples, std::int32_t width,
                                                   std::int32_t height, Window window);

    // 8, 16, or 0 without an image.
    int sampleDepth() const;
    Image8* image8() { return m_image8.get(); }
    const Image8* image8() const { return m_image8.get(); }
    Image16* image16() { return m_image16.get(); }
    const Image16* image16() const { return m_image16.get(); }

    std::int32_t width() const;
    std::int32_t height() const;
    SampleKind kind() const;
    std::int32_t max() const;
    std::int32_t min() const;
    Window window() const;
    Window asLoadedWindow() const;
    ImagingError lastError() const;
    const DisplayBitmap* displayBitmap() const;
    // Frees the display bitmap until displayBitmap() is next asked for, so
    // a long series holds bitmaps only for the frames that were shown.
    void releaseDisplayBitmap();
    Result<DisplayBitmap> copyDisplayBitmap() const;

    const std::string& sourceName() const { return m_sourceName; }
    void setSourceName(std::string_view name);
    std::int32_t sourceIndex() const { return m_sourceIndex; }
    void setSourceIndex(std::int32_t index) { m_sourceIndex = index; }
    std::uint32_t backgroundFill8() const { return m_backgroundFill8; }
    void setBackgroundFill8(std::uint32_t fill) { m_backgroundFill8 = fill; }
    std::int16_t backgroundFill16() const { return m_backgroundFill16; }
    void setBackgroundFill16(std::int16_t fill) { m_backgroundFill16 = fill; }

    // The display bitmap's pixels as files take them (grey tables give one
    // byte per pixel, other tables and 24-bit bitmaps three).
    Result<PixelExport> exportPixels() const;
    // The top level's sample at (x, y); none outside the image.
    std::optional<PixelValue> pixelValue(std::int32_t x, std::int32_t y) const;

    // Undoable colour conversions of an Image8 (false on an Image16).
    bool convertToGrey();
    bool convertToRgb();

    // Runs a pixel operation on whichever image is held: operation is called
    // with the top Level8 or Level16 and returns a Result of the same type.
    template<typename Operation>
    bool applyPixelOperation(Operation&& operation)
    {
        if (m_image8)
            return m_image8->applyPixelOperation(operation);
        if (m_image16)
            return m_image16->applyPixelOperation(operation);
        return false;
    }

    bool undo();
    bool redo();
    bool canUndo() const;
    bool canRedo() const;
    bool setWindow(Window window);
    bool rebuildDisplay();
    bool setPalette(int number, const PaletteTable& table);
    int paletteNumber() const;
    bool beginPreview();
    bool endPreview(PreviewEnd end);
    bool beginWindowChange();
    bool endWindowChange(WindowChangeEnd end);

    bool selectRectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    bool invertSelection();
    bool removeSelection();
    bool hasSelection() const;
    std::uint64_t selectionPixelCount() const;
    // Outline points at a zoom factor; empty without a selection or for a zoom <= 0.
    std::span<const OutlinePoint> selectionOutline(double scale) const;
    RegionBox selectionBox(double scale) const;
    bool isSelected(std::int32_t x, std::int32_t y) const;
    const RegionMask* region() const;
    Result<DisplayBitmap> copySelection() const;

private:
    friend struct FrameImageBuilder;

    template<typename Function, typename Fallback>
    auto visit(Function&& function, Fallback fallback) const;
    template<typename Function, typename Fallback>
    auto visitMutable(Function&& function, Fallback fallback);

    std::unique_ptr<Image8> m_image8;
    std::unique_ptr<Image16> m_image16;
    std::string m_sourceName;
    std::int32_t m_sourceIndex = -1;
    std::uint32_t m_backgroundFill8 = 0;
    std::int16_t m_backgroundFill16 = 0;
};

// A display bitmap's pixels as files take them, as FrameImage::exportPixels.
Result<PixelExport> exportPixelsOf(const DisplayBitmap& bitmap);

} // namespace imaging
