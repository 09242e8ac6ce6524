#include "view/model/OverlayRecords.h"

namespace viewmodel {

bool rectContains(Rect rect, Point point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

bool TextAnnotation::isHitAt(Point image) const
{
    // In 64 bits: a box at the far end of the coordinate range must not wrap.
    const std::int64_t right = std::int64_t { position.x } + boxSize.width;
    const std::int64_t bottom = std::int64_t { position.y } + boxSize.height;
    return image.x >= position.x && image.x < right && image.y >= position.y && image.y < bottom;
}

bool LengthMeasurement::isHitAt(Point image) const
{
    return rectContains(labelBox, image);
}

bool AngleMeasurement::isHitAt(Point image) const
{
    return rectContains(labelBox, image);
}

} // namespace viewmodel
