#pragma once

// Lists the regular files under a folder on a worker thread, handing each one
// to the caller as it is found, so that a list can fill while the walk goes on.
// Links to folders are not followed (no loops); a link to a regular file
// counts as that file. Unreadable folders are passed over.

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

namespace dicom {

class FolderScan {
public:
    // Called on the worker thread: once per regular file, then once at the end
    // (cancelled or not).
    using FileFound = std::function<void(const std::filesystem::path&)>;
    using Finished = std::function<void(bool cancelled)>;

    FolderScan() = default;
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;
    ~FolderScan() { cancel(); wait(); }

    // Starts a walk of root (its sub-folders too when recursive); a walk still
    // running is cancelled and waited for first.
    void start(std::filesystem::path root, bool recursive, FileFound onFile, Finished onFinished = {});
    // Asks the walk to stop after the file it is at.
    void cancel() { m_cancel.store(true); }
    // Whether the walk has been asked to stop: lets a slow step per file end early.
    bool cancelled() const { return m_cancel.load(); }
    void wait();
    bool running() const { return m_running.load(); }

    // The same walk on the calling thread; returns false when cancelled through stop.
    static bool walk(const std::filesystem::path& root, bool recursive, const FileFound& onFile,
                     const std::atomic<bool>& stop);

private:
    std::thread m_worker;
    std::atomic<bool> m_cancel {false};
    std::atomic<bool> m_running {false};
};

} // namespace dicom
