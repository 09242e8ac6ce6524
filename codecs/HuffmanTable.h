#pragma once

// A Huffman table of a lossless JPEG scan: the code-length counts and values
// of a DHT segment (T.81 B.2.4.2) and the decoding tables derived from them
// (T.81 C.2 and F.2.2.3), with a lookahead table so that most codes cost one
// table access.

#include "codecs/CodecError.h"
#include "codecs/JpegBitReader.h"

#include <array>
#include <cstdint>

namespace codecs {

struct HuffmanCodes {
    std::array<std::uint8_t, 17> counts {}; // counts[l]: codes of length l, 1..16
    std::array<std::uint8_t, 256> values {};
    int valueCount = 0;
};

class HuffmanTable {
public:
    static constexpr int kLookaheadBits = 10;
    // Codes whose code and extra bits together fit in this many bits decode
    // to their difference in one table access.
    static constexpr int kDifferenceBits = 12;

    // Fails (CodecError::Corrupt) when the counts describe more codes than
    // fit in their lengths, or a value is not a magnitude category 0..16.
    static Result<HuffmanTable> build(const HuffmanCodes& codes);

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

    // T.81 F.2.2.1 and H.1.2.2: the next difference, code and extra bits
    // together; category 16 stands for 32768 and has no extra bits. Sets
    // badCode (and returns 0) when no code matches. The reader must hold at
    // least 32 bits (fill()).
    int decodeDifference(JpegBitReader& bits, bool& badCode) const
    {
        std::int32_t entry = m_differences[bits.peek(kDifferenceBits)];
        if (entry != 0) {
            bits.skip(entry & 0xFF);
            return entry >> 8;
        }
        return decodeDifferenceSlow(bits, badCode);
    }

private:
    int decodeLong(JpegBitReader& bits) const;
    int decodeDifferenceSlow(JpegBitReader& bits, bool& badCode) const;
    void buildDifferences();

    // (code length << 8) | value, 0 where the code is longer than the lookahead.
    std::array<std::uint16_t, 1 << kLookaheadBits> m_lookahead {};
    // (difference << 8) | bits used, 0 where the slow path must decide.
    std::array<std::int32_t, 1 << kDifferenceBits> m_differences {};
    std::array<std::int32_t, 18> m_maxCode {};
    std::array<std::int32_t, 17> m_valueOffset {};
    std::array<std::uint8_t, 256> m_values {};
};

} // namespace codecs
