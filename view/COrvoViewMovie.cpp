// The image view's cine loop, driven by a timer the view owns: no nested
// event loop, so closing the window while it plays is safe.

#include "view/COrvoView.h"

#include "document/COrvoDoc.h"
#include "view/tools/ViewTool.h"

#include <QTimer>

#include <cmath>

bool COrvoView::canPlayMovie() const
{
    return m_document.frameCount() > 1 && m_document.frameTime() > 0.0;
}

void COrvoView::playMovie(Movie direction)
{
    const viewmodel::Tool wanted = direction == Movie::Forward ? viewmodel::Tool::MoviePlayingForward
                                                               : viewmodel::Tool::MoviePlayingBackward;
    if (m_tool == wanted) {
        stopMovie();
        return;
    }
    if (!canPlayMovie())
        return;
    if (!playingMovie()) {
        endDrag();
        m_toolHandler.reset();
        m_movieStart = m_document.currentFrameIndex();
    }
    // The other direction takes over; the frame to come back to stays.
    m_tool = wanted;
    updateCursor();
    if (!m_movieTimer) {
        m_movieTimer = new QTimer(this);
        m_movieTimer->setSingleShot(true);
        m_movieTimer->setTimerType(Qt::PreciseTimer);
        connect(m_movieTimer, &QTimer::timeout, this, &COrvoView::stepMovie);
        // The frame time is the pause after a frame is on the screen.
        connect(this, &COrvoView::framePainted, this, [this] {
            if (playingMovie())
                m_movieTimer->start(static_cast<int>(std::lround(m_document.frameTime())));
        });
    }
    m_movieTimer->start(static_cast<int>(std::lround(m_document.frameTime())));
    emit movieChanged();
}

void COrvoView::stepMovie()
{
    if (!playingMovie())
        return;
    if (m_tool == viewmodel::Tool::MoviePlayingForward) {
        if (!m_document.nextFrame())
            m_document.firstFrame();
    } else if (!m_document.previousFrame()) {
        m_document.lastFrame();
    }
    viewport()->update();
}

void COrvoView::stopMovie()
{
    if (!playingMovie())
        return;
    if (m_movieTimer)
        m_movieTimer->stop();

    m_tool = viewmodel::Tool::PanHand;
    selectTool(viewmodel::Tool::PanHand);
    updateCursor();
    m_document.setCurrentFrame(m_movieStart);
    viewport()->update();
    emit movieChanged();
}
