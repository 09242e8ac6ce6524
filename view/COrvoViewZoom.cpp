// The image view's zoom commands, wheel and typed keys (and ESC, which stops a movie).

#include "view/COrvoView.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/model/ZoomSteps.h"
#include "view/tools/ViewTool.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>
#include <utility>

std::optional<float> COrvoView::zoomFor(ZoomCommand command) const
{
    const imaging::FrameImage* frame = m_document.frame();
    if (!frame)
        return std::nullopt;
    const float now = m_document.zoom();
    switch (command) {
    case ZoomCommand::StepIn: return viewmodel::zoomStepIn(now);
    case ZoomCommand::StepOut: return viewmodel::zoomStepOut(now);
    case ZoomCommand::Fit: {
        // The area the frame would have without scroll bars.
        const QSize client = maximumViewportSize();
        return viewmodel::fitZoom({ frame->width(), frame->height() }, { client.width(), client.height() });
    }
    case ZoomCommand::ActualSize: return now == 1.0F ? std::nullopt : std::optional<float>(1.0F);
    case ZoomCommand::Back:
    case ZoomCommand::Forward: return std::nullopt;
    }
    return std::nullopt;
}

bool COrvoView::canZoom(ZoomCommand command) const
{
    if (!m_document.frame())
        return false;
    if (command == ZoomCommand::Back)
        return m_zoomHistory.canGoBack();
    if (command == ZoomCommand::Forward)
        return m_zoomHistory.canGoForward();
    return zoomFor(command).has_value();
}

void COrvoView::applyZoom(float factor, viewmodel::ZoomCause cause)
{
    m_document.setZoom(factor);
    updateScrollRanges();
    m_zoomHistory.add(scrollPosition(), factor, cause);
    viewport()->update();
    emit zoomChanged();
}

void COrvoView::setZoomAndScroll(float factor, viewmodel::Point scroll, ZoomRecord record)
{
    m_document.setZoom(factor);
    updateScrollRanges();
    horizontalScrollBar()->setValue(scroll.x);
    verticalScrollBar()->setValue(scroll.y);
    if (record == ZoomRecord::Yes)
        m_zoomHistory.add(scrollPosition(), factor, viewmodel::ZoomCause::Other);
    viewport()->update();
    emit zoomChanged();
}

void COrvoView::zoomAbout(float factor, viewmodel::Point pixel, viewmodel::Point at)
{
    setZoomAndScroll(factor, transform().zoomedAbout(factor, pixel, at).scroll(), ZoomRecord::No);
}

void COrvoView::recordZoom()
{
    m_zoomHistory.add(scrollPosition(), m_document.zoom(), viewmodel::ZoomCause::Other);
    emit zoomChanged();
}

void COrvoView::fitIfPending()
{
    const imaging::FrameImage* frame = m_document.frame();
    if (!m_fitPending || !frame)
        return;
    const QSize client = viewport()->size();
    if (frame->width() <= client.width() && frame->height() <= client.height())
        m_fitPending = false;
    // A window too small to fit anything in tries again at a later paint.
    else if (zoom(ZoomCommand::Fit))
        m_fitPending = false;
}

void COrvoView::setZoomFactor(float factor)
{
    if (m_document.frame() && std::isfinite(factor) && factor > 0.0F)
        applyZoom(factor, viewmodel::ZoomCause::Other);
}

bool COrvoView::zoom(ZoomCommand command)
{
    if (!canZoom(command))
        return false;
    if (command == ZoomCommand::Back || command == ZoomCommand::Forward) {
        const auto entry = command == ZoomCommand::Back ? m_zoomHistory.back() : m_zoomHistory.forward();
        if (!entry)
            return false;
        m_document.setZoom(static_cast<float>(entry->zoom));
        updateScrollRanges();
        horizontalScrollBar()->setValue(entry->scroll.x);
        verticalScrollBar()->setValue(entry->scroll.y);
        viewport()->update();
        emit zoomChanged();
        return true;
    }
    applyZoom(*zoomFor(command), viewmodel::ZoomCause::Other);
    return true;
}

void COrvoView::wheelEvent(QWheelEvent* event)
{
    if (closeAutoScroll()) {
        event->accept();
        return;
    }
    // With a button held the wheel scrolls, as in any scrolling view.
    const int delta = event->angleDelta().y();
    if (event->buttons() != Qt::NoButton || delta == 0 || !m_document.frame()) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    if (const auto factor = viewmodel::wheelZoom(m_document.zoom(), delta))
        applyZoom(*factor, viewmodel::ZoomCause::Wheel);
    event->accept();
}

void COrvoView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && playingMovie()) {
        stopMovie();
        event->accept();
        return;
    }
    if (m_toolHandler && m_toolHandler->key(*event)) {
        event->accept();
        return;
    }
    if (selectionKey(event))
        return;
    if (viewmodel::cursorFollowsKeys(m_tool))
        updateCursor();
    // The zoom keys are typed characters, wherever the keyboard puts them.
    static const std::pair<QString, ZoomCommand> Keys[] = {
        { QStringLiteral("+"), ZoomCommand::StepIn },
        { QStringLiteral("-"), ZoomCommand::StepOut },
        { QStringLiteral("*"), ZoomCommand::Fit },
        { QStringLiteral("/"), ZoomCommand::ActualSize },
    };
    // A zoom in the middle of a zoom rectangle would leave it pointing at
    // another part of the frame.
    const bool rubberBand = m_tool == viewmodel::Tool::ZoomRectangle && m_toolHandler && m_toolHandler->dragging();
    for (const auto& [text, command] : Keys) {
        if (event->text() == text) {
            if (!rubberBand)
                zoom(command);
            event->accept();
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void COrvoView::keyReleaseEvent(QKeyEvent* event)
{
    if (viewmodel::cursorFollowsKeys(m_tool))
        updateCursor();
    QAbstractScrollArea::keyReleaseEvent(event);
}
