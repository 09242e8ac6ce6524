#pragma once

// A small T.81 lossless JPEG encoder for the decoder tests: no installed tool
// writes restart intervals, one-scan-per-component images or deliberately
// broken markers, so the tests make their own streams.

#include <array>
#include <cstdint>
#include <vector>

namespace codecs::test {

enum class TableShape {
    Flat,   // all 17 categories with 5-bit codes
    Skewed, // categories 0..15 with codes of 1..16 bits (exercises long codes)
};

struct EncodeOptions {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    int components = 1;
    int precision = 8;
    int predictor = 1;
    int pointTransform = 0;
    std::uint32_t restartRows = 0;
    int wrongRestartIndex = -1;           // this restart marker (0-based) is written as RST5
    std::uint8_t sampling = 0x11;
    std::uint8_t frameMarker = 0xC3;
    bool endBeforeScan = false;           // EOI where the scan would start
    bool scanPerComponent = false;
    TableShape table = TableShape::Flat;
};

} // namespace codecs::test


namespace codecs::test {

namespace encoder_detail {

struct Code {
    std::uint32_t bits = 0;
    int length = 0;
};

struct Table {
    std::array<std::uint8_t, 16> counts {};
    std::vector<std::uint8_t> values;
    std::array<Code, 17> codes {};
};

inline Table makeTable(TableShape shape)
{
    Table t;
    if (shape == TableShape::Flat) {
        t.counts[4] = 17;
        for (int v = 0; v <= 16; ++v) {
            t.values.push_back(static_cast<std::uint8_t>(v));
            t.codes[v] = { static_cast<std::uint32_t>(v), 5 };
        }
    } else {
        std::uint32_t code = 0;
        for (int length = 1; length <= 16; ++length) {
            t.counts[length - 1] = 1;
            t.values.push_back(static_cast<std::uint8_t>(length - 1));
            t.codes[length - 1] = { code, length };
            code = (code + 1) << 1;
        }
    }
    return t;
}

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
    void put(std::uint32_t bits, int length)
    {
        for (int i = length - 1; i >= 0; --i) {
            m_byte = static_cast<std::uint8_t>((m_byte << 1) | ((bits >> i) & 1));
            if (++m_count == 8)
                flushByte();
        }
    }
    // T.81 F.1.2.3: pad the last byte with 1 bits.
    void pad()
    {
        while (m_count != 0)
            put(1, 1);
    }

private:
    void flushByte()
    {
        m_out.push_back(m_byte);
        if (m_byte == 0xFF)
            m_out.push_back(0x00);
        m_byte = 0;
        m_count = 0;
    }
    std::vector<std::uint8_t>& m_out;
    std::uint8_t m_byte = 0;
    int m_count = 0;
};

inline void put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

inline int predict(int psv, int ra, int rb, int rc)
{
    switch (psv) {
    case 1: return ra;
    case 2: return rb;
    case 3: return rc;
    case 4: return ra + rb - rc;
    case 5: return ra + ((rb - rc) >> 1);
    case 6: return rb + ((ra - rc) >> 1);
    case 7: return (ra + rb) >> 1;
    default: return 0;
    }
}

// T.81 H.1.2.2 and F.1.2.1.1: difference modulo 2^16, category, extra bits.
inline void encodeDifference(BitWriter& w, const Table& t, int difference)
{
    int d = difference & 0xFFFF;
    if (d == 0x8000) {
        w.put(t.codes[16].bits, t.codes[16].length);
        return;
    }
    if (d > 0x8000)
        d -= 0x10000;
    int magnitude = d < 0 ? -d : d;
    int category = 0;
    while ((1 << category) <= magnitude)
        ++category;
    w.put(t.codes[category].bits, t.codes[category].length);
    if (category > 0)
        w.put(static_cast<std::uint32_t>(d < 0 ? d + (1 << category) - 1 : d), category);
}

inline void encodeScan(std::vector<std::uint8_t>& out, const EncodeOptions& o, const Table& table,
    const std::vector<std::uint16_t>& samples, const std::vector<int>& scanComponents)
{
    const int ns = static_cast<int>(scanComponents.size());
    out.insert(out.end(), { 0xFF, 0xDA });
    put16(out, static_cast<std::uint32_t>(6 + 2 * ns));
    out.push_back(static_cast<std::uint8_t>(ns));
    for (int c : scanComponents) {
        out.push_back(static_cast<std::uint8_t>(c + 1));
        out.push_back(0x00);
    }
    out.push_back(static_cast<std::uint8_t>(o.predictor));
    out.push_back(0x00);
    out.push_back(static_cast<std::uint8_t>(o.pointTransform));

    auto value = [&](std::uint32_t x, std::uint32_t y, int c) {
        return samples[(std::size_t(y) * o.width + x) * o.components + c] >> o.pointTransform;
    };
    const int initial = 1 << (o.precision - o.pointTransform - 1);
    BitWriter w(out);
    int restartIndex = 0;
    std::uint32_t intervalStart = 0;
    for (std::uint32_t y = 0; y < o.height; ++y) {
        if (o.restartRows && y > 0 && y % o.restartRows == 0) {
            w.pad();
            int marker = restartIndex == o.wrongRestartIndex ? 0xD5 : 0xD0 + (restartIndex & 7);
            out.insert(out.end(), { 0xFF, static_cast<std::uint8_t>(marker) });
            ++restartIndex;
            intervalStart = y;
        }
        const bool firstLine = y == intervalStart;
        for (std::uint32_t x = 0; x < o.width; ++x) {
            for (int c : scanComponents) {
                int prediction;
                if (x == 0)
                    prediction = firstLine ? initial : value(0, y - 1, c);
                else if (firstLine)
                    prediction = value(x - 1, y, c);
                else
                    prediction = predict(o.predictor, value(x - 1, y, c), value(x, y - 1, c), value(x - 1, y - 1, c));
                encodeDifference(w, table, value(x, y, c) - prediction);
            }
        }
    }
    w.pad();
}

} // namespace encoder_detail

