#include "view/tools/CropTool.h"
#include "view/tools/LevelWindowTool.h"
#include "view/tools/PanTool.h"
#include "view/tools/SelectionTool.h"

std::unique_ptr<ViewTool> makeViewTool(viewmodel::Tool tool, COrvoView& view)
{
    switch (tool) {
    case viewmodel::Tool::PanHand: return std::make_unique<PanTool>(view);
    case viewmodel::Tool::SelectionRectangle: return std::make_unique<SelectionTool>(view);
    case viewmodel::Tool::Crop: return std::make_unique<CropTool>(view);
    case viewmodel::Tool::LevelWindow: return std::make_unique<LevelWindowTool>(view);
    default: return nullptr;
    }
}
