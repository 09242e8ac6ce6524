#include "dicom/FolderScan.h"

#include <system_error>

namespace dicom {

namespace fs = std::filesystem;

bool FolderScan::walk(const fs::path& root, bool recursive, const FileFound& onFile, const std::atomic<bool>& stop)
{
    std::error_code error;
    const auto options = fs::directory_options::skip_permission_denied;
    auto visit = [&](const fs::directory_entry& entry) {
        std::error_code ignored;
        if (entry.is_regular_file(ignored))
            onFile(entry.path());
    };
    if (recursive) {
        // Links to folders are listed but not entered: the default of the
        // recursive iterator, which is what keeps link loops out.
        fs::recursive_directory_iterator it(root, options, error), end;
        for (; !error && it != end; it.increment(error)) {
            if (stop.load())
                return false;
            visit(*it);
        }
    } else {
        fs::directory_iterator it(root, options, error), end;
        for (; !error && it != end; it.increment(error)) {
            if (stop.load())
                return false;
            visit(*it);
        }
    }
    return !stop.load();
}

void FolderScan::start(fs::path root, bool recursive, FileFound onFile, std::function<void(bool)> onFinished)
{
    cancel();
    wait();
    m_cancel.store(false);
    m_running.store(true);
    m_worker = std::thread([this, root = std::move(root), recursive, onFile = std::move(onFile),
                            onFinished = std::move(onFinished)] {
        const bool complete = walk(root, recursive, onFile, m_cancel);
        m_running.store(false);
        if (onFinished)
            onFinished(!complete);
    });
}

void FolderScan::wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

} // namespace dicom
