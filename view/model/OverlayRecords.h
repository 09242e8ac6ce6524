#pragma once

#include "view/model/BoundedText.h"
#include "view/model/OverlayFont.h"
#include "view/model/ViewTransform.h"

#include <cstdint>

namespace viewmodel {

// A colour as the settings keep it: red in the low byte, then green, then blue.
using Colour = std::uint32_t;

// The longest annotation text, in bytes.
inline constexpr std::size_t AnnotationTextLimit = 259;
// Ample for every label a measurement formats ("-2147483648mm", "180.00°").
inline constexpr std::size_t MeasurementLabelLimit = 31;

using AnnotationText = BoundedText<AnnotationTextLimit>;
using MeasurementLabel = BoundedText<MeasurementLabelLimit>;

// The overlay records of one frame, in image pixels. Two records are "the
// same" record of another frame when every field is equal, texts compared up
// to their end; that is how an edit with "Apply to all frames" finds them.

// A text placed on a frame. The box is where the text lies at zoom 1 (its
// size measured when the record was made); a press inside it picks the
// annotation.
struct TextAnnotation {
    OverlayFont font;
    // Annotations keep their own character set; measurements always use 161.
    std::uint8_t charSet = 161;
    Colour colour = 0x00FF00;
    bool hidden = false;
    AnnotationText text;
    Point position;
    Size boxSize;

    bool isHitAt(Point image) const;
    friend bool operator==(const TextAnnotation&, const TextAnnotation&) = default;
};

// A measured distance: its two ends in the order clicked, the label as it
// was formatted then and the label's box, which is where a press picks it.
struct LengthMeasurement {
    OverlayFont font;
    std::int32_t lineWidth = 2;
    Colour colour = 0x0000FF;
    Point first;
    Point second;
    MeasurementLabel label;
    Rect labelBox;

    bool isHitAt(Point image) const;
    friend bool operator==(const LengthMeasurement&, const LengthMeasurement&) = default;
};

// A measured angle at `vertex` between the arms to `first` and `second`.
struct AngleMeasurement {
    OverlayFont font;
    std::int32_t lineWidth = 2;
    Colour colour = 0x0000FF;
    Point vertex;
    Point first;
    Point second;
    MeasurementLabel label;
    Rect labelBox;

    bool isHitAt(Point image) const;
    friend bool operator==(const AngleMeasurement&, const AngleMeasurement&) = default;
};

// Whether a point lies in a rectangle, right and bottom exclusive.
bool rectContains(Rect rect, Point point);

} // namespace viewmodel
