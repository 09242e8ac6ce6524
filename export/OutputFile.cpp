#include "export/OutputFile.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <streambuf>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exporting {

namespace {

// An output stream straight onto a file descriptor, so that a failed write
// (a full disk, a file size limit) shows as a failed stream at once.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : m_fd(fd) { setp(m_buffer.data(), m_buffer.data() + m_buffer.size()); }

    bool failed() const { return m_failed; }

protected:
    int_type overflow(int_type ch) override
    {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }

    int sync() override { return drain() ? 0 : -1; }

    std::streamsize xsputn(const char* data, std::streamsize count) override
    {
        // Large blocks bypass the buffer.
        if (count < static_cast<std::streamsize>(m_buffer.size()))
            return std::streambuf::xsputn(data, count);
        if (!drain() || !writeAll(data, static_cast<std::size_t>(count)))
            return 0;
        return count;
    }

private:
    bool drain()
    {
        const auto pending = static_cast<std::size_t>(pptr() - pbase());
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
        return pending == 0 || writeAll(m_buffer.data(), pending);
    }

    bool writeAll(const char* data, std::size_t size)
    {
        while (size > 0 && !m_failed) {
            const ssize_t done = ::write(m_fd, data, size);
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0) {
                m_failed = true;
                break;
            }
            data += done;
            size -= static_cast<std::size_t>(done);
        }
        return !m_failed;
    }

    int m_fd;
    bool m_failed = false;
    std::array<char, 65536> m_buffer {};
};

// A hidden name beside the target with this process's id and a random part,
// so that runs in parallel never share a temporary file.
std::string temporaryPattern(const std::filesystem::path& path)
{
    std::string name = ".";
    name += path.filename().string();
    name += '.';
    name += std::to_string(::getpid());
    name += ".XXXXXX";
    return (path.parent_path() / name).string();
}

// The new file keeps the old one's permissions, or the usual ones.
void setMode(int fd, const std::filesystem::path& path)
{
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 0666);
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

} // namespace

Result<void> writeOutputFile(const std::filesystem::path& path,
                             const std::function<Result<void>(std::ostream& out)>& fill)
{
    if (path.empty() || !path.has_filename())
        return Error { ExportError::CannotCreate, "no file name" };
    std::string temporary = temporaryPattern(path);
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return Error { ExportError::CannotCreate, "cannot create " + path.string() + ": " + std::strerror(errno) };
    setMode(fd, path);
    Result<void> result;
    try {
        DescriptorBuffer buffer(fd);
        std::ostream out(&buffer);
        result = fill(out);
        out.flush();
        if (result && (!out || buffer.failed()))
            result = Error { ExportError::WriteFailed, "cannot write " + path.string() };
    } catch (const std::bad_alloc&) {
        result = Error { ExportError::OutOfMemory, "not enough memory to write " + path.string() };
    }
    if (result && ::fsync(fd) != 0)
        result = Error { ExportError::WriteFailed, "cannot write " + path.string() + ": " + std::strerror(errno) };
    if (::close(fd) != 0 && result)
        result = Error { ExportError::WriteFailed, "cannot write " + path.string() + ": " + std::strerror(errno) };
    if (result && std::rename(temporary.c_str(), path.c_str()) != 0)
        result = Error { ExportError::WriteFailed, "cannot rename to " + path.string() + ": " + std::strerror(errno) };
    if (!result)
        ::unlink(temporary.c_str());
    return result;
}

} // namespace exporting
