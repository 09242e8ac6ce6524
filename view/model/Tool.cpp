#include "view/model/Tool.h"

namespace viewmodel {

namespace {

constexpr std::array<ToolCommand, ToolCount> Commands { {
    { Tool::PanHand, "&Pan Hand", "Cross/Pan Hand" },
    { Tool::ZoomInOut, "&Zoom In/Out\t+-", "" },
    { Tool::ZoomRectangle, "Zoom &Window", "" },
    { Tool::DynamicZoom, "Zoom &Dynamic", "" },
    { Tool::MoviePlayingForward, "", "" },
    { Tool::MoviePlayingBackward, "", "" },
    { Tool::AddTextAnnotation, "&Annotation Text", "Add Annotation Text" },
    { Tool::SelectionRectangle, "Selection &Rectangle", "Selection Rectangle" },
    { Tool::MoveAnnotation, "&Move Annotation", "Move Annotation" },
    { Tool::DeleteAnnotation, "&Delete Annotation", "Erase Annotation" },
    { Tool::MeasureLength, "Mesure &Length", "Mesure Length" },
    { Tool::MeasureAngle, "M&esure Angle", "Mesure Angle" },
    { Tool::Crop, "&Crop", "Crop" },
    { Tool::LevelWindow, "Level-&Window", "Level-Window" },
} };

// toolCommand() indexes the table by tool number.
constexpr bool isInToolOrder()
{
    for (std::size_t i = 0; i < Commands.size(); ++i) {
        if (static_cast<std::size_t>(Commands[i].tool) != i)
            return false;
    }
    return true;
}
static_assert(isInToolOrder());

} // namespace

std::optional<Tool> toolFromNumber(std::int32_t number)
{
    if (number < 0 || number >= ToolCount)
        return std::nullopt;
    return static_cast<Tool>(number);
}

bool isMovieTool(Tool tool) { return tool == Tool::MoviePlayingForward || tool == Tool::MoviePlayingBackward; }

const ToolCommand& toolCommand(Tool tool) { return Commands[static_cast<std::size_t>(tool)]; }

bool isToolCommandEnabled(Tool tool, DocumentShows shows)
{
    if (!shows.frame || isMovieTool(tool))
        return false;
    switch (tool) {
    case Tool::AddTextAnnotation:
    case Tool::MoveAnnotation:
    case Tool::DeleteAnnotation:
        return shows.annotations;
    case Tool::MeasureLength:
    case Tool::MeasureAngle:
        return shows.measurements;
    default:
        return true;
    }
}

DrawingColour drawingColourOf(Tool tool)
{
    switch (tool) {
    case Tool::MeasureLength: return DrawingColour::Length;
    case Tool::MeasureAngle: return DrawingColour::Angle;
    default: return DrawingColour::Annotation;
    }
}

} // namespace viewmodel
