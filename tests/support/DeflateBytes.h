#pragma once

// Raw deflate streams (RFC 1951) written bit by bit for tests, so that the
// inflater can be given exactly the stream a case needs without zlib.

#include <cstdint>
#include <vector>

namespace testsupport {

class DeflateBits {
public:
    // Header and data fields go least significant bit first (RFC 1951 3.1.1).
    DeflateBits& bits(std::uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            put((value >> i) & 1u);
        return *this;
    }
    // Huffman codes go most significant bit first.
    DeflateBits& code(std::uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i)
            put((value >> i) & 1u);
        return *this;
    }
    std::vector<std::uint8_t> bytes() const { return m_bytes; }

private:
    void put(std::uint32_t bit)
    {
        if (m_used % 8 == 0)
            m_bytes.push_back(0);
        m_bytes.back() = static_cast<std::uint8_t>(m_bytes.back() | (bit << (m_used % 8)));
        ++m_used;
    }
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_used = 0;
};

// One final stored block (RFC 1951 3.2.4) holding data, declaring length
// bytes: a length past the data makes a stream that ends early.
inline std::vector<std::uint8_t> storedBlock(const std::vector<std::uint8_t>& data, std::uint16_t length)
{
    std::vector<std::uint8_t> out {0x01, // BFINAL 1, BTYPE 00
        std::uint8_t(length), std::uint8_t(length >> 8), std::uint8_t(~length), std::uint8_t(~length >> 8)};
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A dynamic-Huffman block (RFC 1951 3.2.7) of one zero byte and then
// matches of 258 bytes at distance 1, two bits each (a deflate bomb at the
// format's best ratio, about 1032:1): 1 + 258 * matches zero bytes.
// Literal/length codes: 285 "0", literal 0 "10", end of block 256 "11";
// distance code 0 "0"; code length codes: 18 "0", 1 "10", 2 "11".
inline std::vector<std::uint8_t> zeroRun(std::uint32_t matches)
{
    DeflateBits b;
    b.bits(1, 1).bits(2, 2);           // BFINAL 1, BTYPE 10
    b.bits(29, 5).bits(0, 5).bits(14, 4); // HLIT 286, HDIST 1, HCLEN 18
    // Code length code lengths in the order 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1.
    for (std::uint32_t length : {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2})
        b.bits(length, 3);
    b.code(3, 2);                      // literal 0: length 2
    b.code(0, 1).bits(127, 7);         // 138 zeros
    b.code(0, 1).bits(106, 7);         // 117 zeros: literals 1 to 255
    b.code(3, 2);                      // 256: length 2
    b.code(0, 1).bits(17, 7);          // 28 zeros: lengths 257 to 284
    b.code(2, 2);                      // 285: length 1
    b.code(2, 2);                      // distance 0: length 1
    b.code(2, 2);                      // literal 0
    for (std::uint32_t i = 0; i < matches; ++i)
        b.code(0, 1).code(0, 1);       // length 258, distance 1
    b.code(3, 2);                      // end of block
    return b.bytes();
}

} // namespace testsupport
