#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace imaging {

enum class SampleKind : std::int32_t { Grey = 0, Rgb = 1 };

// No level may hold more than this many bytes of pixels: sizes handed on to
// bitmap headers and file writers are 32-bit signed.
inline constexpr std::uint64_t kMaxLevelBytes = 0x7FFFFFFF;

struct Window {
    std::int32_t centre = 0;
    std::int32_t width = 0;

    // Centre 0 with width 0 means the ramp from the minimum to the maximum.
    bool isRamp() const { return centre == 0 && width == 0; }

    friend bool operator==(const Window&, const Window&) = default;
};

// One undo level of an image: the pixels with their range and window.
// Sample is std::uint8_t (grey or RGB triplets) or std::int16_t (grey).
// A level owns its pixels; levels are never changed once they are on the stack.
template<typename Sample>
struct ImageLevel {
    SampleKind kind = SampleKind::Grey;
    bool isSigned = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t max = 0;
    std::int32_t min = 0;
    Window window;
    std::vector<Sample> pixels; // rows top to bottom, no padding

    int channels() const { return kind == SampleKind::Rgb ? 3 : 1; }
    std::uint64_t sampleCount() const
    {
        return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height)
            * static_cast<std::uint64_t>(channels());
    }
    std::uint64_t byteSize() const { return sampleCount() * sizeof(Sample); }

    // A level is usable when its buffer matches its size exactly.
    bool isConsistent() const
    {
        return width > 0 && height > 0 && byteSize() <= kMaxLevelBytes
            && pixels.size() == sampleCount() && (sizeof(Sample) == 1 || kind == SampleKind::Grey);
    }

    std::span<const Sample> row(std::int32_t y) const
    {
        const std::size_t rowSamples = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels());
        return std::span<const Sample>(pixels).subspan(static_cast<std::size_t>(y) * rowSamples, rowSamples);
    }

    // A level of the same range and window with a pixel buffer for a new size,
    // which is what every pixel operation starts from. Throws std::bad_alloc.
    ImageLevel withSize(std::int32_t newWidth, std::int32_t newHeight, SampleKind newKind) const
    {
        ImageLevel next;
        next.kind = newKind;
        next.isSigned = isSigned;
        next.width = newWidth;
        next.height = newHeight;
        next.max = max;
        next.min = min;
        next.window = window;
        next.pixels.resize(next.sampleCount());
        return next;
    }
};

using Level8 = ImageLevel<std::uint8_t>;
using Level16 = ImageLevel<std::int16_t>;

} // namespace imaging
