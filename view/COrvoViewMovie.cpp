// The image view's cine loop, driven by a timer the view owns: no nested
// event loop, so closing the window while it plays is safe.

#include "view/COrvoView.h"

#include "document/COrvoDoc.h"
#include "view/tools/ViewTool.h"

#include <QTimer>

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
        // The next step is timed once the last one is on the screen, so no
        // frame goes unseen however long a paint takes.
        connect(this, &COrvoView::framePainted, this, [this] {
            if (playingMovie() && !m_movieTimer->isActive())
                scheduleMovieStep();
        });
    }
    m_movieClock.start();
    m_movieSchedule.restart(0.0, m_document.frameTime());
    scheduleMovieStep();
    emit movieChanged();
}

void COrvoView::scheduleMovieStep()
{
    const double now = static_cast<double>(m_movieClock.nsecsElapsed()) / 1e6;
    m_movieTimer->start(m_movieSchedule.waitBeforeNextStep(now, m_document.frameTime()));
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
    m_movieSchedule.stepTaken();
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
