#include "document/DirectoryScan.h"

namespace document {

std::vector<std::string> listRegularFiles(const std::filesystem::path& dir, std::error_code& error)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    error.clear();
    fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, error);
    if (error)
        return names;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            return names;
        std::error_code statusError;
        // status() follows links: a link to a directory or a FIFO is not a
        // regular file and is skipped like the thing it points at.
        if (it->is_regular_file(statusError) && !statusError)
            names.push_back(it->path().filename().string());
    }
    return names;
}

std::filesystem::file_time_type directoryStamp(const std::filesystem::path& dir)
{
    std::error_code error;
    const auto stamp = std::filesystem::last_write_time(dir, error);
    return error ? std::filesystem::file_time_type::min() : stamp;
}

} // namespace document
