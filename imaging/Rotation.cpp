// Rotation by an arbitrary angle with nearest, bilinear or cubic B-spline
// sampling onto a canvas that holds the whole turned picture.
#include <algorithm>
#include <array>
#include <cmath>

#include "imaging/FrameImage.h"
#include "imaging/Geometry.h"
#include "imaging/OperationSupport.h"

namespace imaging {
namespace {

// Single-precision 1/180 and pi as the angle has always been converted with;
// sizes and sample positions depend on the exact bits.
constexpr float kOneOver180 = 0.0055555557f;
constexpr float kPi = 3.14159f;

// The kernel is the cubic B-spline from truncated powers,
// (t+2)³₊ - 4(t+1)³₊ + 6t³₊ - 4(t-1)³₊ over 6, evaluated in that order.

template<typename Sample>
void fillPixel(Sample* out, int channels, std::uint32_t fill)
{
    if constexpr (sizeof(Sample) == 2) {
        out[0] = static_cast<Sample>(static_cast<std::uint16_t>(fill));
    } else {
        for (int c = 0; c < channels; ++c)
            out[c] = static_cast<Sample>((fill >> (8 * c)) & 0xFF);
    }
}

struct Geometry {
    double c = 0;
    double s = 0;
    Turn turn = Turn::Clockwise;
    std::int32_t srcWidth = 0;
    std::int32_t srcHeight = 0;

