// libFuzzer target: a small image built from the input (a packed bitmap, raw
// 8-bit or 16-bit samples, or a caller buffer), then a sequence of edits,
// selections, window and palette changes, previews, undo and redo chosen by the
// following bytes. Besides memory errors it traps when the undo bookkeeping
// goes astray: a frame whose bitmap or selection no longer matches its size,
// an undo or redo that is offered but fails, or an undo back to the start
// that does not give the original pixels and window.

#include "imaging/CustomPalette.h"
#include "imaging/FrameImage.h"
#include "imaging/Geometry.h"
#include "imaging/Intensity.h"
#include "imaging/Palettes.h"
#include "imaging/Statistics.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

namespace {

using namespace imaging;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::int32_t small() { return static_cast<std::int8_t>(byte()); } // -128..127
    std::int16_t word()
    {
        const auto low = byte();
        return static_cast<std::int16_t>(low | (byte() << 8));
    }
    std::span<const std::uint8_t> rest() const
    {
        return m_pos < m_size ? std::span<const std::uint8_t>(m_data + m_pos, m_size - m_pos)
                              : std::span<const std::uint8_t>();
    }
    std::vector<std::uint8_t> take(std::size_t count)
    {
        std::vector<std::uint8_t> out(count);
        for (auto& b : out)
            b = byte();
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void putU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A packed bitmap whose header is mostly sound (small sizes), or the raw
// bytes when the first choice says so, so that header checks get fuzzed too.
imaging::Result<FrameImage> packedBitmap(Input& in)
{
    if (in.byte() & 1)
        return FrameImage::fromPackedBitmap(in.rest());
    const std::int32_t width = 1 + in.byte() % 12;
    const std::int32_t height = 1 + in.byte() % 12;
    const int bits = (in.byte() & 1) ? 24 : 8;
    const std::uint32_t colours = in.byte() % 3 == 0 ? in.byte() * 3u : 0; // 0, short or past 256
    const std::uint32_t stride = static_cast<std::uint32_t>((width * bits / 8 + 3) & ~3);
    const std::uint32_t table = bits == 8 ? 4 * (colours == 0 || colours > 256 ? 256 : colours) : 0;
    const bool topDown = in.byte() & 1;
    std::vector<std::uint8_t> block(40 + table + stride * static_cast<std::uint32_t>(height));
    putU32(block, 0, 40);
    putU32(block, 4, static_cast<std::uint32_t>(width));
    putU32(block, 8, static_cast<std::uint32_t>(topDown ? -height : height));
    block[12] = 1;
    block[14] = static_cast<std::uint8_t>(bits);
    putU32(block, 32, colours);
    for (std::size_t i = 40; i < block.size(); ++i)
        block[i] = in.byte();
    return FrameImage::fromPackedBitmap(block);
}

imaging::Result<FrameImage> create(Input& in)
{
    const std::uint8_t mode = in.byte() % 5;
    if (mode == 0)
        return packedBitmap(in);
    const std::int32_t width = 1 + in.byte() % 12;
    const std::int32_t height = 1 + in.byte() % 12;
    const auto pixels = static_cast<std::size_t>(width * height);
    switch (mode) {
    case 1: {
        const SampleKind kind = (in.byte() & 1) ? SampleKind::Rgb : SampleKind::Grey;
        const auto samples = in.take(pixels * (kind == SampleKind::Rgb ? 3 : 1));
        return FrameImage::fromSamples8(samples, kind, width, height);
    }
    case 2: {
        const Window window{in.word(), in.word()};
        const bool adopt = in.byte() & 1;
        std::vector<std::int16_t> samples(pixels);
        for (auto& s : samples)
            s = in.word();
        if (adopt)
            return FrameImage::adoptSamples16(std::move(samples), width, height, window);
        return FrameImage::fromSamples16(samples, width, height, window);
    }
    case 3: {
        const auto layout = static_cast<PixelLayout>(1 + in.byte() % 4);
        const auto buffer = in.take(pixels * static_cast<std::size_t>(layout == PixelLayout::Rgb555 ? 2 : static_cast<int>(layout)));
        return FrameImage::fromBuffer(buffer, BufferLayout{width, height, layout});
    }
    default: {
        // Odd sizes outside the small range: zero, negative, past the cap.
        const std::int32_t w = in.small() * 300000;
        const std::int32_t h = in.small();
        return FrameImage::fromSamples8(in.rest(), SampleKind::Grey, w, h);
    }
    }
}

float angleOf(Input& in)
{
    switch (in.byte() % 8) {
    case 0: return 0.0f;
    case 1: return 90.0f;
    case 2: return 360.0f;
    case 3: return -static_cast<float>(in.byte());
    case 4: return std::numeric_limits<float>::quiet_NaN();
    case 5: return std::numeric_limits<float>::infinity();
    case 6: return static_cast<float>(in.byte()) / 256.0f;
    default: return static_cast<float>(in.byte() % 90) + 0.5f;
    }
}

void checkConsistent(const FrameImage& frame)
{
    const DisplayBitmap* bitmap = frame.displayBitmap();
    check(bitmap != nullptr);
    check(bitmap->width() == frame.width() && bitmap->height() == frame.height());
    check((bitmap->bitsPerPixel() == 24) == (frame.kind() == SampleKind::Rgb));
    const RegionMask* region = frame.region();
    check(region->width() == frame.width() && region->height() == frame.height());
    check(!region->hasSelection() || region->mask().size() == static_cast<std::size_t>(frame.width()) * frame.height());
}

template<typename Level>
bool samePixels(const Level& a, const Level& b)
{
    return a.width == b.width && a.height == b.height && a.kind == b.kind && a.pixels == b.pixels
        && a.window == b.window;
}

bool sameAsStart(const FrameImage& frame, const Level8* start8, const Level16* start16)
{
    if (start8)
        return samePixels(frame.image8()->topLevel(), *start8);
    return samePixels(frame.image16()->topLevel(), *start16);
}

void step(FrameImage& frame, Input& in, const CustomPaletteList& palettes)
{
    switch (in.byte() % 34) {
    case 0: crop(frame, in.small(), in.small(), in.small(), in.small()); break;
    case 1: rotate180(frame); break;
    case 2: rotate90Clockwise(frame); break;
    case 3: rotate90CounterClockwise(frame); break;
    case 4: flipHorizontal(frame); break;
    case 5: flipVertical(frame); break;
    case 6: resampleNearest(frame, in.small(), in.small()); break;
    case 7: resampleBilinear(frame, in.small(), in.small()); break;
    case 8: rotateClockwise(frame, angleOf(in), static_cast<Interpolation>(in.byte() % 4)); break;
    case 9: rotateCounterClockwise(frame, angleOf(in), static_cast<Interpolation>(in.byte() % 4)); break;
    case 10: resizeCanvas(frame, in.small(), in.small(), in.small() % 10); break;
    case 11: invert(frame); break;
    case 12: brightnessContrast(frame, in.word(), in.word()); break;
    case 13: threshold(frame, in.word(), in.word(), static_cast<ThresholdMode>(in.byte() % 5)); break;
    case 14: removeBurnedIn(frame); break;
    case 15: clearSelection(frame); break;
    case 16: frame.selectRectangle(in.small(), in.small(), in.small(), in.small()); break;
    case 17: frame.invertSelection(); break;
    case 18: frame.removeSelection(); break;
    case 19:
        frame.setWindow(Window{in.word(), in.word()});
        frame.rebuildDisplay();
        break;
    case 20: setPalette(frame, in.byte() % 14, palettes); break;
    case 21:
    case 22: frame.undo(); break;
    case 23: frame.redo(); break;
    case 24: frame.beginPreview(); break;
    case 25: frame.endPreview((in.byte() & 1) ? PreviewEnd::Restore : PreviewEnd::Discard); break;
    case 26: frame.beginWindowChange(); break;
    case 27: frame.endWindowChange((in.byte() & 1) ? WindowChangeEnd::Restore : WindowChangeEnd::Keep); break;
    case 28: frame.convertToGrey(); break;
    case 29: frame.convertToRgb(); break;
    case 30: {
        (void)histogram(frame);
        (void)channelHistogram(frame, static_cast<Channel>(in.byte() % 3));
        (void)mean(frame);
        (void)standardDeviation(frame);
        (void)frame.pixelValue(in.small(), in.small());
        break;
    }
    case 31: {
        const double scales[] = {1.0, 0.2, 0.5, 1.5, 2.0, 8.0, 0.0, -1.0};
        const double scale = scales[in.byte() % 8];
        for (const OutlinePoint& p : frame.selectionOutline(scale))
            check(p.x >= 0 && p.y >= 0);
        (void)frame.selectionBox(scale);
        break;
    }
    case 32: {
        auto copy = frame.copySelection();
        check(copy.has_value());
        auto pixels = frame.exportPixels();
        check(pixels.has_value());
        break;
    }
    default: {
        const std::int32_t side = in.small();
        const std::uint32_t fill = in.byte();
        if (frame.image8())
            (void)thumbnail(frame.image8()->topLevel(), side, fill);
        else
            (void)thumbnail(frame.image16()->topLevel(), side, fill);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    auto created = create(in);
    if (!created)
        return 0;
    FrameImage frame = std::move(created).value();
    checkConsistent(frame);
    std::unique_ptr<Level8> start8;
    std::unique_ptr<Level16> start16;
    if (frame.image8())
        start8 = std::make_unique<Level8>(frame.image8()->topLevel());
    else
        start16 = std::make_unique<Level16>(frame.image16()->topLevel());

    CustomPaletteList palettes;
    CustomPalette custom;
    custom.name = "Fuzz";
    custom.red[1] = 0x1FF;
    palettes.add(custom);

    for (int steps = 0; steps < 64 && !in.empty(); ++steps) {
        step(frame, in, palettes);
        checkConsistent(frame);
    }

    // Offered steps must work, and stepping all the way back gives the start.
    frame.endPreview(PreviewEnd::Discard);
    frame.endWindowChange(WindowChangeEnd::Keep);
    int guard = 0;
    while (frame.canUndo() && guard++ < 10000)
        check(frame.undo());
    check(sameAsStart(frame, start8.get(), start16.get()));
    while (frame.canRedo() && guard++ < 20000)
        check(frame.redo());
    checkConsistent(frame);
    return 0;
}
