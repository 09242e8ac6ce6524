#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "imaging/ImageLevel.h"
#include "imaging/WorkArea.h"

namespace imaging {

class FrameImage;

using HistogramCounts = std::array<std::uint32_t, 256>;

enum class Channel : int { Red = 0, Green = 1, Blue = 2 };

// Statistics over the selected pixels of a level (all pixels without a mask).
// Nothing is answered for an area that does not fit the level, a selection of
// no pixels, or a 16-bit level whose max lies below its min.
//
// histogram: grey 8-bit samples count at their value, RGB pixels at their
// rounded luma; 16-bit samples between min and max are counted over the range
// and, for ranges of more than 256 values, summed into 256 equal bins.
template<typename Sample>
std::optional<HistogramCounts> histogram(const ImageLevel<Sample>& level, const WorkArea& area);
// One channel of an RGB level (of a grey level: its samples).
std::optional<HistogramCounts> channelHistogram(const Level8& level, const WorkArea& area, Channel channel);

// Mean and standard deviation (divided by n) of the samples, or of the luma of
// RGB pixels.
template<typename Sample>
std::optional<double> mean(const ImageLevel<Sample>& level, const WorkArea& area);
template<typename Sample>
std::optional<double> standardDeviation(const ImageLevel<Sample>& level, const WorkArea& area);
std::optional<double> mean(const Level8& level, const WorkArea& area, Channel channel);
std::optional<double> standardDeviation(const Level8& level, const WorkArea& area, Channel channel);

// Over the image's selection, or the whole top level without one. The channel
// forms answer nothing for a 16-bit image.
std::optional<HistogramCounts> histogram(const FrameImage& frame);
std::optional<HistogramCounts> channelHistogram(const FrameImage& frame, Channel channel);
std::optional<double> mean(const FrameImage& frame);
std::optional<double> standardDeviation(const FrameImage& frame);
std::optional<double> mean(const FrameImage& frame, Channel channel);
std::optional<double> standardDeviation(const FrameImage& frame, Channel channel);

} // namespace imaging
