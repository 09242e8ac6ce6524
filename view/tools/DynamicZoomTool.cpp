#include "view/tools/DynamicZoomTool.h"

#include "document/COrvoDoc.h"
#include "view/COrvoView.h"
#include "view/model/ZoomSteps.h"

void DynamicZoomTool::press(const ToolEvent& event)
{
    const viewmodel::ViewTransform shown = view().transform();
    if (!shown.isInsideImage(event.viewport))
        return;
    m_dragging = true;
    m_pixel = shown.toImageClamped(event.viewport);
    m_pressedAt = event.viewport;
    m_lastY = event.viewport.y;
    remember(event);
}

void DynamicZoomTool::move(const ToolEvent& event)
{
    if (!m_dragging)
        return;
    remember(event);
    const float zoom = viewmodel::dynamicZoom(view().document().zoom(), m_lastY, event.viewport.y);
    m_lastY = event.viewport.y;
    view().zoomAbout(zoom, m_pixel, m_pressedAt);
}

void DynamicZoomTool::release(const ToolEvent&)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    view().recordZoom();
}
