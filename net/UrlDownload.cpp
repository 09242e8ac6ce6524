#include "net/UrlDownload.h"

#include <curl/curl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

namespace net {

namespace {

constexpr const char* AllowedProtocols = "http,https,ftp";

void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    int fd = -1;
    const DownloadProgress* progress = nullptr;
    bool cancelled = false;
    int writeErrno = 0;
};

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t total = size * count;
    std::size_t written = 0;
    while (written < total) {
        const ssize_t step = ::write(transfer.fd, data + written, total - written);
        if (step < 0) {
            if (errno == EINTR)
                continue;
            transfer.writeErrno = errno;
            return 0; // anything short of `total` stops the transfer
        }
        written += static_cast<std::size_t>(step);
    }
    return total;
}

int reportProgress(void* user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t)
{
    auto& transfer = *static_cast<Transfer*>(user);
    if (!transfer.progress || !*transfer.progress)
        return 0;
    const auto known = [](curl_off_t value) { return value > 0 ? static_cast<std::uint64_t>(value) : 0u; };
    if ((*transfer.progress)(known(received), known(total)))
        return 0;
    transfer.cancelled = true;
    return 1;
}

using Handle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

} // namespace

DownloadResult download(const std::string& address, int fd, const DownloadOptions& options,
                        const DownloadProgress& progress)
{
    initialiseOnce();
    DownloadResult result;
    Handle curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) {
        result.error = "The download could not start.";
        return result;
    }
    Transfer transfer{ fd, &progress };
    std::vector<char> message(CURL_ERROR_SIZE, '\0');
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, AllowedProtocols);
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, AllowedProtocols);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedBytes);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, options.lowSpeedSeconds);
    // Worker threads must not get SIGALRM from the name lookup's timeout.
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, message.data());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &reportProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    if (!options.caFile.empty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, options.caFile.c_str());

    const CURLcode code = curl_easy_perform(handle);
    if (code == CURLE_OK) {
        result.status = DownloadStatus::Done;
        return result;
    }
    if (transfer.cancelled) {
        result.status = DownloadStatus::Cancelled;
        result.error = "The download was cancelled.";
        return result;
    }
    if (transfer.writeErrno != 0)
        result.error = std::string("The download could not be written: ") + std::strerror(transfer.writeErrno);
    else
        result.error = message[0] != '\0' ? std::string(message.data()) : std::string(curl_easy_strerror(code));
    return result;
}

DownloadResult fetchToFolder(const std::string& address, const std::filesystem::path& folder,
                             const std::string& extension, const DownloadOptions& options,
                             const DownloadProgress& progress)
{
    DownloadResult result;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (!error)
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
        if (error) {
            result.error = "The download folder could not be made: " + error.message();
            return result;
        }
    }
    // mkstemps opens the file with O_EXCL and mode 0600.
    std::string pattern = (folder / "tv-download-XXXXXX").string() + extension;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
    if (fd < 0) {
        result.error = std::string("The download file could not be made: ") + std::strerror(errno);
        return result;
    }
    result = download(address, fd, options, progress);
    if (::close(fd) != 0 && result.status == DownloadStatus::Done) {
        result.status = DownloadStatus::Failed;
        result.error = std::string("The download could not be written: ") + std::strerror(errno);
    }
    if (result.status == DownloadStatus::Done)
        result.file = name.data();
    else
        ::unlink(name.data());
    return result;
}

} // namespace net
