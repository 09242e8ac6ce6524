#include "dicom/FolderScan.h"

#include "dicom/DecodeBuffer.h"
#include "dicom/DicomReader.h"
#include "dicom/FolderWalk.h"

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <limits>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dicom {

namespace fs = std::filesystem;

namespace {

// The bytes of a file opened by the walk, read with pread so that no shared
// file position is involved; a stop request ends the read at its next chunk.
class DescriptorSource final : public ByteSource {
public:
    DescriptorSource(int fd, std::uint64_t size, const std::atomic<bool>& stop) : m_fd(fd), m_size(size), m_stop(stop) {}
    std::uint64_t size() const override { return m_size; }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) override
    {
        std::size_t done = 0;
        while (done < out.size() && !m_stop.load()) {
            if (offset + done > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
                break;
            const ssize_t n = ::pread(m_fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    int m_fd;
    std::uint64_t m_size;
    const std::atomic<bool>& m_stop;
};

struct Job {
    std::uint64_t order = 0;
    int fd = -1;
    std::uint64_t size = 0;
    std::string folder;
    std::string name;
};

// The header readers: jobs come in walk order, records go out in the same
// order. At most `window` files are between the walk and the caller, so a
// slow caller holds the walk back instead of letting records pile up.
class ReaderPool {
public:
    ReaderPool(const ScanOptions& options, const FolderScan::RecordFound& onRecord, const std::atomic<bool>& stop)
        : m_options(options), m_onRecord(onRecord), m_stop(stop)
    {
        unsigned workers = options.workers ? options.workers : std::thread::hardware_concurrency();
        workers = std::max(1u, workers);
        m_window = 8 * workers + 8;
        m_threads.reserve(workers);
        for (unsigned i = 0; i < workers; ++i)
            m_threads.emplace_back([this] { work(); });
    }
    ~ReaderPool() { finish(); }

    // Waits while the window is full; false when stopped meanwhile.
    bool push(Job job)
    {
        std::unique_lock lock(m_mutex);
        // Polled as well: a stop request comes from outside without a notification.
        while (m_next - m_delivered >= m_window && !m_stop.load())
            m_roomFree.wait_for(lock, std::chrono::milliseconds(20));
        if (m_stop.load()) {
            ::close(job.fd);
            return false;
        }
        job.order = m_next++;
        m_jobs.push_back(std::move(job));
        m_jobReady.notify_one();
        return true;
    }

    void finish()
    {
        {
            std::lock_guard lock(m_mutex);
            m_walkDone = true;
        }
        m_jobReady.notify_all();
        for (auto& thread : m_threads)
            if (thread.joinable())
                thread.join();
    }

    std::uint64_t dicomFiles() const { return m_dicomFiles; }
    std::uint64_t otherFiles() const { return m_otherFiles; }

private:
    void work();
    std::optional<ScanRecord> read(Job& job);
    void deliver(std::unique_lock<std::mutex>& lock);

    const ScanOptions& m_options;
    const FolderScan::RecordFound& m_onRecord;
    const std::atomic<bool>& m_stop;
    std::uint64_t m_window = 0;

    std::mutex m_mutex;
    std::condition_variable m_jobReady;
    std::condition_variable m_roomFree;
    std::deque<Job> m_jobs;
    // Finished reads waiting for their turn, indexed by order - m_delivered.
    std::deque<std::optional<std::optional<ScanRecord>>> m_done;
    std::uint64_t m_next = 0;
    std::uint64_t m_delivered = 0;
    bool m_delivering = false;
    bool m_walkDone = false;
    std::uint64_t m_dicomFiles = 0;
    std::uint64_t m_otherFiles = 0;
    std::vector<std::thread> m_threads;
};

std::optional<ScanRecord> ReaderPool::read(Job& job)
{
    DescriptorSource source(job.fd, job.size, m_stop);
    DicomDataset dataset;
    DicomReader reader(ReadOptions {HeaderOnly::Yes, PixelData::Stop, {}});
    const bool ok = reader.read(source, dataset);
    ::close(job.fd);
    job.fd = -1;
    if (!ok || m_stop.load() || (m_options.accept && !m_options.accept(dataset)))
        return std::nullopt;
    ScanRecord record = scanRecordOf(dataset, std::move(job.folder), std::move(job.name));
    if (m_options.prepare && !m_options.prepare(record))
        return std::nullopt;
    return record;
}

// Hands out every finished record whose turn has come; one thread at a time,
// the others leave their results in m_done.
void ReaderPool::deliver(std::unique_lock<std::mutex>& lock)
{
    if (m_delivering)
        return;
    m_delivering = true;
    while (!m_done.empty() && m_done.front().has_value()) {
        std::optional<ScanRecord> record = std::move(*m_done.front());
        m_done.pop_front();
        ++m_delivered;
        if (record)
            ++m_dicomFiles;
        else
            ++m_otherFiles;
        m_roomFree.notify_one();
        if (record && !m_stop.load()) {
            lock.unlock();
            m_onRecord(std::move(*record));
            lock.lock();
        }
    }
    m_delivering = false;
}

void ReaderPool::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_jobReady.wait(lock, [&] { return !m_jobs.empty() || m_walkDone; });
        if (m_jobs.empty())
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        std::optional<ScanRecord> record;
        if (m_stop.load())
            ::close(job.fd);
        else
            record = read(job);
        lock.lock();
        const std::size_t slot = static_cast<std::size_t>(job.order - m_delivered);
        if (m_done.size() <= slot)
            m_done.resize(slot + 1);
        m_done[slot].emplace(std::move(record));
        deliver(lock);
    }
}

} // namespace

bool FolderScan::scan(const fs::path& root, const ScanOptions& options, const RecordFound& onRecord,
                      ScanCounts& counts, const std::atomic<bool>& stop)
{
    counts = {};
    bool complete = false;
    {
        ReaderPool pool(options, onRecord, stop);
        auto onFile = [&](int folderFd, const std::string& folder, const char* name) {
            // Non-blocking, so that a FIFO put in place of the file since the
            // listing cannot hold the walk; fstat then says what was opened.
            const int fd = ::openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            struct stat status {};
            if (fd < 0 || ::fstat(fd, &status) != 0) {
                if (fd >= 0)
                    ::close(fd);
                ++counts.unreadable;
                return;
            }
            if (!S_ISREG(status.st_mode)) {
                ::close(fd);
                ++counts.special;
                return;
            }
            if (options.walked)
                options.walked(FoundFile {folder, name});
            pool.push(Job {0, fd, static_cast<std::uint64_t>(status.st_size), folder, name});
        };
        complete = walkFolders(root, options.recursive, onFile, counts, stop);
        pool.finish();
        counts.dicomFiles += pool.dicomFiles();
        counts.otherFiles += pool.otherFiles();
    }
    return complete && !stop.load();
}

bool FolderScan::walk(const fs::path& root, bool recursive, const std::function<void(const FoundFile& file)>& onFile,
                      ScanCounts& counts, const std::atomic<bool>& stop)
{
    counts = {};
    auto found = [&](int, const std::string& folder, const char* name) {
        ++counts.otherFiles;
        onFile(FoundFile {folder, name});
    };
    return walkFolders(root, recursive, found, counts, stop) && !stop.load();
}

void FolderScan::start(fs::path root, ScanOptions options, RecordFound onRecord, Finished onFinished)
{
    cancel();
    wait();
    m_cancel.store(false);
    m_running.store(true);
    // Fixed now: the working directory may change while the scan runs.
    root = absoluteFolder(root);
    m_worker = std::thread([this, root = std::move(root), options = std::move(options),
                            onRecord = std::move(onRecord), onFinished = std::move(onFinished)] {
        ScanCounts counts;
        const bool complete = scan(root, options, onRecord, counts, m_cancel);
        m_running.store(false);
        if (onFinished)
            onFinished(counts, !complete);
    });
}

void FolderScan::wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

} // namespace dicom
