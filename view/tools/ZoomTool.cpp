#include "view/tools/ZoomTool.h"

#include "document/COrvoDoc.h"
#include "view/COrvoView.h"
#include "view/model/ZoomSteps.h"

namespace {

viewmodel::ZoomDirection direction(bool control, viewmodel::ZoomDirection plain)
{
    if (!control)
        return plain;
    return plain == viewmodel::ZoomDirection::In ? viewmodel::ZoomDirection::Out : viewmodel::ZoomDirection::In;
}

} // namespace

void ZoomTool::press(const ToolEvent& event)
{
    COrvoView& shown = view();
    const viewmodel::ViewTransform before = shown.transform();
    const float zoom = viewmodel::zoomToolZoom(shown.document().zoom(),
        direction(event.control, viewmodel::ZoomDirection::In));
    shown.zoomAbout(zoom, before.toImageClamped(event.viewport), event.viewport);
    m_dragging = true;
    remember(event);
}

void ZoomTool::move(const ToolEvent& event)
{
    if (m_dragging)
        remember(event);
}

void ZoomTool::release(const ToolEvent&)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    view().recordZoom();
}

bool ZoomTool::rightPress(const ToolEvent& event)
{
    COrvoView& shown = view();
    if (!shown.transform().isInsideImage(event.viewport))
        return false;
    const float zoom = viewmodel::zoomToolZoom(shown.document().zoom(),
        direction(event.control, viewmodel::ZoomDirection::Out));
    shown.setZoomAndScroll(zoom, shown.scrollPosition(), COrvoView::ZoomRecord::No);
    return true;
}
