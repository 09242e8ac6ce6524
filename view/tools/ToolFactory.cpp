#include "view/tools/AnnotationTools.h"
#include "view/tools/CropTool.h"
#include "view/tools/DynamicZoomTool.h"
#include "view/tools/LevelWindowTool.h"
#include "view/tools/MeasureTools.h"
#include "view/tools/PanTool.h"
#include "view/tools/SelectionTool.h"
#include "view/tools/ZoomRectangleTool.h"
#include "view/tools/ZoomTool.h"

std::unique_ptr<ViewTool> makeViewTool(viewmodel::Tool tool, COrvoView& view)
{
    switch (tool) {
    case viewmodel::Tool::PanHand: return std::make_unique<PanTool>(view);
    case viewmodel::Tool::ZoomInOut: return std::make_unique<ZoomTool>(view);
    case viewmodel::Tool::ZoomRectangle: return std::make_unique<ZoomRectangleTool>(view);
    case viewmodel::Tool::DynamicZoom: return std::make_unique<DynamicZoomTool>(view);
    case viewmodel::Tool::SelectionRectangle: return std::make_unique<SelectionTool>(view);
    case viewmodel::Tool::Crop: return std::make_unique<CropTool>(view);
    case viewmodel::Tool::LevelWindow: return std::make_unique<LevelWindowTool>(view);
    case viewmodel::Tool::AddTextAnnotation: return std::make_unique<TextAnnotationTool>(view);
    case viewmodel::Tool::MoveAnnotation: return std::make_unique<MoveAnnotationTool>(view);
    case viewmodel::Tool::DeleteAnnotation: return std::make_unique<DeleteAnnotationTool>(view);
    case viewmodel::Tool::MeasureLength: return std::make_unique<LengthTool>(view);
    case viewmodel::Tool::MeasureAngle: return std::make_unique<AngleTool>(view);
    default: return nullptr;
    }
}
