#include "view/tools/LevelWindowTool.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/COrvoView.h"

namespace {

imaging::Window toImaging(viewmodel::LevelWindow window) { return {window.centre, window.width}; }

} // namespace

viewmodel::LevelWindow LevelWindowTool::windowAt(const ToolEvent& event) const
{
    const viewmodel::Point delta { event.viewport.x - m_pressedAt.x, event.viewport.y - m_pressedAt.y };
    return viewmodel::dragLevelWindow(m_atPress, m_range, delta);
}

void LevelWindowTool::press(const ToolEvent& event)
{
    COrvoDoc& doc = view().document();
    imaging::FrameImage* frame = doc.frame();
    if (!frame || !frame->beginWindowChange())
        return;
    m_dragging = true;
    m_frame = doc.currentFrameIndex();
    m_pressedAt = event.viewport;
    m_atPress = { frame->window().centre, frame->window().width };
    m_range = { frame->min(), frame->max() };
    remember(event);
}

void LevelWindowTool::move(const ToolEvent& event)
{
    imaging::FrameImage* frame = m_dragging ? view().document().frame(m_frame) : nullptr;
    if (!frame)
        return;
    remember(event);
    if (frame->setWindow(toImaging(windowAt(event))) && frame->rebuildDisplay()) {
        view().frameChanged();
        emit view().windowPreviewed();
    }
}

void LevelWindowTool::release(const ToolEvent& event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    COrvoDoc& doc = view().document();
    imaging::FrameImage* frame = doc.frame(m_frame);
    if (!frame)
        return;
    // The intermediate windows go; the final one becomes the single step.
    frame->endWindowChange(imaging::WindowChangeEnd::Restore);
    const imaging::Window window = toImaging(windowAt(event));
    doc.changeFrames(
        [&window](imaging::FrameImage& target, int) { return target.setWindow(window) && target.rebuildDisplay(); },
        COrvoDoc::Scope::InScope, m_frame);
}
