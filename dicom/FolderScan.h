#pragma once

// Finds the DICOM files under a folder and reads each one's header, on
// worker threads, handing the records to the caller in scan order as they
// come, so that a list fills while the walk goes on.
//
// The walk never loops and never hangs: it keeps its own stack of folders
// (no recursion, however deep the tree), does not enter links to folders,
// opens every entry relative to its own folder's descriptor (never through
// the process's working directory), and reads only what is a regular file
// on the opened descriptor; FIFOs, devices and sockets are skipped unopened.

#include "dicom/DicomDataset.h"
#include "dicom/ScanRecord.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

namespace dicom {

// What a walk met. Every entry of a listed folder lands in exactly one of
// folders, dicomFiles, otherFiles, special, linkedFolders or unreadable.
struct ScanCounts {
    std::uint64_t folders = 0;       // folders listed, the root included
    std::uint64_t dicomFiles = 0;    // regular files that read as DICOM and were accepted
    std::uint64_t otherFiles = 0;    // regular files that are not DICOM, or that accept/prepare turned down
    std::uint64_t special = 0;       // FIFOs, devices, sockets: skipped unopened
    std::uint64_t linkedFolders = 0; // links to folders, not entered
    std::uint64_t unreadable = 0;    // files and folders that could not be opened or listed, broken links

    bool operator==(const ScanCounts&) const = default;
};

// A regular file the walk found: its folder (ending in "/") and its name.
struct FoundFile {
    std::string folder;
    std::string name;

    std::filesystem::path path() const { return folder + name; }
};

struct ScanOptions {
    bool recursive = false;
    unsigned workers = 0; // header readers; 0: one a core
    // Run on the workers after a file read header-only: false leaves the
    // file out (counted in otherFiles). "Search..." puts its criteria here.
    std::function<bool(const DicomDataset& dataset)> accept;
    // Run on the workers for an accepted record: may attach extra (a
    // thumbnail) or turn the file down (false: counted in otherFiles).
    std::function<bool(ScanRecord& record)> prepare;
    // Run on the walking thread for every regular file met, in walk order,
    // before it is read, whether it turns out to be DICOM or not: the
    // progress of the walk.
    std::function<void(const FoundFile& file)> walked;
};

class FolderScan {
public:
    // Called on a worker thread, one call at a time, in scan order: the
    // order in which the walk met the files (a folder's entries in the
    // order the system lists them, sub-folders after the files of their
    // parent).
    using RecordFound = std::function<void(ScanRecord&& record)>;
    // Called once at the end, on a worker thread.
    using Finished = std::function<void(const ScanCounts& counts, bool cancelled)>;

    FolderScan() = default;
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;
    ~FolderScan() { cancel(); wait(); }

    // Starts a scan of root; a scan still running is cancelled and waited for first.
    void start(std::filesystem::path root, ScanOptions options, RecordFound onRecord, Finished onFinished = {});
    // Asks the scan to stop; it does within a file's read.
    void cancel() { m_cancel.store(true); }
    bool cancelled() const { return m_cancel.load(); }
    void wait();
    bool running() const { return m_running.load(); }

    // The same scan on the calling thread (readers still on `workers`
    // threads); false when cancelled through stop.
    static bool scan(const std::filesystem::path& root, const ScanOptions& options, const RecordFound& onRecord,
                     ScanCounts& counts, const std::atomic<bool>& stop);

    // The walk alone, on the calling thread: every regular file in scan
    // order, nothing read. The counts leave dicomFiles 0 and count every
    // regular file in otherFiles. False when cancelled through stop.
    static bool walk(const std::filesystem::path& root, bool recursive,
                     const std::function<void(const FoundFile& file)>& onFile, ScanCounts& counts,
                     const std::atomic<bool>& stop);

private:
    std::thread m_worker;
    std::atomic<bool> m_cancel {false};
    std::atomic<bool> m_running {false};
};

} // namespace dicom
