#include "app/FrameJob.h"

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// The frames other than the current one, shared out among the workers.
class FrameQueue {
public:
    FrameQueue(COrvoDoc& doc, std::function<bool(imaging::FrameImage&)> change)
        : m_doc(doc)
        , m_change(std::move(change))
        , m_changed(static_cast<std::size_t>(doc.frameCount()), 0)
    {
        for (int f = 0; f < doc.frameCount(); ++f) {
            if (f != doc.currentFrameIndex())
                m_frames.push_back(f);
        }
    }

    void work()
    {
        for (;;) {
            const std::size_t next = m_cancelled.load() ? m_frames.size() : m_next.fetch_add(1);
            if (next >= m_frames.size()) {
                m_idle.fetch_add(1);
                return;
            }
            const int f = m_frames[next];
            m_changed[static_cast<std::size_t>(f)] = m_change(*m_doc.frame(f)) ? 1 : 0;
            m_done.fetch_add(1);
        }
    }

    void cancel() { m_cancelled.store(true); }
    bool cancelled() const { return m_cancelled.load(); }
    int done() const { return m_done.load(); }
    // How many workers have nothing left to do.
    unsigned idle() const { return m_idle.load(); }
    // Read after the workers are joined.
    bool changed(int frame) const { return m_changed[static_cast<std::size_t>(frame)] != 0; }

private:
    COrvoDoc& m_doc;
    std::function<bool(imaging::FrameImage&)> m_change;
    std::vector<int> m_frames;
    std::vector<char> m_changed;
    std::atomic<std::size_t> m_next { 0 };
    std::atomic<int> m_done { 0 };
    std::atomic<unsigned> m_idle { 0 };
    std::atomic<bool> m_cancelled { false };
};

unsigned workerCount(unsigned asked, int frames)
{
    const unsigned wanted = asked > 0 ? asked : std::max(1U, std::thread::hardware_concurrency());
    return std::min(wanted, static_cast<unsigned>(std::max(frames, 1)));
}

// Keeps the window up to date and the event loop turning until every
// worker is idle; the window's Cancel tells them to stop.
void waitWithProgress(QWidget* parent, const FrameQueue& queue, int frameCount, unsigned workers,
                      const std::function<void()>& cancel)
{
    QProgressDialog progress(QStringLiteral("Please wait..."), QStringLiteral("Cancel"), 1, frameCount, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&progress, &QProgressDialog::canceled, cancel);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (progress.wasCanceled())
            cancel();
        const int frame = std::min(queue.done() + 1, frameCount);
        progress.setValue(frame);
        progress.setLabelText(QStringLiteral("Frame : %1").arg(frame));
        if (queue.idle() == workers)
            loop.quit();
    });
    poll.start(30);
    loop.exec();
}

} // namespace

int runFrameJob(QWidget* parent, COrvoDoc& doc, const std::function<bool(imaging::FrameImage&)>& change,
                COrvoDoc::Scope scope, unsigned workers)
{
    if (!doc.frame())
        return 0;
    const bool everyFrame = (scope == COrvoDoc::Scope::InScope && doc.applyToAll())
        || (scope == COrvoDoc::Scope::AgreeingFrames && doc.allFramesAgree());
    if (!everyFrame) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const int count = doc.changeFrames([&change](imaging::FrameImage& frame, int) { return change(frame); },
                                           COrvoDoc::Scope::CurrentOnly);
        QApplication::restoreOverrideCursor();
        return count;
    }
    const int current = doc.currentFrameIndex();
    FrameQueue queue(doc, change);
    {
        const unsigned count = workerCount(workers, doc.frameCount() - 1);
        std::vector<std::jthread> threads;
        for (unsigned i = 0; i < count; ++i)
            threads.emplace_back([&queue] { queue.work(); });
        waitWithProgress(parent, queue, doc.frameCount(), count, [&queue] { queue.cancel(); });
    }
    const bool cancelled = queue.cancelled();
    return doc.changeFrames(
        [&](imaging::FrameImage& frame, int index) {
            if (index == current)
                return !cancelled && change(frame);
            return queue.changed(index);
        },
        scope);
}
