#include "view/tools/PanTool.h"

#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

#include <QKeyEvent>
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

bool PanTool::key(const QKeyEvent& event)
{
    if (!view().document().frame())
        return false;
    QScrollBar* across = view().horizontalScrollBar();
    QScrollBar* down = view().verticalScrollBar();
    const int step = event.modifiers().testFlag(Qt::ShiftModifier) ? 1 : KeyStep;
    // The scroll bars keep every position inside the range.
    switch (event.key()) {
    case Qt::Key_PageUp: down->setValue(down->minimum()); return true;
    case Qt::Key_PageDown: down->setValue(down->maximum()); return true;
    case Qt::Key_Home: across->setValue(across->minimum()); return true;
    case Qt::Key_End: across->setValue(across->maximum()); return true;
    case Qt::Key_Left: across->setValue(across->value() - step); return true;
    case Qt::Key_Right: across->setValue(across->value() + step); return true;
    case Qt::Key_Up: down->setValue(down->value() - step); return true;
    case Qt::Key_Down: down->setValue(down->value() + step); return true;
    default: return false;
    }
}