// samples: height x width x components, interleaved, values below 2^precision.
inline std::vector<std::uint8_t> encodeLossless(const EncodeOptions& o, const std::vector<std::uint16_t>& samples)
{
    using namespace encoder_detail;
    const Table table = makeTable(o.table);
    std::vector<std::uint8_t> out { 0xFF, 0xD8 };

    // DHT: one DC table in slot 0.
    out.insert(out.end(), { 0xFF, 0xC4 });
    put16(out, static_cast<std::uint32_t>(2 + 1 + 16 + table.values.size()));
    out.push_back(0x00);
    out.insert(out.end(), table.counts.begin(), table.counts.end());
    out.insert(out.end(), table.values.begin(), table.values.end());

    if (o.restartRows) {
        out.insert(out.end(), { 0xFF, 0xDD, 0x00, 0x04 });
        put16(out, o.restartRows * o.width);
    }

    out.insert(out.end(), { 0xFF, o.frameMarker });
    put16(out, static_cast<std::uint32_t>(8 + 3 * o.components));
    out.push_back(static_cast<std::uint8_t>(o.precision));
    put16(out, o.height);
    put16(out, o.width);
    out.push_back(static_cast<std::uint8_t>(o.components));
    for (int c = 0; c < o.components; ++c) {
        out.push_back(static_cast<std::uint8_t>(c + 1));
        out.push_back(o.sampling);
        out.push_back(0x00);
    }

    if (!o.endBeforeScan) {
        if (o.scanPerComponent) {
            for (int c = 0; c < o.components; ++c)
                encodeScan(out, o, table, samples, { c });
        } else {
            std::vector<int> all;
            for (int c = 0; c < o.components; ++c)
                all.push_back(c);
            encodeScan(out, o, table, samples, all);
        }
    }
    out.insert(out.end(), { 0xFF, 0xD9 });
    return out;
}

} // namespace codecs::test