    // Position in the old picture that the new pixel (x, y) shows, with the
    // half-pixel offset that makes truncation round.
    void sourceOf(std::int32_t x, std::int32_t y, double& sx, double& sy) const
    {
        if (turn == Turn::Clockwise) {
            const double u = x - srcHeight * s;
            sy = c * y - s * u + 0.5;
            sx = c * u + s * y + 0.5;
        } else {
            const double u = y - srcWidth * s;
            sy = c * u + s * x + 0.5;
            sx = c * x - s * u + 0.5;
        }
    }
};

template<typename Sample>
void sampleBilinear(const ImageLevel<Sample>& src, double sx, double sy, Sample* out, std::int64_t low,
                    std::int64_t high)
{
    const int channels = src.channels();
    const auto x0 = static_cast<std::int32_t>(sx);
    const auto y0 = static_cast<std::int32_t>(sy);
    const std::int32_t x1 = x0 + 1 >= src.width ? src.width - 1 : x0 + 1;
    const std::int32_t y1 = y0 + 1 >= src.height ? src.height - 1 : y0 + 1;
    const double wx = sx - x0;
    const double wy = sy - y0;
    const Sample* p00 = src.pixels.data() + detail::pixelIndex(x0, y0, src.width) * channels;
    const Sample* p10 = src.pixels.data() + detail::pixelIndex(x1, y0, src.width) * channels;
    const Sample* p01 = src.pixels.data() + detail::pixelIndex(x0, y1, src.width) * channels;
    const Sample* p11 = src.pixels.data() + detail::pixelIndex(x1, y1, src.width) * channels;
    for (int c = 0; c < channels; ++c) {
        const double v = (1 - wx) * (1 - wy) * p00[c] + wx * (1 - wy) * p10[c] + (1 - wx) * wy * p01[c]
            + wx * wy * p11[c];
        out[c] = static_cast<Sample>(detail::truncClamped(v, low, high));
    }
}

// The kernel's weights for the four neighbours of a sample at fraction d
// (0 <= d < 1) past the pixel: columns at (i - 1) - d, rows at d - (i - 1).
// Each is bSpline() with the truncated powers whose argument cannot be above
// 0 dropped: they are exact zeros there, so the sums keep every bit while
// most cubes and all the branches go.
// Four divisions side by side, which the compiler can pair up.
std::array<double, 4> sixths(std::array<double, 4> sums)
{
    for (double& sum : sums)
        sum /= 6;
    return sums;
}

std::array<double, 4> columnWeights(double d)
{
    const double t0 = -1 - d;
    const double t1 = 0 - d;
    const double t2 = 1 - d;
    const double t3 = 2 - d;
    const auto p3 = [](double t) { return t * t * t; };
    return sixths({ p3(t0 + 2), p3(t1 + 2) - 4 * p3(t1 + 1), p3(t2 + 2) - 4 * p3(t2 + 1) + 6 * p3(t2),
        p3(t3 + 2) - 4 * p3(t3 + 1) + 6 * p3(t3) - 4 * p3(t3 - 1) });
}

std::array<double, 4> rowWeights(double d)
{
    const double t0 = d + 1;
    const double t1 = d - 0;
    const double t2 = d - 1;
    const double t3 = d - 2;
    const auto p3 = [](double t) { return t * t * t; };
    return sixths({ p3(t0 + 2) - 4 * p3(t0 + 1) + 6 * p3(t0) - 4 * p3(t0 - 1), p3(t1 + 2) - 4 * p3(t1 + 1) + 6 * p3(t1),
        p3(t2 + 2) - 4 * p3(t2 + 1), p3(t3 + 2) });
}

// Neighbours outside the picture are left out of the sum; the weights are not
// renormalised, so edges darken a little as they always have.
template<typename Sample>
void sampleBicubic(const ImageLevel<Sample>& src, double sx, double sy, Sample* out, std::int64_t low,
                   std::int64_t high)
{
    const int channels = src.channels();
    const auto x0 = static_cast<std::int32_t>(sx);
    const auto y0 = static_cast<std::int32_t>(sy);
    const std::array<double, 4> wx = columnWeights(sx - x0);
    const std::array<double, 4> wy = rowWeights(sy - y0);
    if (channels == 1 && x0 >= 1 && y0 >= 1 && x0 + 2 < src.width && y0 + 2 < src.height) {
        // Most samples of a large grey picture: no neighbour to test.
        const Sample* row = src.pixels.data() + detail::pixelIndex(x0 - 1, y0 - 1, src.width);
        double total = 0;
        for (int k = 0; k < 4; ++k, row += src.width) {
            for (int m = 0; m < 4; ++m)
                total += wx[m] * wy[k] * row[m];
        }
        out[0] = static_cast<Sample>(detail::truncClamped(total, low, high));
        return;
    }
    std::array<double, 3> sum{};
    for (int k = 0; k < 4; ++k) {
        const std::int32_t y = y0 + k - 1;
        if (y < 0 || y >= src.height)
            continue;
        for (int m = 0; m < 4; ++m) {
            const std::int32_t x = x0 + m - 1;
            if (x < 0 || x >= src.width)
                continue;
            const double w = wx[m] * wy[k];
            const Sample* p = src.pixels.data() + detail::pixelIndex(x, y, src.width) * channels;
            for (int c = 0; c < channels; ++c)
                sum[c] += w * p[c];
        }
    }
    for (int c = 0; c < channels; ++c)
        out[c] = static_cast<Sample>(detail::truncClamped(sum[c], low, high));
}

template<typename Sample>
Result<ImageLevel<Sample>> rotateByAngle(const ImageLevel<Sample>& level, float angle, Turn turn,
                                               Interpolation method, std::uint32_t fill)
{
    const float theta = angle * kOneOver180 * kPi;
    Geometry g;
    g.c = std::cos(static_cast<double>(theta));
    g.s = std::sin(static_cast<double>(theta));
    g.turn = turn;
    g.srcWidth = level.width;
    g.srcHeight = level.height;
    const double newWidth = std::trunc(level.width * g.c + level.height * g.s + 0.5);
    const double newHeight = std::trunc(level.height * g.c + level.width * g.s + 0.5);
    if (!(newWidth >= 1 && newHeight >= 1 && newWidth <= detail::kMaxSide && newHeight <= detail::kMaxSide)
        || !detail::isUsableSize(static_cast<std::int64_t>(newWidth), static_cast<std::int64_t>(newHeight),
                                 level.channels(), sizeof(Sample)))
        return makeError(ImagingError::InvalidParameters);

    return detail::guarded([&]() -> Result<ImageLevel<Sample>> {
        ImageLevel<Sample> dst = level.withSize(static_cast<std::int32_t>(newWidth),
                                                static_cast<std::int32_t>(newHeight), level.kind);
        // Nearest sampling copies samples, so only the interpolating methods
        // can leave the range; 8-bit levels clamp to the bytes' range.
        const auto range = detail::resultRange(level);
        const std::int64_t low = range.first;
        const std::int64_t high = range.second;
        const int channels = level.channels();
        Sample* out = dst.pixels.data();
        for (std::int32_t y = 0; y < dst.height; ++y) {
            for (std::int32_t x = 0; x < dst.width; ++x, out += channels) {
                double sx = 0;
                double sy = 0;
                g.sourceOf(x, y, sx, sy);
                if (!(sy >= 0 && sy < level.height && sx >= 0 && sx < level.width)) {
                    fillPixel(out, channels, fill);
                    continue;
                }
                switch (method) {
                case Interpolation::Nearest: {
                    const Sample* p = level.pixels.data()
                        + detail::pixelIndex(static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy), level.width)
                            * channels;
                    std::copy_n(p, channels, out);
                    break;
                }
                case Interpolation::Bilinear:
                    sampleBilinear(level, sx, sy, out, low, high);
                    break;
                case Interpolation::Bicubic:
                    sampleBicubic(level, sx, sy, out, low, high);
                    break;
                }
            }
        }
        return dst;
    });
}

} // namespace

template<typename Sample>
Result<ImageLevel<Sample>> rotate(const ImageLevel<Sample>& level, float angle, Turn turn,
                                        Interpolation method, std::uint32_t fill)
{
    const bool knownMethod = method == Interpolation::Nearest || method == Interpolation::Bilinear
        || method == Interpolation::Bicubic;
    if (!(angle > 0.0f) || !knownMethod || !level.isConsistent())
        return makeError(ImagingError::InvalidParameters);
    if (angle >= 90.0f)
        return turn == Turn::Clockwise ? rotate90Clockwise(level) : rotate90CounterClockwise(level);
    return rotateByAngle(level, angle, turn, method, fill);
}

template Result<ImageLevel<std::uint8_t>> rotate(const ImageLevel<std::uint8_t>&, float, Turn, Interpolation,
                                                       std::uint32_t);
template Result<ImageLevel<std::int16_t>> rotate(const ImageLevel<std::int16_t>&, float, Turn, Interpolation,
                                                       std::uint32_t);

} // namespace imaging
