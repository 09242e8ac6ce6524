#pragma once

#include "view/model/Tool.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace viewmodel {

// The items of the view's context menus; each but Separator names a command.
enum class MenuItem : std::int32_t {
    Separator,
    CopyRoi,
    CopyFrame,
    Clear,
    InverseSelection,
    Unselect,
    CropToSelection,
    EditAnnotation,
    DeleteAnnotation,
    AddAnnotationToAllFrames,
    MeasurementFont,
    MeasurementColor,
    DeleteMeasurement,
    AddMeasurementToAllFrames,
};

enum class ContextMenu : std::int32_t { None, Selection, TextAnnotation, Measurement };

// The first overlay found under the cursor, text annotations tried before
// lengths and lengths before angles.
enum class OverlayHit : std::int32_t { Nothing, TextAnnotation, Length, Angle };

// The menu a right click opens: the selection commands in the tools that
// select, otherwise the commands of the overlay under the cursor, but only in
// a tool that works on that kind of overlay.
ContextMenu contextMenuFor(Tool tool, OverlayHit hit);

std::span<const MenuItem> menuItems(ContextMenu menu);
std::string_view menuItemText(MenuItem item);

// A menu opened from the keyboard has no mouse point; it opens this far right
// of and below the view's top-left corner.
inline constexpr std::int32_t KeyboardMenuOffset = 5;

} // namespace viewmodel
