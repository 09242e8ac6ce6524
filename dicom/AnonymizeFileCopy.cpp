// The same-size anonymization of a file without reading its pixel data: the
// parse runs over the bytes a capturing source hands the reader, those bytes
// are blanked and written, and the rest follows by copy_file_range.

#include "dicom/Anonymizer.h"
#include "dicom/DicomEncoder.h"
#include "dicom/DicomReader.h"

#include <cerrno>
#include <cstdio>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dicom {

namespace {

struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Hands the reader the file's bytes and keeps a copy of each, so that the
// offsets of the parse refer to exactly the bytes kept.
class CapturingSource final : public ByteSource {
public:
    CapturingSource(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    std::uint64_t size() const override { return m_size; }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) override
    {
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t got = ::pread(m_fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        if (offset == m_bytes.size())
            m_bytes.insert(m_bytes.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(done));
        else
            m_sequential = false;
        return done;
    }
    std::vector<std::uint8_t>& bytes() { return m_bytes; }
    bool sequential() const { return m_sequential; }

private:
    int m_fd;
    std::uint64_t m_size;
    std::vector<std::uint8_t> m_bytes;
    bool m_sequential = true;
};

// The bytes of in from offset on, appended to out.
bool copyRest(int in, int out, std::uint64_t offset, std::uint64_t size)
{
    loff_t from = static_cast<loff_t>(offset);
    while (static_cast<std::uint64_t>(from) < size) {
        const ssize_t copied = ::copy_file_range(in, &from, out, nullptr, size - static_cast<std::uint64_t>(from), 0);
        if (copied > 0)
            continue;
        if (copied == 0)
            return false; // the file shrank under us
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        std::vector<std::uint8_t> chunk(1 << 20);
        while (static_cast<std::uint64_t>(from) < size) {
            const ssize_t got = ::pread(in, chunk.data(), chunk.size(), from);
            if (got <= 0 || !writeAllTo(out, std::span(chunk.data(), static_cast<std::size_t>(got))))
                return false;
            from += got;
        }
    }
    return true;
}

} // namespace

AnonResult<void> anonymizeFileCopy(const std::filesystem::path& input, const std::filesystem::path& output,
                                   const AnonOptions& options)
{
    Fd in {::open(input.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    struct stat status {};
    if (in.fd < 0 || ::fstat(in.fd, &status) != 0 || !S_ISREG(status.st_mode))
        return AnonFailure {AnonError::FileNotFound, input.string()};
    if (status.st_size == 0)
        return AnonFailure {AnonError::ZeroLength, input.string()};
    const auto size = static_cast<std::uint64_t>(status.st_size);
    try {
        CapturingSource source(in.fd, size);
        DicomDataset dataset;
        ReadOptions readOptions;
        readOptions.headerOnly = HeaderOnly::Yes;
        if (!DicomReader(readOptions).read(source, dataset))
            return headerFailure(dataset);
        if (!source.sequential())
            return AnonFailure {AnonError::ReadFailed, input.string()};
        auto& head = source.bytes();
        if (auto done = blankElements(dataset, head, options); !done)
            return done.error();

        const bool written = writeThroughTemporary(output, [&](int fd) {
            return writeAllTo(fd, head) && copyRest(in.fd, fd, head.size(), size);
        });
        if (!written)
            return AnonFailure {AnonError::NotCreated, output.string()};
        return {};
    } catch (const std::bad_alloc&) {
        return AnonFailure {AnonError::ReadFailed, input.string()};
    }
}

} // namespace dicom
