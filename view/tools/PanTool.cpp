#include "view/tools/PanTool.h"

#include "view/COrvoView.h"

#include <QScrollBar>

void PanTool::press(const ToolEvent& event)
{
    if (!event.image)
        return;
    m_dragging = true;
    m_last = event.viewport;
    remember(event);

}

void PanTool::move(const ToolEvent& event)
{
    if (!m_dragging)
        return;
    remember(event);
    QScrollBar* across = view().horizontalScrollBar();
    QScrollBar* down = view().verticalScrollBar();
    across->setValue(across->value() - (event.viewport.x - m_last.x));
    down->setValue(down->value() - (event.viewport.y - m_last.y));
    m_last = event.viewport;
}

void PanTool::release(const ToolEvent&)
{
    m_dragging = false;

}
