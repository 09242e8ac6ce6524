#pragma once

// A Huffman table of a lossless JPEG scan: the code-length counts and values
// of a DHT segment (T.81 B.2.4.2) and the decoding tables derived from them
// (T.81 C.2 and F.2.2.3), with a lookahead table so that most codes cost one
// table access.

#include "base/Result.h"
#include "codecs/JpegBitReader.h"

#include <array>
#include <cstdint>

namespace codecs {

struct HuffmanSpec {
    std::array<std::uint8_t, 17> counts {}; // counts[l]: codes of length l, 1..16
    std::array<std::uint8_t, 256> values {};
    int valueCount = 0;
};

class HuffmanTable {
public:
    static constexpr int kLookaheadBits = 10;

    // Fails (CodecError::Corrupt) when the counts describe more codes than
    // fit in their lengths, or a value is not a magnitude category 0..16.
    static base::Result<HuffmanTable> build(const HuffmanSpec& spec);

    // The magnitude category of the next code, or -1 when no code matches
    // within 16 bits. The reader must hold at least 16 bits (fill()).
    int decode(JpegBitReader& bits) const
    {
        std::uint16_t entry = m_lookahead[bits.peek(kLookaheadBits)];
        if (entry != 0) {
            bits.skip(entry >> 8);
            return entry & 0xFF;
        }
        return decodeLong(bits);
    }

private:
    int decodeLong(JpegBitReader& bits) const;

    // (code length << 8) | value, 0 where the code is longer than the lookahead.
    std::array<std::uint16_t, 1 << kLookaheadBits> m_lookahead {};
    std::array<std::int32_t, 18> m_maxCode {};
    std::array<std::int32_t, 17> m_valueOffset {};
    std::array<std::uint8_t, 256> m_values {};
};

} // namespace codecs
