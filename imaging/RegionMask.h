#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace imaging {

struct OutlinePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const OutlinePoint&, const OutlinePoint&) = default;
};

// Inclusive bounds unless a function says otherwise.
struct RegionBox {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const RegionBox&, const RegionBox&) = default;
};

// The selection of one image: a byte per pixel (0 outside, 255 inside, 128 on
// the outline), the outline points and bounding box, and a history of states
// stepped through by the image's undo and redo. An empty region selects nothing,
// so operations then take the whole image.
//
// Functions that change the region throw std::bad_alloc and then leave the
// region as it was; the image catches it.
class RegionMask {
public:
    static constexpr std::uint8_t kOutside = 0;
    static constexpr std::uint8_t kOutline = 128;
    static constexpr std::uint8_t kInside = 255;
    static constexpr std::uint32_t kOutlineColour = 0xFFFFFF; // white, 0x00BBGGRR

    RegionMask() = default;
    RegionMask(std::int32_t width, std::int32_t height);

    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }

    // Sides are clamped into the image and reversed pairs put in order; a
    // rectangle one pixel thin (or less) empties the region. Records a state.
    void selectRectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    // Nothing happens (and no state is recorded) for an empty region.
    void invertSelection();
    void removeSelection();

    // Step through the recorded states; false when there is none to step to.
    bool undo();
    bool redo();

    bool hasSelection() const { return !m_current.outline.empty(); }
    // Selected pixels, or width x height when nothing is selected.
    std::uint64_t pixelCount() const;
    // Inclusive bounds; the whole image when nothing is selected.
    RegionBox box() const;
    bool isSelected(std::int32_t x, std::int32_t y) const;
    // 0, 128 or 255; 0 outside the image or without a selection.
    std::uint8_t valueAt(std::int32_t x, std::int32_t y) const;
    // width x height bytes, or empty without a selection.
    std::span<const std::uint8_t> mask() const { return m_current.mask; }
    std::uint32_t outlineColour() const { return kOutlineColour; }

    // The outline at a zoom factor (scale > 0; 1 gives the stored outline).
    // The answer stays valid until the next call or change.
    std::span<const OutlinePoint> outline(double scale = 1.0) const;
    // left, top, right + 1, bottom + 1 at the zoom factor.
    RegionBox boxExclusive(double scale = 1.0) const;

    std::size_t historyCount() const { return m_history.size(); }
    std::size_t historyPosition() const { return m_historyPos; }

private:
    struct State {
        std::vector<OutlinePoint> outline;
        RegionBox box;
        std::vector<std::uint8_t> mask;
        std::uint64_t pixelCount = 0;
    };
    struct ScaledCache {
        double scale = 1.0;
        bool valid = false;
        std::vector<OutlinePoint> outline;
        RegionBox box;
    };

    State emptyState() const;
    void recordState(State next);
    void computeScaled(double scale) const;

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    State m_current;
    std::vector<State> m_history;
    std::size_t m_historyPos = 0;
    mutable ScaledCache m_scaled;
};

} // namespace imaging
