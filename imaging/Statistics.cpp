#include "imaging/Statistics.h"

#include <cmath>
#include <new>
#include <vector>

#include "imaging/FrameImage.h"
#include "imaging/OperationSupport.h"

namespace imaging {
namespace {

// Calls visit(pixel) for every selected pixel; false when the area does not fit.
template<typename Sample, typename Visit>
bool forSelected(const ImageLevel<Sample>& level, const WorkArea& area, Visit&& visit)
{
    if (!level.isConsistent() || !area.fits(level.width, level.height))
        return false;
    const int channels = level.channels();
    for (std::int32_t y = area.top; y < area.bottom; ++y) {
        for (std::int32_t x = area.left; x < area.right; ++x) {
            const std::size_t index = detail::pixelIndex(x, y, level.width);
            if (area.selects(index))
                visit(level.pixels.data() + index * channels);
        }
    }
    return true;
}

double luma(const std::uint8_t* pixel)
{
    return 0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2];
}

// Mean and deviation of value(pixel) over the selection, in one pass for the
// sums and one for the squared differences so that large values keep their
// precision.
template<typename Sample, typename Value>
std::optional<std::pair<double, double>> moments(const ImageLevel<Sample>& level, const WorkArea& area, Value&& value)
{
    double sum = 0;
    std::uint64_t n = 0;
    if (!forSelected(level, area, [&](const Sample* p) {
            sum += value(p);
            ++n;
        }))
        return std::nullopt;
    if (n == 0)
        return std::nullopt;
    const double m = sum / static_cast<double>(n);
    double squares = 0;
    (void)forSelected(level, area, [&](const Sample* p) {
        const double d = value(p) - m;
        squares += d * d;
    });
    return std::pair{m, std::sqrt(squares / static_cast<double>(n))};
}

template<typename Sample>
std::optional<std::pair<double, double>> plainMoments(const ImageLevel<Sample>& level, const WorkArea& area)
{
    if constexpr (sizeof(Sample) == 1) {
        if (level.kind == SampleKind::Rgb)
            return moments(level, area, [](const Sample* p) { return luma(p); });
    }
    return moments(level, area, [](const Sample* p) { return static_cast<double>(p[0]); });
}

std::optional<std::pair<double, double>> channelMoments(const Level8& level, const WorkArea& area, Channel channel)
{
    const int c = level.kind == SampleKind::Rgb ? static_cast<int>(channel) : 0;
    if (c < 0 || c > 2)
        return std::nullopt;
    return moments(level, area, [c](const std::uint8_t* p) { return static_cast<double>(p[c]); });
}

std::optional<HistogramCounts> histogram16(const Level16& level, const WorkArea& area)
{
    if (level.max < level.min)
        return std::nullopt;
    const std::int64_t n = std::int64_t{level.max} - level.min + 1;
    std::vector<std::uint32_t> full(static_cast<std::size_t>(n), 0);
    if (!forSelected(level, area, [&](const std::int16_t* p) {
            if (*p >= level.min && *p <= level.max)
                ++full[static_cast<std::size_t>(*p - level.min)];
        }))
        return std::nullopt;
    HistogramCounts counts{};
    if (n < 257) {
        std::copy(full.begin(), full.end(), counts.begin());
        return counts;
    }
    for (std::int64_t k = 0; k < 256; ++k) {
        const std::int64_t first = k * n / 256;
        const std::int64_t last = (k + 1) * n / 256;
        for (std::int64_t i = first; i < last; ++i)
            counts[static_cast<std::size_t>(k)] += full[static_cast<std::size_t>(i)];
    }
    return counts;
}

template<typename Result, typename Function>
Result forFrame(const FrameImage& frame, Function&& function)
{
    try {
        if (const Image8* image = frame.image8())
            return function(image->topLevel(), WorkArea::of(image->region()));
        if (const Image16* image = frame.image16())
            return function(image->topLevel(), WorkArea::of(image->region()));
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

} // namespace

template<typename Sample>
std::optional<HistogramCounts> histogram(const ImageLevel<Sample>& level, const WorkArea& area)
{
    if constexpr (sizeof(Sample) == 2) {
        return histogram16(level, area);
    } else {
        HistogramCounts counts{};
        const bool rgb = level.kind == SampleKind::Rgb;
        if (!forSelected(level, area, [&](const std::uint8_t* p) {
                const auto bin = rgb ? std::min<std::int64_t>(255, static_cast<std::int64_t>(luma(p) + 0.5)) : *p;
                ++counts[static_cast<std::size_t>(bin)];
            }))
            return std::nullopt;
        return counts;
    }
}

std::optional<HistogramCounts> channelHistogram(const Level8& level, const WorkArea& area, Channel channel)
{
    const int c = level.kind == SampleKind::Rgb ? static_cast<int>(channel) : 0;
    if (c < 0 || c > 2)
        return std::nullopt;
    HistogramCounts counts{};
    if (!forSelected(level, area, [&](const std::uint8_t* p) { ++counts[p[c]]; }))
        return std::nullopt;
    return counts;
}

template<typename Sample>
std::optional<double> mean(const ImageLevel<Sample>& level, const WorkArea& area)
{
    const auto m = plainMoments(level, area);
    return m ? std::optional<double>(m->first) : std::nullopt;
}

template<typename Sample>
std::optional<double> standardDeviation(const ImageLevel<Sample>& level, const WorkArea& area)
{
    const auto m = plainMoments(level, area);
    return m ? std::optional<double>(m->second) : std::nullopt;
}

std::optional<double> mean(const Level8& level, const WorkArea& area, Channel channel)
{
    const auto m = channelMoments(level, area, channel);
    return m ? std::optional<double>(m->first) : std::nullopt;
}

std::optional<double> standardDeviation(const Level8& level, const WorkArea& area, Channel channel)
{
    const auto m = channelMoments(level, area, channel);
    return m ? std::optional<double>(m->second) : std::nullopt;
}

template std::optional<HistogramCounts> histogram(const Level8&, const WorkArea&);
template std::optional<HistogramCounts> histogram(const Level16&, const WorkArea&);
template std::optional<double> mean(const Level8&, const WorkArea&);
template std::optional<double> mean(const Level16&, const WorkArea&);
template std::optional<double> standardDeviation(const Level8&, const WorkArea&);
template std::optional<double> standardDeviation(const Level16&, const WorkArea&);

std::optional<HistogramCounts> histogram(const FrameImage& frame)
{
    return forFrame<std::optional<HistogramCounts>>(
        frame, [](const auto& level, const WorkArea& area) { return histogram(level, area); });
}

std::optional<HistogramCounts> channelHistogram(const FrameImage& frame, Channel channel)
{
    const Image8* image = frame.image8();
    if (!image)
        return std::nullopt;
    return channelHistogram(image->topLevel(), WorkArea::of(image->region()), channel);
}

std::optional<double> mean(const FrameImage& frame)
{
    return forFrame<std::optional<double>>(frame,
                                           [](const auto& level, const WorkArea& area) { return mean(level, area); });
}

std::optional<double> standardDeviation(const FrameImage& frame)
{
    return forFrame<std::optional<double>>(
        frame, [](const auto& level, const WorkArea& area) { return standardDeviation(level, area); });
}

std::optional<double> mean(const FrameImage& frame, Channel channel)
{
    const Image8* image = frame.image8();
    if (!image)
        return std::nullopt;
    return mean(image->topLevel(), WorkArea::of(image->region()), channel);
}

std::optional<double> standardDeviation(const FrameImage& frame, Channel channel)
{
    const Image8* image = frame.image8();
    if (!image)
        return std::nullopt;
    return standardDeviation(image->topLevel(), WorkArea::of(image->region()), channel);
}

} // namespace imaging
