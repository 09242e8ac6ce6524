#include "export/FramePipeline.h"

#include "export/ImageWriters.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace exporting {

namespace {

Result<Picture> renderOne(const PictureSource& source, int frame, std::int32_t width, std::int32_t height,
                          Scaling scaling)
{
    if (!source.picture || frame < 0 || frame >= source.frameCount)
        return Error { ExportError::RenderFailed, "no frame " + std::to_string(frame + 1) };
    try {
        auto picture = source.picture(frame);
        if (!picture)
            return picture;
        const std::int32_t w = width > 0 ? width : picture->width;
        const std::int32_t h = height > 0 ? height : picture->height;
        if (w == picture->width && h == picture->height)
            return picture;
        return resamplePicture(*picture, w, h, scaling);
    } catch (const std::bad_alloc&) {
        return Error { ExportError::OutOfMemory, "not enough memory to render frame " + std::to_string(frame + 1) };
    } catch (...) {
        return Error { ExportError::RenderFailed, "frame " + std::to_string(frame + 1) + " could not be rendered" };
    }
}

// What the workers and the delivering thread share. A worker claims the next
// frame only while fewer than workers + 1 pictures are claimed and not yet
// handed on, which bounds the memory of a long run.
struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::size_t, Result<Picture>> ready;
    std::size_t next = 0;
    std::size_t delivered = 0;
    std::size_t limit = 1;
    bool stop = false;

    // Wakes every worker to leave, on every way out of the run (a sink that
    // throws included), before the threads are joined.
    void finish()
    {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
    }
};

struct FinishOnExit {
    Shared& shared;
    ~FinishOnExit() { shared.finish(); }
};

} // namespace

Result<void> renderInOrder(const PictureSource& source, std::span<const int> frames, std::int32_t width,
                           std::int32_t height, Scaling scaling, unsigned workers, const Progress& progress,
                           const PictureSink& sink)
{
    if (frames.empty())
        return {};
    if (workers == 0)
        workers = std::max(1U, std::thread::hardware_concurrency());
    workers = static_cast<unsigned>(std::min<std::size_t>(workers, frames.size()));
    Shared shared;
    shared.limit = workers + 1;

    auto work = [&]() {
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock lock(shared.mutex);
                shared.changed.wait(lock, [&] {
                    return shared.stop || shared.next >= frames.size() || shared.next - shared.delivered < shared.limit;
                });
                if (shared.stop || shared.next >= frames.size())
                    return;
                index = shared.next++;
            }
            Result<Picture> picture = progress.isCancelled()
                ? Result<Picture>(Error { ExportError::Cancelled, "cancelled" })
                : renderOne(source, frames[index], width, height, scaling);
            {
                std::lock_guard lock(shared.mutex);
                shared.ready.emplace(index, std::move(picture));
            }
            shared.changed.notify_all();
        }
    };

    Result<void> outcome;
    {
        std::vector<std::jthread> threads;
        try {
            threads.reserve(workers);
            for (unsigned i = 0; i < workers; ++i)
                threads.emplace_back(work);
        } catch (...) {
            // Whatever threads started carry the run; none at all is a failure.
            if (threads.empty())
                return Error { ExportError::OutOfMemory, "no thread could be started" };
        }
        const FinishOnExit finishOnExit { shared };
        for (std::size_t index = 0; index < frames.size(); ++index) {
            if (progress.isCancelled()) {
                outcome = Error { ExportError::Cancelled, "cancelled" };
                break;
            }
            std::unique_lock lock(shared.mutex);
            shared.changed.wait(lock, [&] { return shared.ready.count(index) != 0; });
            auto node = shared.ready.extract(index);
            lock.unlock();
            const bool goOn = sink(index, frames[index], std::move(node.mapped()));
            {
                std::lock_guard relock(shared.mutex);
                ++shared.delivered;
            }
            shared.changed.notify_all();
            if (progress.advance)
                progress.advance(static_cast<int>(index + 1));
            if (!goOn)
                break;
        }
    }
    return outcome;
}

} // namespace exporting
