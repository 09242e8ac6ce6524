#pragma once

#include "view/model/BoundedText.h"

#include <cstdint>

namespace viewmodel {

// The longest face name a record keeps, in bytes.
inline constexpr std::size_t FaceNameLimit = 32;

// The font an annotation or a measurement label is drawn in, as its record
// keeps it: the height in points at zoom 1, so that the label grows with the
// image.
struct OverlayFont {
    std::int32_t height = 8;
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    BoundedText<FaceNameLimit> face { "Arial" };

    friend bool operator==(const OverlayFont&, const OverlayFont&) = default;
};

// Above this a glyph costs memory without showing more on any screen.
inline constexpr std::int32_t MaxFontPixelHeight = 1 << 15;

// The pixel height a font of `points` is drawn at on a screen of
// `pixelsPerInch` at a zoom factor: points to pixels rounded half away from
// zero, then scaled and truncated. Never below 1, so that a label zoomed far
// out still shows as a speck instead of falling back to the toolkit's
// default size, and never above MaxFontPixelHeight.
std::int32_t fontPixelHeight(std::int32_t points, std::int32_t pixelsPerInch, double zoom);

} // namespace viewmodel
