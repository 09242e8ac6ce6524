#pragma once

// Levels and images for the tests of the pixel operations.

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "imaging/FrameImage.h"
#include "imaging/ImageLevel.h"

namespace imaging::testing {

inline Level8 level8(SampleKind kind, std::int32_t width, std::int32_t height, std::vector<std::uint8_t> pixels)
{
    Level8 level;
    level.kind = kind;
    level.width = width;
    level.height = height;
    level.max = 255;
    level.min = 0;
    level.window = Window{128, 256};
    level.pixels = std::move(pixels);
    return level;
}

inline Level16 level16(std::int32_t width, std::int32_t height, std::vector<std::int16_t> pixels, std::int32_t min,
                       std::int32_t max, Window window = Window{})
{
    Level16 level;
    level.width = width;
    level.height = height;
    level.min = min;
    level.max = max;
    level.isSigned = min < 0;
    level.window = window;
    level.pixels = std::move(pixels);
    return level;
}

inline Level8 randomLevel8(SampleKind kind, std::int32_t width, std::int32_t height, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * (kind == SampleKind::Rgb ? 3 : 1));
    for (auto& p : pixels)
        p = static_cast<std::uint8_t>(random() & 0xFF);
    return level8(kind, width, height, std::move(pixels));
}

inline Level16 randomLevel16(std::int32_t width, std::int32_t height, unsigned seed, std::int32_t min = -1000,
                             std::int32_t max = 3000)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(min, max);
    std::vector<std::int16_t> pixels(static_cast<std::size_t>(width) * height);
    for (auto& p : pixels)
        p = static_cast<std::int16_t>(value(random));
    return level16(width, height, std::move(pixels), min, max, Window{(min + max) / 2, max - min});
}

inline FrameImage greyImage(std::int32_t width, std::int32_t height, std::vector<std::uint8_t> pixels)
{
    return std::move(FrameImage::fromSamples8(pixels, SampleKind::Grey, width, height)).value();
}

inline FrameImage rgbImage(std::int32_t width, std::int32_t height, std::vector<std::uint8_t> pixels)
{
    return std::move(FrameImage::fromSamples8(pixels, SampleKind::Rgb, width, height)).value();
}

inline FrameImage image16(std::int32_t width, std::int32_t height, std::vector<std::int16_t> pixels,
                          Window window = Window{})
{
    return std::move(FrameImage::fromSamples16(pixels, width, height, window)).value();
}

} // namespace imaging::testing
