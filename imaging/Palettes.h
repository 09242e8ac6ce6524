#pragma once

#include <string_view>

#include "imaging/PaletteTable.h"

namespace imaging {

class CustomPaletteList;
class FrameImage;

inline constexpr int kBuiltInPaletteCount = 11;

// Numbers of the built-in tables, in the order the palette list shows them.
enum class BuiltInPalette : int {
    Blackbody = 0,
    Cardiac = 1,
    Fiveramp = 2,
    Flow = 3,
    Fusion16 = 4,
    GeColor = 5,
    GrayRain = 6,
    Grayscale = 7,
    Hotiron = 8,
    Nih = 9,
    Spectrum = 10,
};

// The name shown in palette lists ("Blackbody" ... "Spectrum"); empty for
// numbers outside 0..10.
std::string_view builtInPaletteName(int number);

// Table number 0..10; numbers outside give nullptr. The tables are built once
// and live as long as the program.
const PaletteTable* builtInPalette(int number);

// Shows a grey frame in palette `number`: a built-in table (0..10) or custom
// palette number - 11 of `custom`, whose table the image keeps its own copy
// of. One undoable step; the bitmap's colour table is rewritten in place.
// RGB frames, frames without an image and unknown numbers are refused.
bool setPalette(FrameImage& frame, int number, const CustomPaletteList& custom);

// The palette number as menus check it: 0..10, 11 for any custom palette, 7
// (Grayscale) for a frame without an image.
int getPalette(const FrameImage& frame);

} // namespace imaging
