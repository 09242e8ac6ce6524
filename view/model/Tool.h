#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace viewmodel {

// What the left mouse button does over the frame. The numbers are the view's
// current-tool values and never change meaning.
enum class Tool : std::int32_t {
    PanHand = 0,
    ZoomInOut = 1,
    ZoomRectangle = 2,
    DynamicZoom = 3,
    MoviePlayingForward = 4, // set by the movie commands, not chosen as a tool
    MoviePlayingBackward = 5,
    AddTextAnnotation = 6,
    SelectionRectangle = 7,
    MoveAnnotation = 8,
    DeleteAnnotation = 9,
    MeasureLength = 10,
    MeasureAngle = 11,
    Crop = 12,
    LevelWindow = 13,
};

inline constexpr std::int32_t ToolCount = 14;

// A stored or received tool number; none for a number no tool has.
std::optional<Tool> toolFromNumber(std::int32_t number);

bool isMovieTool(Tool tool);

// The command that chooses a tool and the palette button that sends it; an
// empty text means there is none.
struct ToolCommand {
    Tool tool;
    std::string_view menuText;
    std::string_view paletteTooltip;
};

const ToolCommand& toolCommand(Tool tool);

// The palette's nine buttons, row by row in two columns; the last one sits
// centred below the others.
inline constexpr std::array<Tool, 9> PaletteTools {
    Tool::PanHand, Tool::SelectionRectangle,
    Tool::Crop, Tool::AddTextAnnotation,
    Tool::MoveAnnotation, Tool::DeleteAnnotation,
    Tool::MeasureLength, Tool::MeasureAngle,
    Tool::LevelWindow,
};

struct DocumentShows {
    bool frame = false;
    bool annotations = false;
    bool measurements = false;
};

// Annotation and measurement tools act on overlays, so they are offered only
// while those overlays are visible; the movie values are not commands.
bool isToolCommandEnabled(Tool tool, DocumentShows shows);

// The drawing colour a tool sets ("Select drawing color"): lengths and
// angles each keep their own, every other tool the annotations'.
enum class DrawingColour { Annotation, Length, Angle };
DrawingColour drawingColourOf(Tool tool);

} // namespace viewmodel
