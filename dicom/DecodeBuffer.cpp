#include "dicom/DecodeBuffer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <sys/types.h>

namespace dicom {

std::size_t MemorySource::readAt(std::uint64_t offset, std::span<std::uint8_t> out)
{
    if (offset >= m_bytes.size())
        return 0;
    std::size_t n = std::min<std::uint64_t>(out.size(), m_bytes.size() - offset);
    std::memcpy(out.data(), m_bytes.data() + offset, n);
    return n;
}

std::size_t FileSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out)
{
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return 0;
    if (::fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0)
        return 0;
    return std::fread(out.data(), 1, out.size(), m_file);
}

bool DecodeBuffer::fill(std::uint64_t limit)
{
    if (!m_source)
        return true;
    const std::uint64_t n = std::min(limit, fileSize());
    m_bytes.resize(static_cast<std::size_t>(n));
    return m_source->readAt(0, m_bytes) == n;
}

bool DecodeBuffer::ensure(std::uint64_t end)
{
    const std::uint64_t have = m_bytes.size();
    if (end <= have)
        return true;
    if (end > fileSize() || !m_source)
        return false;
    const std::uint64_t chunk = std::min(std::max(end - have, ChunkSize), fileSize() - have);
    m_bytes.resize(static_cast<std::size_t>(have + chunk));
    std::span<std::uint8_t> tail(m_bytes.data() + have, static_cast<std::size_t>(chunk));
    if (m_source->readAt(have, tail) != chunk) {
        m_bytes.resize(static_cast<std::size_t>(have));
        return false;
    }
    return true;
}

} // namespace dicom
