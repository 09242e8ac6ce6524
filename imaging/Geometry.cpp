#include "imaging/Geometry.h"

#include <algorithm>
#include <cmath>

#include "imaging/FrameImage.h"
#include "imaging/OperationSupport.h"

namespace imaging {
namespace {

using detail::guarded;
using detail::isUsableSize;

template<typename Sample>
using LevelResult = Result<ImageLevel<Sample>>;

// Builds a level of the given size in which every pixel is taken from
// source(x, y) of the old level; the pixel's channels move together.
template<typename Sample, typename SourceOf>
LevelResult<Sample> rearrange(const ImageLevel<Sample>& src, std::int32_t width, std::int32_t height,
                              SourceOf&& sourceOf)
{
    if (!src.isConsistent())
        return makeError(ImagingError::InvalidParameters);
    return guarded([&]() -> LevelResult<Sample> {
        ImageLevel<Sample> dst = src.withSize(width, height, src.kind);
        const int channels = src.channels();
        Sample* out = dst.pixels.data();
        for (std::int32_t y = 0; y < height; ++y) {
            for (std::int32_t x = 0; x < width; ++x) {
                const auto [sx, sy] = sourceOf(x, y);
                const Sample* in = src.pixels.data() + detail::pixelIndex(sx, sy, src.width) * channels;
                for (int c = 0; c < channels; ++c)
                    *out++ = in[c];
            }
        }
        return dst;
    });
}

struct Point {
    std::int32_t x;
    std::int32_t y;
};

// The fill as one pixel of the level's kind.
template<typename Sample>
void fillLevel(ImageLevel<Sample>& level, std::uint32_t fill)
{
    if constexpr (sizeof(Sample) == 2) {
        std::fill(level.pixels.begin(), level.pixels.end(), static_cast<Sample>(static_cast<std::uint16_t>(fill)));
    } else if (level.kind == SampleKind::Rgb) {
        for (std::size_t i = 0; i < level.pixels.size(); i += 3) {
            level.pixels[i] = static_cast<Sample>(fill & 0xFF);
            level.pixels[i + 1] = static_cast<Sample>((fill >> 8) & 0xFF);
            level.pixels[i + 2] = static_cast<Sample>((fill >> 16) & 0xFF);
        }
    } else {
        std::fill(level.pixels.begin(), level.pixels.end(), static_cast<Sample>(fill & 0xFF));
    }
}

// Offset of the old picture on the new canvas along one axis: 0, half or all
// of the size change (halving truncates toward zero).
std::int32_t anchorOffset(std::int32_t change, int position)
{
    return position == 0 ? 0 : position == 1 ? change / 2 : change;
}

} // namespace

template<typename Sample>
Result<ImageLevel<Sample>> crop(const ImageLevel<Sample>& level, std::int32_t left, std::int32_t top,
                                      std::int32_t right, std::int32_t bottom)
{
    if (left < 0 || top < 0 || right > level.width || bottom > level.height || left >= right || top >= bottom)
        return makeError(ImagingError::InvalidParameters);
    return rearrange(level, right - left, bottom - top,
                     [&](std::int32_t x, std::int32_t y) { return Point{left + x, top + y}; });
}

template<typename Sample>
Result<ImageLevel<Sample>> rotate180(const ImageLevel<Sample>& level)
{
    const std::int32_t w = level.width;
    const std::int32_t h = level.height;
    return rearrange(level, w, h, [&](std::int32_t x, std::int32_t y) { return Point{w - 1 - x, h - 1 - y}; });
}

template<typename Sample>
Result<ImageLevel<Sample>> rotate90Clockwise(const ImageLevel<Sample>& level)
{
    const std::int32_t h = level.height;
    return rearrange(level, h, level.width, [&](std::int32_t x, std::int32_t y) { return Point{y, h - 1 - x}; });
}

template<typename Sample>
Result<ImageLevel<Sample>> rotate90CounterClockwise(const ImageLevel<Sample>& level)
{
    const std::int32_t w = level.width;
    return rearrange(level, level.height, w, [&](std::int32_t x, std::int32_t y) { return Point{w - 1 - y, x}; });
}

template<typename Sample>
Result<ImageLevel<Sample>> flipHorizontal(const ImageLevel<Sample>& level)
{
    const std::int32_t w = level.width;
    return rearrange(level, w, level.height, [&](std::int32_t x, std::int32_t y) { return Point{w - 1 - x, y}; });
}

template<typename Sample>
Result<ImageLevel<Sample>> flipVertical(const ImageLevel<Sample>& level)
{
    const std::int32_t h = level.height;
    return rearrange(level, level.width, h, [&](std::int32_t x, std::int32_t y) { return Point{x, h - 1 - y}; });
}

template<typename Sample>
Result<ImageLevel<Sample>> resampleNearest(const ImageLevel<Sample>& level, std::int32_t newWidth,
                                                 std::int32_t newHeight)
{
    if (!isUsableSize(newWidth, newHeight, level.channels(), sizeof(Sample)))
        return makeError(ImagingError::InvalidParameters);
    const double fx = static_cast<double>(level.width) / newWidth;
    const double fy = static_cast<double>(level.height) / newHeight;
    // fx * x can round up to the old size itself; the last row and column stand in.
    const std::int32_t lastX = level.width - 1;
    const std::int32_t lastY = level.height - 1;
    return rearrange(level, newWidth, newHeight, [&](std::int32_t x, std::int32_t y) {
        return Point{std::min(static_cast<std::int32_t>(fx * x), lastX),
                     std::min(static_cast<std::int32_t>(fy * y), lastY)};
    });
}

template<typename Sample>
Result<ImageLevel<Sample>> resampleBilinear(const ImageLevel<Sample>& level, std::int32_t newWidth,
                                                  std::int32_t newHeight)
{
    if (!level.isConsistent() || !isUsableSize(newWidth, newHeight, level.channels(), sizeof(Sample)))
        return makeError(ImagingError::InvalidParameters);
    return guarded([&]() -> LevelResult<Sample> {
        ImageLevel<Sample> dst = level.withSize(newWidth, newHeight, level.kind);
        const double fx = static_cast<double>(level.width) / newWidth;
        const double fy = static_cast<double>(level.height) / newHeight;
        const auto range = detail::resultRange(level);
        const std::int64_t low = range.first;
        const std::int64_t high = range.second;
        const int channels = level.channels();
        const std::size_t rowSamples = static_cast<std::size_t>(level.width) * channels;

        // Column positions and weights are the same for every row.
        std::vector<std::size_t> x0s(static_cast<std::size_t>(newWidth));
        std::vector<std::size_t> x1s(x0s.size());
        std::vector<double> wxs(x0s.size());
        for (std::int32_t x = 0; x < newWidth; ++x) {
            const double sx = fx * x;
            const std::int32_t x0 = std::min(static_cast<std::int32_t>(sx), level.width - 1);
            const std::int32_t x1 = x0 + 1 >= level.width ? level.width - 1 : x0 + 1;
            x0s[x] = static_cast<std::size_t>(x0) * channels;
            x1s[x] = static_cast<std::size_t>(x1) * channels;
            wxs[x] = sx - x0;
        }
        Sample* out = dst.pixels.data();
        for (std::int32_t y = 0; y < newHeight; ++y) {
            const double sy = fy * y;
            const std::int32_t y0 = std::min(static_cast<std::int32_t>(sy), level.height - 1);
            const std::int32_t y1 = y0 + 1 >= level.height ? level.height - 1 : y0 + 1;
            const double wy = sy - y0;
            const Sample* row0 = level.pixels.data() + static_cast<std::size_t>(y0) * rowSamples;
            const Sample* row1 = level.pixels.data() + static_cast<std::size_t>(y1) * rowSamples;
            for (std::int32_t x = 0; x < newWidth; ++x) {
                const double wx = wxs[x];
                for (int c = 0; c < channels; ++c) {
                    const double v = (1 - wx) * (1 - wy) * row0[x0s[x] + c] + wx * (1 - wy) * row0[x1s[x] + c]
                        + (1 - wx) * wy * row1[x0s[x] + c] + wx * wy * row1[x1s[x] + c];
                    *out++ = static_cast<Sample>(detail::truncClamped(v, low, high));
                }
            }
        }
        return dst;
    });
}

template<typename Sample>
Result<ImageLevel<Sample>> resizeCanvas(const ImageLevel<Sample>& level, std::int32_t newWidth,
                                              std::int32_t newHeight, int anchor, std::uint32_t fill)
{
    if (anchor < 0 || anchor >= kCanvasAnchorCount || !level.isConsistent()
        || !isUsableSize(newWidth, newHeight, level.channels(), sizeof(Sample)))
        return makeError(ImagingError::InvalidParameters);
    return guarded([&]() -> LevelResult<Sample> {
        ImageLevel<Sample> dst = level.withSize(newWidth, newHeight, level.kind);
        fillLevel(dst, fill);
        const std::int32_t dx = anchorOffset(newWidth - level.width, anchor % 3);
        const std::int32_t dy = anchorOffset(newHeight - level.height, anchor / 3);
        // A negative offset enters the old picture instead of the new canvas.
        const std::int32_t srcX = std::max(-dx, 0);
        const std::int32_t srcY = std::max(-dy, 0);
        const std::int32_t dstX = std::max(dx, 0);
        const std::int32_t dstY = std::max(dy, 0);
        const std::int32_t columns = std::min(newWidth, level.width);
        const std::int32_t rows = std::min(newHeight, level.height);
        const int channels = level.channels();
        const auto rowSamples = static_cast<std::size_t>(columns) * channels;
        for (std::int32_t y = 0; y < rows; ++y) {
            const Sample* in = level.pixels.data() + detail::pixelIndex(srcX, srcY + y, level.width) * channels;
            Sample* out = dst.pixels.data() + detail::pixelIndex(dstX, dstY + y, newWidth) * channels;
            std::copy_n(in, rowSamples, out);
        }
        return dst;
    });
}

template<typename Sample>
Result<ImageLevel<Sample>> thumbnail(const ImageLevel<Sample>& level, std::int32_t side, std::uint32_t fill)
{
    if (!level.isConsistent() || !isUsableSize(side, side, level.channels(), sizeof(Sample)))
        return makeError(ImagingError::InvalidParameters);
    const std::int64_t longer = std::max(level.width, level.height);
    // A long thin picture keeps at least one row or column.
    const auto scaledWidth = static_cast<std::int32_t>(std::max<std::int64_t>(1, std::int64_t{level.width} * side / longer));
    const auto scaledHeight
        = static_cast<std::int32_t>(std::max<std::int64_t>(1, std::int64_t{level.height} * side / longer));
    auto scaled = resampleNearest(level, scaledWidth, scaledHeight);
    if (!scaled)
        return scaled;
    return resizeCanvas(*scaled, side, side, 4, fill);
}

template Result<ImageLevel<std::uint8_t>> crop(const ImageLevel<std::uint8_t>&, std::int32_t, std::int32_t, std::int32_t,
                                                    std::int32_t);
template Result<ImageLevel<std::uint8_t>> rotate180(const ImageLevel<std::uint8_t>&);
template Result<ImageLevel<std::uint8_t>> rotate90Clockwise(const ImageLevel<std::uint8_t>&);
template Result<ImageLevel<std::uint8_t>> rotate90CounterClockwise(const ImageLevel<std::uint8_t>&);
template Result<ImageLevel<std::uint8_t>> flipHorizontal(const ImageLevel<std::uint8_t>&);
template Result<ImageLevel<std::uint8_t>> flipVertical(const ImageLevel<std::uint8_t>&);
template Result<ImageLevel<std::uint8_t>> resampleNearest(const ImageLevel<std::uint8_t>&, std::int32_t, std::int32_t);
template Result<ImageLevel<std::uint8_t>> resampleBilinear(const ImageLevel<std::uint8_t>&, std::int32_t, std::int32_t);
template Result<ImageLevel<std::uint8_t>> resizeCanvas(const ImageLevel<std::uint8_t>&, std::int32_t, std::int32_t, int,
                                                            std::uint32_t);
template Result<ImageLevel<std::uint8_t>> thumbnail(const ImageLevel<std::uint8_t>&, std::int32_t, std::uint32_t);
template Result<ImageLevel<std::int16_t>> crop(const ImageLevel<std::int16_t>&, std::int32_t, std::int32_t, std::int32_t,
                                                    std::int32_t);
template Result<ImageLevel<std::int16_t>> rotate180(const ImageLevel<std::int16_t>&);
template Result<ImageLevel<std::int16_t>> rotate90Clockwise(const ImageLevel<std::int16_t>&);
template Result<ImageLevel<std::int16_t>> rotate90CounterClockwise(const ImageLevel<std::int16_t>&);
template Result<ImageLevel<std::int16_t>> flipHorizontal(const ImageLevel<std::int16_t>&);
template Result<ImageLevel<std::int16_t>> flipVertical(const ImageLevel<std::int16_t>&);
template Result<ImageLevel<std::int16_t>> resampleNearest(const ImageLevel<std::int16_t>&, std::int32_t, std::int32_t);
template Result<ImageLevel<std::int16_t>> resampleBilinear(const ImageLevel<std::int16_t>&, std::int32_t, std::int32_t);
template Result<ImageLevel<std::int16_t>> resizeCanvas(const ImageLevel<std::int16_t>&, std::int32_t, std::int32_t, int,
                                                            std::uint32_t);
template Result<ImageLevel<std::int16_t>> thumbnail(const ImageLevel<std::int16_t>&, std::int32_t, std::uint32_t);

// The image forms.

bool crop(FrameImage& frame, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    return frame.applyPixelOperation([&](const auto& level) { return crop(level, left, top, right, bottom); });
}

bool rotate180(FrameImage& frame)
{
    return frame.applyPixelOperation([](const auto& level) { return rotate180(level); });
}

bool rotate90Clockwise(FrameImage& frame)
{
    return frame.applyPixelOperation([](const auto& level) { return rotate90Clockwise(level); });
}

bool rotate90CounterClockwise(FrameImage& frame)
{
    return frame.applyPixelOperation([](const auto& level) { return rotate90CounterClockwise(level); });
}

bool flipHorizontal(FrameImage& frame)
{
    return frame.applyPixelOperation([](const auto& level) { return flipHorizontal(level); });
}

bool flipVertical(FrameImage& frame)
{
    return frame.applyPixelOperation([](const auto& level) { return flipVertical(level); });
}

bool resampleNearest(FrameImage& frame, std::int32_t newWidth, std::int32_t newHeight)
{
    return frame.applyPixelOperation([&](const auto& level) { return resampleNearest(level, newWidth, newHeight); });
}

bool resampleBilinear(FrameImage& frame, std::int32_t newWidth, std::int32_t newHeight)
{
    return frame.applyPixelOperation([&](const auto& level) { return resampleBilinear(level, newWidth, newHeight); });
}

bool rotateClockwise(FrameImage& frame, float angle, Interpolation method)
{
    const std::uint32_t fill = detail::fillOf(frame);
    return frame.applyPixelOperation(
        [&](const auto& level) { return rotate(level, angle, Turn::Clockwise, method, fill); });
}

bool rotateCounterClockwise(FrameImage& frame, float angle, Interpolation method)
{
    const std::uint32_t fill = detail::fillOf(frame);
    return frame.applyPixelOperation(
        [&](const auto& level) { return rotate(level, angle, Turn::CounterClockwise, method, fill); });
}

bool resizeCanvas(FrameImage& frame, std::int32_t newWidth, std::int32_t newHeight, int anchor)
{
    const std::uint32_t fill = detail::fillOf(frame);
    return frame.applyPixelOperation(
        [&](const auto& level) { return resizeCanvas(level, newWidth, newHeight, anchor, fill); });
}

} // namespace imaging
