#include "dicom/DicomEncoder.h"

#include "dicom/DicomReader.h"
#include "dicom/DicomWriter.h"
#include "dicom/Tags.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dicom {

namespace {

class Output {
public:
    explicit Output(const ByteSink& sink) : m_sink(sink) { m_buffer.reserve(ChunkSize); }

    bool put(std::span<const std::uint8_t> bytes)
    {
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
        return m_buffer.size() < ChunkSize || flush();
    }
    bool u16(std::uint16_t v) { return put(std::array<std::uint8_t, 2> { byte(v, 0), byte(v, 8) }); }
    bool u32(std::uint32_t v) { return put(std::array<std::uint8_t, 4> { byte(v, 0), byte(v, 8), byte(v, 16), byte(v, 24) }); }
    bool flush()
    {
        const bool ok = m_buffer.empty() || m_sink(m_buffer);
        m_buffer.clear();
        return ok;
    }

private:
    static std::uint8_t byte(std::uint32_t v, int shift) { return static_cast<std::uint8_t>(v >> shift); }
    static constexpr std::size_t ChunkSize = 1 << 20;
    const ByteSink& m_sink;
    std::vector<std::uint8_t> m_buffer;
};

bool putFrames(Output& out, const DicomDataset& dataset, std::uint32_t length)
{
    std::uint64_t written = 0;
    std::vector<std::uint8_t> row;
    for (const base::Frame& frame : dataset.frames) {
        if (frame.format == base::FrameFormat::Grey16) {
            row.resize(frame.samples.size() * 2);
            for (std::size_t i = 0; i < frame.samples.size(); ++i) {
                const auto v = static_cast<std::uint16_t>(frame.samples[i]);
                row[2 * i] = static_cast<std::uint8_t>(v);
                row[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
            }
            if (!out.put(row))
                return false;
            written += row.size();
        } else {
            if (!out.put(frame.bytes))
                return false;
            written += frame.bytes.size();
        }
    }
    // The pad byte of an odd total (PS3.5 7.1.1); the length counts it.
    for (; written < length; ++written) {
        if (!out.put(std::array<std::uint8_t, 1> { 0 }))
            return false;
    }
    return true;
}

// The process's umask, read without setting it: umask() can only be asked by
// changing it, and files are written from several threads at once (exports),
// so the moment of a zero mask could leave another thread's new file open to all.
mode_t processUmask()
{
    static const mode_t mask = [] {
        unsigned value = 022;
        if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
            char line[256];
            while (std::fgets(line, sizeof line, status)) {
                if (std::sscanf(line, "Umask: %o", &value) == 1)
                    break;
            }
            std::fclose(status);
        }
        return static_cast<mode_t>(value & 0777);
    }();
    return mask;
}

std::string hiddenName(const std::filesystem::path& path)
{
    return (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
}

} // namespace

Result<void> encodeDataset(const DicomDataset& dataset, const ByteSink& sink)
{
    Output out(sink);
    bool ok = out.put(dataset.preamble) && out.put(std::array<std::uint8_t, 4> { 'D', 'I', 'C', 'M' });
    for (const DicomElement& e : dataset.elements) {
        if (!ok)
            break;
        const std::string_view vr = encodedVr(e.vr, e.length);
        ok = out.u16(e.group) && out.u16(e.element)
            && out.put(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(vr.data()), 2));
        if (encodedHeaderSize(e.vr, e.length) == 12)
            ok = ok && out.u16(0) && out.u32(e.length);
        else
            ok = ok && out.u16(static_cast<std::uint16_t>(e.length));
        if (e.tag() == tags::PixelData && !e.hasValue())
            ok = ok && putFrames(out, dataset, e.length);
        else if (e.length > 0)
            ok = ok && e.value.size() >= e.length && out.put(e.bytes().first(e.length));
    }
    ok = ok && out.flush();
    if (!ok)
        return Error { DicomError::FileIo, "writing failed" };
    return {};
}

bool writeAllTo(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A write that takes nothing without an error still means no room.
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeThroughTemporary(const std::filesystem::path& path, const std::function<bool(int fd)>& fill)
{
    std::string name = hiddenName(path);
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    // The new file keeps the old one's permissions, or the usual ones for a
    // new file; a read-only old file does not make its replacement read-only
    // to the owner who just chose to write it.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd, (old.st_mode & 07777) | S_IRUSR | S_IWUSR);
    else
        ::fchmod(fd, 0666 & ~processUmask());
    errno = 0;
    const bool filled = fill(fd);
    int failure = filled ? 0 : (errno != 0 ? errno : EIO);
    const bool synced = filled && ::fsync(fd) == 0;
    if (filled && !synced)
        failure = errno;
    const bool closed = ::close(fd) == 0;
    if (!failure && !closed)
        failure = errno;
    if (!failure && std::rename(name.c_str(), path.c_str()) != 0)
        failure = errno;
    if (failure) {
        ::unlink(name.c_str());
        // The caller tells the user why: the cause, not the clean-up's errno.
        errno = failure;
        return false;
    }
    return true;
}

Result<void> writeDicomFile(const std::filesystem::path& path, const DicomDataset& dataset, const WriteHook& hook)
{
    const bool written = writeThroughTemporary(path, [&](int fd) {
        std::uint64_t total = 0;
        const ByteSink sink = [&](std::span<const std::uint8_t> bytes) {
            if (hook && !hook(total))
                return false;
            total += bytes.size();
            return writeAllTo(fd, bytes);
        };
        return encodeDataset(dataset, sink).has_value();
    });
    if (!written)
        return Error { DicomError::FileIo, "cannot write " + path.string() + ": " + std::strerror(errno) };
    return {};
}

OverwriteVerdict overwriteVerdict(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return OverwriteVerdict::Missing;
    std::array<char, 132> head {};
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return OverwriteVerdict::NotDicom;
        in.read(head.data(), head.size());
    }
    const bool part10 = std::string_view(head.data() + 128, 4) == "DICM";
    DicomDataset dataset;
    DicomReader reader(ReadOptions { HeaderOnly::Yes, PixelData::Stop, {} });
    const bool decoded = reader.read(path, dataset) && !dataset.elements.empty();
    if (!part10 && !decoded)
        return OverwriteVerdict::NotDicom;
    const DicomElement* version = dataset.find({ 0x0002, 0x0013 });
    if (version && version->bytes().size() == ImplementationVersionName.size()
        && std::equal(version->bytes().begin(), version->bytes().end(), ImplementationVersionName.begin()))
        return OverwriteVerdict::OwnFile;
    return OverwriteVerdict::OtherSoftware;
}

} // namespace dicom
