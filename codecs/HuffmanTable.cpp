#include "codecs/HuffmanTable.h"

#include "codecs/FrameParams.h"

namespace codecs {

// T.81 C.2 (code sizes and codes) and F.2.2.3 (MAXCODE, VALPTR, MINCODE),
// with the value offset folded in: value index = code + m_valueOffset[l].
Result<HuffmanTable> HuffmanTable::build(const HuffmanCodes& codes)
{
    HuffmanTable table;
    int total = 0;
    for (int length = 1; length <= 16; ++length)
        total += codes.counts[length];
    if (total > 256 || total != codes.valueCount)
        return Error { CodecError::Corrupt, "Bogus DHT counts" };
    for (int i = 0; i < total; ++i) {
        // Lossless differences have magnitude categories 0..16 (T.81 H.1.2.2).
        if (codes.values[i] > 16)
            return Error { CodecError::Corrupt, "Bogus Huffman table" };
        table.m_values[i] = codes.values[i];
    }

    std::int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        int count = codes.counts[length];
        // The all-ones code of each length is reserved (T.81 C.2); counts that
        // reach it over-subscribe the code space.
        if (code + count >= (1 << length))
            return Error { CodecError::Corrupt, "Bogus Huffman table" };
        if (count == 0) {
            table.m_maxCode[length] = -1;
        } else {
            table.m_valueOffset[length] = index - code;
            for (int i = 0; i < count; ++i, ++code, ++index) {
                if (length <= kLookaheadBits) {
                    int shift = kLookaheadBits - length;
                    auto entry = static_cast<std::uint16_t>((length << 8) | codes.values[index]);
                    for (int fill = 0; fill < (1 << shift); ++fill)
                        table.m_lookahead[(code << shift) | fill] = entry;
                }
            }
            table.m_maxCode[length] = code - 1;
        }
        code <<= 1;
    }
    table.m_maxCode[17] = 0x7FFFFFFF; // guard past the longest code
    table.buildDifferences();
    return table;
}

namespace {

int extend(int v, int s)
{
    return v < (1 << (s - 1)) ? v - ((1 << s) - 1) : v;
}

} // namespace

void HuffmanTable::buildDifferences()
{
    for (std::uint32_t code = 0; code < m_lookahead.size(); ++code) {
        const std::uint16_t entry = m_lookahead[code];
        if (entry == 0 || (code & ((1u << (kLookaheadBits - (entry >> 8))) - 1)) != 0)
            continue; // not the first of the entries of this code
        const int length = entry >> 8;
        const int s = entry & 0xFF;
        const int extra = (s == 0 || s == 16) ? 0 : s;
        if (length + extra > kDifferenceBits)
            continue;
        const int spare = kDifferenceBits - length - extra;
        const std::uint32_t prefix = code >> (kLookaheadBits - length);
        for (std::uint32_t v = 0; v < (1u << extra); ++v) {
            const int difference = s == 0 ? 0 : s == 16 ? 32768 : extend(static_cast<int>(v), s);
            const std::int32_t packed = static_cast<std::int32_t>(difference * 256) | (length + extra);
            const std::uint32_t first = ((prefix << extra) | v) << spare;
            for (std::uint32_t fill = 0; fill < (1u << spare); ++fill)
                m_differences[first | fill] = packed;
        }
    }
}

int HuffmanTable::decodeDifferenceSlow(JpegBitReader& bits, bool& badCode) const
{
    int s = decode(bits);
    if (s <= 0) {
        if (s < 0) {
            badCode = true;
            bits.skip(16);
        }
        return 0;
    }
    if (s == 16)
        return 32768;
    return extend(static_cast<int>(bits.take(s)), s);
}

int HuffmanTable::decodeLong(JpegBitReader& bits) const
{
    std::uint32_t window = bits.peek(16);
    for (int length = kLookaheadBits + 1; length <= 16; ++length) {
        auto code = static_cast<std::int32_t>(window >> (16 - length));
        if (code <= m_maxCode[length]) {
            bits.skip(length);
            return m_values[static_cast<std::size_t>(code + m_valueOffset[length])];
        }
    }
    return -1;
}

} // namespace codecs
