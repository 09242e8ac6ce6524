#pragma once

// Bounds-checked reading of little- or big-endian numbers from a byte span.
// Every read reports failure instead of reading past the end, so decoders can
// return early on truncated input.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace base {

enum class Endian { Little, Big };

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, Endian endian = Endian::Little)
        : m_bytes(bytes), m_endian(endian) {}

    std::size_t position() const { return m_pos; }
    std::size_t size() const { return m_bytes.size(); }
    std::size_t remaining() const { return m_bytes.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    Endian endian() const { return m_endian; }
    void setEndian(Endian endian) { m_endian = endian; }
    std::span<const std::uint8_t> bytes() const { return m_bytes; }

    bool seek(std::size_t pos)
    {
        if (pos > m_bytes.size())
            return false;
        m_pos = pos;
        return true;
    }

    bool skip(std::uint64_t count)
    {
        if (count > remaining())
            return false;
        m_pos += static_cast<std::size_t>(count);
        return true;
    }

    std::optional<std::span<const std::uint8_t>> take(std::uint64_t count)
    {
        if (count > remaining())
            return std::nullopt;
        auto out = m_bytes.subspan(m_pos, static_cast<std::size_t>(count));
        m_pos += static_cast<std::size_t>(count);
        return out;
    }

    std::optional<std::uint8_t> u8()
    {
        if (remaining() < 1)
            return std::nullopt;
        return m_bytes[m_pos++];
    }

    std::optional<std::uint16_t> u16()
    {
        if (remaining() < 2)
            return std::nullopt;
        auto v = load16(m_pos);
        m_pos += 2;
        return v;
    }

    std::optional<std::uint32_t> u32()
    {
        if (remaining() < 4)
            return std::nullopt;
        auto v = load32(m_pos);
        m_pos += 4;
        return v;
    }

    // Reads without moving; for look-ahead at a tag or marker.
    std::optional<std::uint16_t> peek16(std::size_t offset = 0) const
    {
        if (offset > remaining() || remaining() - offset < 2)
            return std::nullopt;
        return load16(m_pos + offset);
    }

    std::optional<std::uint32_t> peek32(std::size_t offset = 0) const
    {
        if (offset > remaining() || remaining() - offset < 4)
            return std::nullopt;
        return load32(m_pos + offset);
    }

private:
    std::uint16_t load16(std::size_t at) const
    {
        std::uint16_t a = m_bytes[at], b = m_bytes[at + 1];
        return m_endian == Endian::Little ? std::uint16_t(a | (b << 8)) : std::uint16_t((a << 8) | b);
    }

    std::uint32_t load32(std::size_t at) const
    {
        std::uint32_t b0 = m_bytes[at], b1 = m_bytes[at + 1], b2 = m_bytes[at + 2], b3 = m_bytes[at + 3];
        return m_endian == Endian::Little ? (b0 | (b1 << 8) | (b2 << 16) | (b3 << 24))
                                          : ((b0 << 24) | (b1 << 16) | (b2 << 8) | b3);
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    Endian m_endian;
};

} // namespace base
