#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace document {

// The names of the regular files directly inside dir, unsorted. FIFOs, sockets
// and devices are left out (opening a FIFO would block the interface), and so
// are directories and links to them; a link to a regular file counts as that
// file. A directory that cannot be listed gives an empty list and sets error.
std::vector<std::string> listRegularFiles(const std::filesystem::path& dir, std::error_code& error);

// When the directory's entries last changed on disk, so a caller can tell
// whether a scan it made earlier is still current.
std::filesystem::file_time_type directoryStamp(const std::filesystem::path& dir);

} // namespace document
