#pragma once

#include "view/model/ViewTransform.h"

#include <array>
#include <cstdint>
#include <optional>

namespace viewmodel {

// Where an image point lies on a crop frame. The numbers are the view's
// handle values: 0 off the frame, 1 inside it away from every handle.
enum class CropHandle : std::int32_t {
    None = 0,
    Inside = 1,
    TopLeft = 2,
    TopMiddle = 3,
    TopRight = 4,
    LeftMiddle = 5,
    RightMiddle = 6,
    BottomLeft = 7,
    BottomMiddle = 8,
    BottomRight = 9,
};

bool isResizeHandle(CropHandle handle);

// The frame the crop tool sets up before it crops: a rectangle in image
// pixels with eight handles, made by a drag and reshaped by dragging a handle.
// It remembers the image size it was drawn on; a frame on an image whose size
// has changed since no longer marks the same pixels and is dropped.
class CropFrame {
public:
    // Each side spans at least this many pixels past its first one: a smaller
    // frame would be all handles and could not be grabbed inside.
    static constexpr std::int32_t MinimumSpan = 10;
    // How far inside the frame a corner or an edge handle reaches.
    static constexpr std::int32_t HandleReach = 5;

    // The frame a drag between two image points sets up (see dragRectangle);
    // none when it spans fewer than MinimumSpan pixels either way.
    static std::optional<CropFrame> fromDrag(Point from, Point to, Size image);

    Rect rect() const { return m_rect; }
    Size imageSize() const { return m_image; }

    bool isValidFor(Size image) const { return image == m_image; }

    // Which handle an image point grabs. The handles are tried row by row from
    // the top, so where the reaches of a small frame overlap the earlier one
    // wins; the bottom-right corner is tried last.
    CropHandle hitTest(Point point) const;

    // The frame after dragging a handle by a viewport displacement at a zoom
    // factor, from this frame as it was at the press. Each moved edge stays on
    // the image and MinimumSpan from its opposite edge.
    CropFrame withHandleDragged(CropHandle handle, Point viewportDelta, double zoom) const;

    // The region to crop the image to: the frame clipped to the image as it is
    // now. None when nothing would be cut away or nothing would be left.
    std::optional<Rect> cropRegion(Size image) const;

private:
    CropFrame(Rect rect, Size image)
        : m_rect(rect)
        , m_image(image)
    {
    }

    Rect m_rect;
    Size m_image;
};

// The eight 5 x 5 handle squares drawn just inside a frame's outline in the
// viewport, in handle order from TopLeft to BottomRight.
std::array<Rect, 8> cropHandleSquares(Rect outline);

} // namespace viewmodel
