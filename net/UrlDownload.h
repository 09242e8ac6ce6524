#pragma once

// Fetches one HTTP, HTTPS or FTP address into a file of the caller's, and
// into a private temporary file of a folder (the cache), which goes again
// when the fetch does not succeed.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace net {

struct DownloadOptions {
    // Certificates to trust instead of the system's (PEM); empty: the system's.
    std::string caFile;
    long connectTimeoutSeconds = 30;
    // A transfer slower than lowSpeedBytes per second for lowSpeedSeconds fails.
    long lowSpeedBytes = 1;
    long lowSpeedSeconds = 60;
    long maxRedirects = 10;
};

// Bytes received so far and the whole size (0 while unknown); false cancels.
using DownloadProgress = std::function<bool(std::uint64_t received, std::uint64_t total)>;

enum class DownloadStatus { Done, Failed, Cancelled };

struct DownloadResult {
    DownloadStatus status = DownloadStatus::Failed;
    std::string error; // why it failed, for people
    std::filesystem::path file; // fetchToFolder: the file written on success
};

// Writes what the address gives to the open descriptor `fd`. Only http,
// https and ftp are fetched, for the address and for every redirect; an HTTP
// error status fails.
DownloadResult download(const std::string& address, int fd, const DownloadOptions& options,
                        const DownloadProgress& progress = {});

// Creates `folder` (owner only) when missing, makes a new file there that
// only the owner can read and write, named by the program and ending in
// `extension` (which must be safe, see safeExtension), and downloads into
// it. On failure or cancel the file is removed again.
DownloadResult fetchToFolder(const std::string& address, const std::filesystem::path& folder,
                             const std::string& extension, const DownloadOptions& options,
                             const DownloadProgress& progress = {});

} // namespace net
