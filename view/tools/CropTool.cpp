#include "view/tools/CropTool.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Geometry.h"
#include "view/COrvoView.h"
#include "view/tools/RubberBand.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRect>

namespace {

QRect toQRect(const viewmodel::Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

} // namespace

CropTool::CropTool(COrvoView& view)
    : ViewTool(view)
{
    // Undo, redo and a step to a frame of another size all come through here.
    m_documentChanged = QObject::connect(&view.document(), &COrvoDoc::changed, &view, [this] { dropStaleFrame(); });
}

CropTool::~CropTool() { QObject::disconnect(m_documentChanged); }

viewmodel::Size CropTool::imageSize() const
{
    const imaging::FrameImage* frame = view().document().frame();
    return frame ? viewmodel::Size { frame->width(), frame->height() } : viewmodel::Size {};
}

void CropTool::dropFrame()
{
    m_frame.reset();
    m_atPress.reset();
    m_handle = viewmodel::CropHandle::None;
    view().viewport()->update();
}

void CropTool::dropStaleFrame()
{
    if (m_frame && !m_frame->isValidFor(imageSize())) {
        m_drag = Drag::None;
        dropFrame();
    }
}

void CropTool::press(const ToolEvent& event)
{
    remember(event);
    dropStaleFrame();
    if (!m_frame) {
        m_drag = Drag::NewFrame;
        m_from = event.viewport;
        m_to = event.viewport;
        m_fromImage = view().transform().toImageClamped(event.viewport);
        view().viewport()->update();
        return;
    }
    const viewmodel::CropHandle hit = event.image ? m_frame->hitTest(*event.image) : viewmodel::CropHandle::None;
    if (hit == viewmodel::CropHandle::Inside) {
        cropToFrame();
    } else if (viewmodel::isResizeHandle(hit)) {
        m_drag = Drag::Handle;
        m_handle = hit;
        m_atPress = m_frame;
        m_from = event.viewport;
    } else {
        dropFrame();
    }
}

void CropTool::cropToFrame()
{
    const viewmodel::CropFrame frame = *m_frame;
    dropFrame();
    // Each frame is cut to the part of the rectangle it has; a rectangle
    // covering the whole frame cuts nothing and only goes.
    view().document().changeFrames([&frame](imaging::FrameImage& image, int) {
        const auto region = frame.cropRegion({ image.width(), image.height() });
        return region && imaging::crop(image, region->left, region->top, region->right, region->bottom);
    });
}

void CropTool::move(const ToolEvent& event)
{
    remember(event);
    if (m_drag == Drag::NewFrame) {
        m_to = event.viewport;
    } else if (m_drag == Drag::Handle && m_atPress) {
        const viewmodel::Point delta { event.viewport.x - m_from.x, event.viewport.y - m_from.y };
        m_frame = m_atPress->withHandleDragged(m_handle, delta, view().transform().zoom());
    }
    view().viewport()->update();
}

void CropTool::release(const ToolEvent& event)
{
    const Drag ended = m_drag;
    m_drag = Drag::None;
    if (ended == Drag::NewFrame) {
        const viewmodel::ViewTransform transform = view().transform();
        m_frame = viewmodel::CropFrame::fromDrag(m_fromImage, transform.toImageClamped(event.viewport),
            transform.imageSize());
    } else if (ended == Drag::Handle) {
        m_atPress.reset();
        m_handle = viewmodel::CropHandle::None;
    }
    view().viewport()->update();
}

bool CropTool::key(const QKeyEvent& event)
{
    if (event.key() != Qt::Key_Escape || !m_frame || dragging())
        return false;
    dropFrame();
    return true;
}

void CropTool::paint(QPainter& painter) const
{
    if (m_drag == Drag::NewFrame) {
        paintRubberBand(painter, QRect(QPoint(m_from.x, m_from.y), QPoint(m_to.x, m_to.y)).normalized());
        return;
    }
    if (!m_frame || !m_frame->isValidFor(imageSize()))
        return;
    // Through the corners of the first and the last pixel, as the handles
    // reach inside from there.
    const viewmodel::ViewTransform transform = view().transform();
    const viewmodel::Rect r = m_frame->rect();
    const viewmodel::Point topLeft = transform.toViewport({ r.left, r.top });
    const viewmodel::Point bottomRight = transform.toViewport({ r.right - 1, r.bottom - 1 });
    const viewmodel::Rect outline { topLeft.x, topLeft.y, bottomRight.x, bottomRight.y };
    paintRubberBand(painter, toQRect(outline).adjusted(0, 0, -1, -1));
    // A white ring round a black core: one of the two shows on any picture.
    for (const viewmodel::Rect& square : viewmodel::cropHandleSquares(outline)) {
        const QRect handle = toQRect(square);
        painter.fillRect(handle, Qt::white);
        painter.fillRect(handle.adjusted(1, 1, -1, -1), Qt::black);
    }
}

void CropTool::describe(const ToolEvent& event, viewmodel::CursorContext& context) const
{
    if (m_drag == Drag::Handle)
        context.cropHandle = m_handle;
    else if (m_frame && event.image && m_frame->isValidFor(imageSize()))
        context.cropHandle = m_frame->hitTest(*event.image);
}
