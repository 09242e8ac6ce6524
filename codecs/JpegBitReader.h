#pragma once

// Reads the entropy-coded segment of a JPEG scan most significant bit first
// (T.81 F.2.2.5). Stuffed bytes FF 00 are data FF (T.81 B.1.1.5); any other
// FF xx is a marker and ends the data: the reader stays in front of it and
// supplies zero bits from then on, as decoders conventionally do, counting
// them so that the caller can tell whether real data ran out.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace codecs {

class JpegBitReader {
public:
    JpegBitReader(const std::uint8_t* begin, const std::uint8_t* end) : m_pos(begin), m_end(end) {}

    // After this, at least 57 bits can be peeked: enough for the longest
    // Huffman code plus the longest magnitude (16 + 16 bits).
    void fill()
    {
        if (m_count > 56)
            return;
        if (!m_stopped && m_end - m_pos >= 8) {
            std::uint64_t word;
            std::memcpy(&word, m_pos, 8);
            if constexpr (std::endian::native == std::endian::little)
                word = __builtin_bswap64(word);
            if (!hasFFByte(word)) {
                int bytes = (64 - m_count) / 8;
                std::uint64_t mask = ~std::uint64_t(0) << (64 - m_count - bytes * 8);
                m_bits |= (word >> m_count) & mask;
                m_count += bytes * 8;
                m_pos += bytes;
                return;
            }
        }
        fillSlow();
    }

    std::uint32_t peek(int n) const { return static_cast<std::uint32_t>(m_bits >> (64 - n)); }
    void skip(int n)
    {
        m_bits <<= n;
        m_count -= n;
    }
    std::uint32_t take(int n)
    {
        std::uint32_t v = peek(n);
        skip(n);
        return v;
    }

    // True once bits beyond the end of the real data have been consumed.
    bool ranPastData() const { return m_count < m_paddingBits; }

    // The first byte not yet taken into the bit buffer (a marker, or the end).
    const std::uint8_t* position() const { return m_pos; }

    // Drops buffered bits and continues at pos, as after a restart marker.
    void resetAt(const std::uint8_t* pos)
    {
        m_pos = pos;
        m_bits = 0;
        m_count = 0;
        m_paddingBits = 0;
        m_stopped = false;
    }

private:
    static bool hasFFByte(std::uint64_t word)
    {
        std::uint64_t inv = ~word;
        return ((inv - 0x0101010101010101ull) & ~inv & 0x8080808080808080ull) != 0;
    }

    void fillSlow()
    {
        while (m_count <= 56) {
            std::uint32_t byte = 0;
            if (!m_stopped && m_pos < m_end) {
                byte = *m_pos;
                if (byte != 0xFF) {
                    ++m_pos;
                } else if (m_end - m_pos >= 2 && m_pos[1] == 0x00) {
                    m_pos += 2;
                } else {
                    m_stopped = true;
                    byte = 0;
                }
            } else {
                m_stopped = true;
            }
            if (m_stopped)
                m_paddingBits += 8;
            m_bits |= std::uint64_t(byte) << (56 - m_count);
            m_count += 8;
        }
    }

    const std::uint8_t* m_pos;
    const std::uint8_t* m_end;
    std::uint64_t m_bits = 0;
    int m_count = 0;
    std::int64_t m_paddingBits = 0;
    bool m_stopped = false;
};

} // namespace codecs
