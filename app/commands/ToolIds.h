#pragma once

#include "app/Command.h"
#include "view/model/Tool.h"

// The command that chooses a tool, for the menus, the toolbars and the
// palette alike; None for the movie values, which no command chooses.
constexpr Command commandOfTool(viewmodel::Tool tool)
{
    switch (tool) {
    case viewmodel::Tool::PanHand: return Command::PanHandTool;
    case viewmodel::Tool::ZoomInOut: return Command::ZoomTool;
    case viewmodel::Tool::ZoomRectangle: return Command::ZoomRectangleTool;
    case viewmodel::Tool::DynamicZoom: return Command::DynamicZoomTool;
    case viewmodel::Tool::AddTextAnnotation: return Command::AnnotationTextTool;
    case viewmodel::Tool::SelectionRectangle: return Command::SelectionRectangleTool;
    case viewmodel::Tool::MoveAnnotation: return Command::MoveAnnotationTool;
    case viewmodel::Tool::DeleteAnnotation: return Command::DeleteAnnotationTool;
    case viewmodel::Tool::MeasureLength: return Command::MeasureLengthTool;
    case viewmodel::Tool::MeasureAngle: return Command::MeasureAngleTool;
    case viewmodel::Tool::Crop: return Command::CropTool;
    case viewmodel::Tool::LevelWindow: return Command::LevelWindowTool;
    case viewmodel::Tool::MoviePlayingForward:
    case viewmodel::Tool::MoviePlayingBackward: return Command::None;
    }
    return Command::None;
}
