#pragma once

#include <cstdint>
#include <span>

#include "imaging/RegionMask.h"

namespace imaging {

// The pixels a changing operation may touch: a rectangle (right and bottom
// exclusive) and, inside it, the selected pixels of a mask of the whole image.
// Without a mask every pixel of the rectangle is taken.
struct WorkArea {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::span<const std::uint8_t> mask; // one byte per pixel of the image, 0 = not selected

    static WorkArea whole(std::int32_t width, std::int32_t height) { return WorkArea{0, 0, width, height, {}}; }

    // The selection's bounding box and mask, or the whole image when nothing is
    // selected. The area refers to the region's mask and lives no longer.
    static WorkArea of(const RegionMask& region)
    {
        if (!region.hasSelection())
            return whole(region.width(), region.height());
        const RegionBox box = region.boxExclusive(1.0);
        return WorkArea{box.left, box.top, box.right, box.bottom, region.mask()};
    }

    // Callers build areas by hand too, so operations check them against the
    // level before any index is formed.
    bool fits(std::int32_t width, std::int32_t height) const
    {
        return left >= 0 && top >= 0 && left <= right && top <= bottom && right <= width && bottom <= height
            && (mask.empty()
                || mask.size() == static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height));
    }

    bool selects(std::size_t pixelIndex) const { return mask.empty() || mask[pixelIndex] != 0; }
};

} // namespace imaging
