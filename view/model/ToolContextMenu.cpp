#include "view/model/ToolContextMenu.h"

#include <array>

namespace viewmodel {

namespace {

constexpr std::array SelectionItems { MenuItem::CopyRoi, MenuItem::CopyFrame, MenuItem::Separator, MenuItem::Clear,
    MenuItem::Separator, MenuItem::InverseSelection, MenuItem::Unselect, MenuItem::Separator,
    MenuItem::CropToSelection };
constexpr std::array AnnotationItems { MenuItem::EditAnnotation, MenuItem::DeleteAnnotation,
    MenuItem::AddAnnotationToAllFrames };
constexpr std::array MeasurementItems { MenuItem::MeasurementFont, MenuItem::MeasurementColor,
    MenuItem::DeleteMeasurement, MenuItem::AddMeasurementToAllFrames };

} // namespace

ContextMenu contextMenuFor(Tool tool, OverlayHit hit)
{
    if (tool == Tool::PanHand || tool == Tool::SelectionRectangle)
        return ContextMenu::Selection;
    const bool moving = tool == Tool::MoveAnnotation;
    switch (hit) {
    case OverlayHit::TextAnnotation:
        return moving || tool == Tool::AddTextAnnotation ? ContextMenu::TextAnnotation : ContextMenu::None;
    case OverlayHit::Length:
        return moving || tool == Tool::MeasureLength ? ContextMenu::Measurement : ContextMenu::None;
    case OverlayHit::Angle:
        return moving || tool == Tool::MeasureAngle ? ContextMenu::Measurement : ContextMenu::None;
    default:
        return ContextMenu::None;
    }
}

std::span<const MenuItem> menuItems(ContextMenu menu)
{
    switch (menu) {
    case ContextMenu::Selection: return SelectionItems;
    case ContextMenu::TextAnnotation: return AnnotationItems;
    case ContextMenu::Measurement: return MeasurementItems;
    default: return {};
    }
}

std::string_view menuItemText(MenuItem item)
{
    switch (item) {
    case MenuItem::CopyRoi: return "Copy R&OI";
    case MenuItem::CopyFrame: return "&Copy Frame\tCtrl+C";
    case MenuItem::Clear: return "Cle&ar";
    case MenuItem::InverseSelection: return "&Inverse Selection\tI";
    case MenuItem::Unselect: return "&Unselect\tCtrl+D";
    case MenuItem::CropToSelection: return "Crop To &Selection";
    case MenuItem::EditAnnotation: return "&Edit...";
    case MenuItem::DeleteAnnotation:
    case MenuItem::DeleteMeasurement: return "&Delete";
    case MenuItem::AddAnnotationToAllFrames:
    case MenuItem::AddMeasurementToAllFrames: return "&Add to all frames";
    case MenuItem::MeasurementFont: return "&Font...";
    case MenuItem::MeasurementColor: return "&Color...";
    default: return "";
    }
}

} // namespace viewmodel
