#include "export/OutputFile.h"

#include "dicom/DicomEncoder.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <new>
#include <streambuf>

#include <unistd.h>

namespace exporting {

namespace {

// A buffered output stream straight onto a file descriptor, so that a failed
// write (a full disk, a file size limit) shows as a failed stream at once. It
// seeks, for formats that fill in their header at the end (movies).
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : m_fd(fd) { setp(m_buffer.data(), m_buffer.data() + m_buffer.size()); }

    bool failed() const { return m_failed; }
    // The errno of the first write that failed; 0 while none did.
    int failure() const { return m_errno; }

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

    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override
    {
        if (!drain())
            return pos_type(off_type(-1));
        const int whence = dir == std::ios_base::beg ? SEEK_SET : dir == std::ios_base::cur ? SEEK_CUR : SEEK_END;
        const off_t at = ::lseek(m_fd, static_cast<off_t>(off), whence);
        return at < 0 ? pos_type(off_type(-1)) : pos_type(static_cast<off_type>(at));
    }

    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override
    {
        return seekoff(off_type(pos), std::ios_base::beg, mode);
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
        if (!m_failed && !dicom::writeAllTo(m_fd, { reinterpret_cast<const std::uint8_t*>(data), size })) {
            m_failed = true;
            m_errno = errno;
        }
        return !m_failed;
    }

    int m_fd;
    bool m_failed = false;
    int m_errno = 0;
    std::array<char, 65536> m_buffer {};
};

std::string cannotWrite(const std::filesystem::path& path, int error)
{
    std::string text = "cannot write " + path.string();
    if (error != 0)
        text += std::string(": ") + std::strerror(error);
    return text;
}

} // namespace

Result<void> writeOutputFile(const std::filesystem::path& path,
                             const std::function<Result<void>(std::ostream& out)>& fill)
{
    if (path.empty() || !path.has_filename())
        return Error { ExportError::CannotCreate, "no file name" };
    bool started = false;
    int writeErrno = 0;
    Result<void> result;
    const bool written = dicom::writeThroughTemporary(path, [&](int fd) {
        started = true;
        try {
            DescriptorBuffer buffer(fd);
            std::ostream out(&buffer);
            result = fill(out);
            out.flush();
            writeErrno = buffer.failure();
            // A writer that stopped on the stream's failure reports its own
            // code; the disk's reason is what the user needs to hear.
            if (writeErrno != 0 || (result && !out))
                result = Error { ExportError::WriteFailed, cannotWrite(path, writeErrno) };
        } catch (const std::bad_alloc&) {
            result = Error { ExportError::OutOfMemory, "not enough memory to write " + path.string() };
        }
        if (writeErrno != 0)
            errno = writeErrno;
        return result.has_value();
    });
    if (!result)
        return result;
    if (!written)
        return Error { started ? ExportError::WriteFailed : ExportError::CannotCreate, cannotWrite(path, errno) };
    return {};
}

} // namespace exporting
