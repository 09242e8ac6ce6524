#include "dicom/ParallelFrames.h"

#include "dicom/DicomError.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace dicom {

namespace {

// Frames decoded ahead of the one being handed on, per thread: enough to
// keep every thread busy while emit writes a frame out, few enough that a
// long series never sits in memory twice.
constexpr std::size_t AheadPerThread = 2;
constexpr unsigned MaxThreads = 8;

Result<base::Frame> decodeGuarded(const FrameDecoder& decode, std::size_t index)
{
    try {
        return decode(index);
    } catch (const std::bad_alloc&) {
        return Error{DicomError::OutOfMemory, "out of memory decoding a frame"};
    }
}

Result<std::size_t> decodeInOrder(std::size_t count, const FrameDecoder& decode, const FrameSink& emit)
{
    for (std::size_t i = 0; i < count; ++i) {
        auto frame = decodeGuarded(decode, i);
        if (!frame)
            return frame.error();
        if (auto taken = emit(std::move(*frame)); !taken)
            return taken.error();
    }
    return count;
}

// Frames in flight between the decoding threads and the emitting one: slot
// i % size holds frame i once decoded, until it is handed on.
class FrameQueue {
public:
    FrameQueue(std::size_t count, std::size_t window) : m_count(count), m_slots(window) {}

    // The next frame a decoding thread should make; none when done or stopped.
    std::optional<std::size_t> claim()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopped || m_next >= m_count || m_next < m_handedOn + m_slots.size(); });
        if (m_stopped || m_next >= m_count)
            return std::nullopt;
        return m_next++;
    }

    void put(std::size_t index, Result<base::Frame> frame)
    {
        {
            std::lock_guard lock(m_mutex);
            m_slots[index % m_slots.size()].emplace(std::move(frame));
        }
        m_changed.notify_all();
    }

    Result<base::Frame> take(std::size_t index)
    {
        std::unique_lock lock(m_mutex);
        auto& slot = m_slots[index % m_slots.size()];
        m_changed.wait(lock, [&slot] { return slot.has_value(); });
        Result<base::Frame> frame = std::move(*slot);
        slot.reset();
        ++m_handedOn;
        lock.unlock();
        m_changed.notify_all();
        return frame;
    }

    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    const std::size_t m_count;
    std::vector<std::optional<Result<base::Frame>>> m_slots;
    std::size_t m_next = 0;
    std::size_t m_handedOn = 0;
    bool m_stopped = false;
};

} // namespace

unsigned frameThreads(std::size_t frames)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::min<std::size_t>({frames, cores, MaxThreads}));
}

Result<std::size_t> decodeFrames(std::size_t count, const std::function<FrameDecoder()>& makeDecoder,
                                       const FrameSink& emit, unsigned threads)
{
    threads = std::min<std::size_t>(threads, count);
    if (threads <= 1)
        return count == 0 ? Result<std::size_t>(std::size_t{0}) : decodeInOrder(count, makeDecoder(), emit);

    std::vector<FrameDecoder> decoders;
    for (unsigned t = 0; t < threads; ++t)
        decoders.push_back(makeDecoder());
    FrameQueue queue(count, std::size_t{threads} * AheadPerThread);
    std::vector<std::jthread> workers;
    try {
        for (unsigned t = 0; t < threads; ++t) {
            workers.emplace_back([&queue, &decoder = decoders[t]] {
                while (auto index = queue.claim())
                    queue.put(*index, decodeGuarded(decoder, *index));
            });
        }
    } catch (const std::system_error&) {
        // Fewer threads than hoped for still decode every frame.
        if (workers.empty())
            return decodeInOrder(count, decoders.front(), emit);
    }
    Result<std::size_t> result = count;
    try {
        for (std::size_t i = 0; i < count; ++i) {
            auto frame = queue.take(i);
            if (!frame) {
                result = frame.error();
                break;
            }
            if (auto taken = emit(std::move(*frame)); !taken) {
                result = taken.error();
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        result = Error{DicomError::OutOfMemory, "out of memory keeping the frames"};
    }
    queue.stop();
    return result;
}

} // namespace dicom
