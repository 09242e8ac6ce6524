#include "codecs/LosslessJpegDecoder.h"

#include "base/ByteReader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace codecs {

namespace {

constexpr std::uint8_t kSof0 = 0xC0, kSof1 = 0xC1, kSof3 = 0xC3, kDht = 0xC4;
constexpr std::uint8_t kRst0 = 0xD0, kRst7 = 0xD7, kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA;
constexpr std::uint8_t kDqt = 0xDB, kDri = 0xDD;

Error corrupt(std::string text) { return { CodecError::Corrupt, std::move(text) }; }
Error unsupported(std::string text) { return { CodecError::Unsupported, std::move(text) }; }

std::string hexText(const char* format, int a, int b = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

bool isFrameMarker(std::uint8_t m)
{
    return (m >= 0xC0 && m <= 0xC3) || (m >= 0xC5 && m <= 0xCB) || (m >= 0xCD && m <= 0xCF);
}

// T.81 Table H.1; the shifts are arithmetic, as in the reference decoders.
template<int Psv>
inline int predict(int ra, int rb, int rc)
{
    if constexpr (Psv == 1) return ra;
    else if constexpr (Psv == 2) return rb;
    else if constexpr (Psv == 3) return rc;
    else if constexpr (Psv == 4) return ra + rb - rc;
    else if constexpr (Psv == 5) return ra + ((rb - rc) >> 1);
    else if constexpr (Psv == 6) return rb + ((ra - rc) >> 1);
    else if constexpr (Psv == 7) return (ra + rb) >> 1;
    else return 0;
}

inline int decodeDifference(JpegBitReader& bits, const HuffmanTable& table, bool& badCode)
{
    bits.fill();
    return table.decodeDifference(bits, badCode);
}

// One image line of a scan of `ns` interleaved components (Single: ns == 1).
// The first line after the start or a restart predicts from the left only,
// and its first pixel from 2^(P-Pt-1) (T.81 H.1.2.1).
template<int Psv, bool Single, typename Sample>
inline void decodeLine(JpegBitReader& bits, const HuffmanTable* const* tables, int ns, Sample* cur,
    const Sample* prev, std::uint32_t width, bool firstLine, int initial, bool& badCode)
{
    const int n = Single ? 1 : ns;
    for (int c = 0; c < n; ++c) {
        int prediction = firstLine ? initial : prev[c];
        cur[c] = static_cast<Sample>(prediction + decodeDifference(bits, *tables[c], badCode));
    }
    const std::size_t end = std::size_t(width) * n;
    if (firstLine) {
        for (std::size_t i = n; i < end; ++i) {
            const HuffmanTable& table = Single ? *tables[0] : *tables[i % n];
            cur[i] = static_cast<Sample>(cur[i - n] + decodeDifference(bits, table, badCode));
        }
        return;
    }
    for (std::size_t i = n; i < end; ++i) {
        const HuffmanTable& table = Single ? *tables[0] : *tables[i % n];
        int prediction = predict<Psv>(cur[i - n], prev[i], prev[i - n]);
        cur[i] = static_cast<Sample>(prediction + decodeDifference(bits, table, badCode));
    }
}

} // namespace

LosslessJpegDecoder::LosslessJpegDecoder(std::span<const std::uint8_t> input, const FrameParams& params,
    std::span<std::uint8_t> dest, LosslessOptions options)
    : m_input(input)
    , m_params(params)
    , m_dest(dest)
    , m_options(options)
{
}

Result<LosslessFrameInfo> LosslessJpegDecoder::decode(std::span<const std::uint8_t> input,
    const FrameParams& params, std::span<std::uint8_t> dest, LosslessOptions options)
{
    try {
        LosslessJpegDecoder decoder(input, params, dest, options);
        return decoder.run();
    } catch (const std::bad_alloc&) {
        return Error { CodecError::OutOfMemory, "Out of memory while decoding a lossless JPEG frame" };
    }
}

Result<LosslessFrameInfo> LosslessJpegDecoder::run()
{
    if (m_params.bitsAllocated != 8 && m_params.bitsAllocated != 16)
        return unsupported("Lossless JPEG frames need 8 or 16 bits allocated");
    // T.81 B.1.1.3: every stream starts with SOI.
    if (m_input.size() < 2 || m_input[0] != 0xFF || m_input[1] != kSoi) {
        int a = m_input.size() > 0 ? m_input[0] : 0;
        int b = m_input.size() > 1 ? m_input[1] : 0;
        return corrupt(hexText("Not a JPEG file. Found %02X %02X", a, b));
    }
    m_pos = 2;

    auto marker = nextMarker();
    if (!marker)
        return marker.error();
    if (*marker == kEoi)
        return corrupt("JPEG stream ends before its frame header");
    if (!isFrameMarker(*marker))
        return corrupt(hexText("Unexpected marker 0x%02x", *marker));
    if (*marker != kSof0 && *marker != kSof1 && *marker != kSof3)
        return unsupported(hexText("Unsupported SOF marker type 0x%02x", *marker));
    if (auto frame = readFrameHeader(*marker); !frame)
        return frame.error();

    bool anyScan = false;
    while (std::any_of(m_components.begin(), m_components.end(), [](const Component& c) { return !c.decoded; })) {
        marker = nextMarker();
        if (!marker)
            return marker.error();
        if (*marker == kEoi)
            return corrupt(anyScan ? "JPEG stream ends before every component is decoded"
                                   : "JPEG stream ends before its scan");
        if (*marker != kSos)
            return corrupt(hexText("Unexpected marker 0x%02x", *marker));
        if (auto scan = readScanHeader(); !scan)
            return scan.error();
        if (auto scan = decodeScan(); !scan)
            return scan.error();
        anyScan = true;
    }

    LosslessFrameInfo info;
    info.width = m_width;
    info.height = m_height;
    info.components = static_cast<int>(m_components.size());
    info.precision = m_precision;
    info.predictor = m_predictor;
    info.pointTransform = m_pointTransform;
    info.usedFastPath = m_usedFastPath;
    info.warnings = warningTexts();
    return info;
}

// T.81 B.1.1.2: markers may be preceded by fill bytes FF; FF 00 inside data is
// not a marker. Tables, restart intervals and unknown segments are handled
// here; frame, scan and image markers go back to the caller.
Result<std::uint8_t> LosslessJpegDecoder::nextMarker()
{
    for (;;) {
        while (m_pos < m_input.size() && m_input[m_pos] != 0xFF)
            ++m_pos;
        while (m_pos < m_input.size() && m_input[m_pos] == 0xFF)
            ++m_pos;
        if (m_pos >= m_input.size())
            return corrupt("Premature end of JPEG data");
        std::uint8_t marker = m_input[m_pos++];
        if (marker == 0x00)
            continue;
        if (marker == 0x01 || (marker >= kRst0 && marker <= kRst7)) {
            if (!(m_warnings & UnexpectedMarker))
                m_firstUnexpectedMarker = marker;
            m_warnings |= UnexpectedMarker;
            continue;
        }
        if (isFrameMarker(marker) || marker == kSoi || marker == kEoi || marker == kSos)
            return marker;
        Result<void> handled;
        if (marker == kDht) {
            handled = readHuffmanTables();
        } else if (marker == kDri) {
            handled = readRestartInterval();
        } else {
            if (marker == kDqt)
                m_warnings |= QuantisationTable;
            auto segment = readSegment();
            if (!segment)
                return segment.error();
        }
        if (!handled)
            return handled.error();
    }
}

// T.81 B.1.1.4: a 16-bit length that counts itself, then the parameters.
Result<std::span<const std::uint8_t>> LosslessJpegDecoder::readSegment()
{
    if (m_input.size() - m_pos < 2)
        return corrupt("Premature end of JPEG data");
    std::size_t length = (std::size_t(m_input[m_pos]) << 8) | m_input[m_pos + 1];
    if (length < 2)
        return corrupt("Bogus marker length");
    if (length > m_input.size() - m_pos)
        return corrupt("Premature end of JPEG data");
    auto payload = m_input.subspan(m_pos + 2, length - 2);
    m_pos += length;
    return payload;
}

// B.2.2 Frame header syntax
Result<void> LosslessJpegDecoder::readFrameHeader(std::uint8_t marker)
{
    m_frameMarker = marker;
    auto segment = readSegment();
    if (!segment)
        return segment.error();
    base::ByteReader r(*segment, base::Endian::Big);
    auto precision = r.u8();
    auto height = r.u16();
    auto width = r.u16();
    auto count = r.u8();
    if (!count)
        return corrupt("Bogus SOF length");
    if (*height == 0 && *width > 0 && *count > 0)
        return unsupported("Empty JPEG image (DNL not supported)");
    if (*width == 0 || *count == 0)
        return corrupt("Empty JPEG image (DNL not supported)");
    if (*precision < 2 || *precision > 16)
        return unsupported("Unsupported JPEG data precision");
    if (segment->size() + 2 != std::size_t(*count) * 3 + 8)
        return corrupt("Bogus SOF length");
    if (*count > 4)
        return unsupported("Too many components for interleaved scan");
    for (int i = 0; i < *count; ++i) {
        Component component;
        component.id = *r.u8();
        int sampling = *r.u8();
        component.horizontal = sampling >> 4;
        component.vertical = sampling & 0x0F;
        r.u8(); // quantisation table selector: lossless frames have none
        if (component.horizontal != 1 || component.vertical != 1)
            return unsupported("Error: Downsampling is not supported.");
        m_components.push_back(component);
    }
    m_precision = *precision;
    m_width = *width;
    m_height = *height;

    if (m_width != m_params.columns || m_height != m_params.rows || *count != m_params.samplesPerPixel)
        return corrupt("JPEG frame size does not match the image attributes ("  + std::to_string(m_width) + " x "
            + std::to_string(m_height) + " x " + std::to_string(int(*count)) + ")");
    if (m_precision > m_params.bitsAllocated)
        return corrupt("JPEG precision " + std::to_string(m_precision) + " exceeds the bits allocated");
    m_region = m_options.region.within(m_width, m_height);
    if (m_dest.size() < std::uint64_t(m_region.columns) * m_region.rows * *count * m_params.bytesPerSample())
        return corrupt("Frame buffer too small for the decoded frame");
    return {};
}

// T.81 B.2.4.2: Huffman table definitions (DHT)
Result<void> LosslessJpegDecoder::readHuffmanTables()
{
    auto segment = readSegment();
    if (!segment)
        return segment.error();
    base::ByteReader r(*segment, base::Endian::Big);
    while (!r.atEnd()) {
        int tableByte = *r.u8();
        auto counts = r.take(16);
        if (!counts)
            return corrupt("Bogus DHT counts");
        HuffmanCodes codes;
        int total = 0;
        for (int i = 0; i < 16; ++i) {
            codes.counts[i + 1] = (*counts)[i];
            total += (*counts)[i];
        }
        if (total > 256)
            return corrupt("Bogus DHT counts");
        auto values = r.take(std::uint64_t(total));
        if (!values)
            return corrupt("Bogus DHT counts");
        std::copy(values->begin(), values->end(), codes.values.begin());
        codes.valueCount = total;
        int slot = tableByte & 0x0F;
        if (slot > 3)
            return corrupt(hexText("Bogus DHT index %d", slot));
        // An AC table has no use in a lossless scan; storing it would replace
        // the DC table of the same slot.
        if (tableByte & 0x10) {
            m_warnings |= AcTable;
            continue;
        }
        m_tableCodes[slot] = codes;
        m_tableDefined[slot] = true;
    }
    return {};
}

// B.2.4.4 Restart interval definition syntax
Result<void> LosslessJpegDecoder::readRestartInterval()
{
    auto segment = readSegment();
    if (!segment)
        return segment.error();
    if (segment->size() != 2)
        return corrupt("Bogus length in DRI");
    m_restartInterval = (std::uint32_t((*segment)[0]) << 8) | (*segment)[1];
    return {};
}

// B.2.3 Scan header syntax
Result<void> LosslessJpegDecoder::readScanHeader()
{
    auto segment = readSegment();
    if (!segment)
        return segment.error();
    base::ByteReader r(*segment, base::Endian::Big);
    auto count = r.u8();
    if (!count || *count < 1 || *count > 4 || segment->size() + 2 != std::size_t(*count) * 2 + 6)
        return corrupt("Bogus SOS length");
    m_scan.clear();
    for (int i = 0; i < *count; ++i) {
        int selector = *r.u8();
        int tables = *r.u8();
        auto found = std::find_if(m_components.begin(), m_components.end(),
            [selector](const Component& c) { return c.id == selector; });
        if (found == m_components.end() || found->decoded)
            return corrupt("Invalid component number in SOS");
        int index = static_cast<int>(found - m_components.begin());
        for (const auto& earlier : m_scan)
            if (earlier.frameIndex == index)
                return corrupt("Invalid component number in SOS");
        m_scan.push_back({ index, tables >> 4 });
    }
    m_predictor = *r.u8();
    int spectralEnd = *r.u8();
    int successive = *r.u8();
    // SOF0/1 frames are normally DCT-based (Ss 0, Se 63); only a scan that
    // carries a predictor and no spectral selection is a lossless one.
    if (m_frameMarker != kSof3 && (m_predictor == 0 || spectralEnd != 0))
        return unsupported("Not a lossless JPEG file.");
    m_pointTransform = successive & 0x0F;
    if (m_pointTransform >= m_precision)
        return corrupt("Bogus point transform " + std::to_string(m_pointTransform));
    if (m_predictor > 7) {
        m_warnings |= UndefinedPredictor;
        m_predictor = 0;
    }
    for (const auto& component : m_scan) {
        if (component.tableSlot > 3 || !m_tableDefined[component.tableSlot])
            return corrupt("Error: Use of undefined Huffman table");
        auto table = HuffmanTable::build(m_tableCodes[component.tableSlot]);
        if (!table)
            return table.error();
        m_tables[component.tableSlot] = *table;
    }
    if (m_restartInterval != 0 && m_restartInterval % m_width != 0)
        return unsupported("Restart intervals that end inside a row are not supported");
    return {};
}

namespace {

// Calls f with the predictor as a compile-time constant, so that the inner
// loops carry no switch.
template<typename F>
void withPredictor(int psv, F&& f)
{
    switch (psv) {
    case 1: f(std::integral_constant<int, 1> {}); break;
    case 2: f(std::integral_constant<int, 2> {}); break;
    case 3: f(std::integral_constant<int, 3> {}); break;
    case 4: f(std::integral_constant<int, 4> {}); break;
    case 5: f(std::integral_constant<int, 5> {}); break;
    case 6: f(std::integral_constant<int, 6> {}); break;
    case 7: f(std::integral_constant<int, 7> {}); break;
    default: f(std::integral_constant<int, 0> {}); break;
    }
}

} // namespace

// T.81 H.2: decodes the scan's rows, restarting every whole number of rows
// when a restart interval is set (E.2.4: each interval starts afresh).
Result<void> LosslessJpegDecoder::decodeScan()
{
    JpegBitReader bits(m_input.data() + m_pos, m_input.data() + m_input.size());
    m_nextRestart = 0;
    // The fast path predicts from the row above in dest, so it needs whole rows.
    const bool fast = m_options.fastPath == FastPath::Allowed && m_params.bitsAllocated == 8
        && m_components.size() == 1 && m_restartInterval == 0 && m_pointTransform == 0 && m_region.columns == m_width;
    if (fast) {
        decodeRowsFast(bits);
        m_usedFastPath = true;
    } else {
        const std::size_t rowSamples = std::size_t(m_width) * m_scan.size();
        m_previousRow.assign(rowSamples, 0);
        m_currentRow.assign(rowSamples, 0);
        const std::uint32_t rowsPerInterval = m_restartInterval ? m_restartInterval / m_width : m_height;
        for (std::uint32_t row = 0; row < m_region.rows; row += rowsPerInterval) {
            if (row > 0) {
                if (auto restart = processRestart(bits); !restart)
                    return restart;
            }
            const std::uint32_t count = std::min(rowsPerInterval, m_region.rows - row);
            withPredictor(m_predictor, [&](auto psv) { decodeRows<decltype(psv)::value>(bits, row, count); });
        }
    }
    if (bits.ranPastData())
        m_warnings |= PrematureEnd;
    if (m_region.rows < m_height)
        skipRestOfScan(bits);
    m_pos = static_cast<std::size_t>(bits.position() - m_input.data());
    for (const auto& component : m_scan)
        m_components[component.frameIndex].decoded = true;
    return {};
}

// T.81 E.2.4 and F.2.1.3.1: at the end of an interval the decoder discards
// its remaining bits and expects RSTn, n counting modulo 8.
Result<void> LosslessJpegDecoder::processRestart(JpegBitReader& bits)
{
    if (bits.ranPastData())
        m_warnings |= PrematureEnd;
    const std::uint8_t* data = m_input.data();
    std::size_t pos = static_cast<std::size_t>(bits.position() - data);
    const std::size_t size = m_input.size();
    int marker = -1;
    while (pos < size) {
        if (data[pos] != 0xFF) {
            ++pos;
            continue;
        }
        std::size_t next = pos;
        while (next < size && data[next] == 0xFF)
            ++next;
        if (next >= size)
            break;
        pos = next + 1;
        if (data[next] != 0x00) {
            marker = data[next];
            break;
        }
    }
    if (marker != kRst0 + m_nextRestart)
        return corrupt("Error: Corrupt JPEG data.  Exiting...");
    m_nextRestart = (m_nextRestart + 1) & 7;
    bits.resetAt(data + pos);
    return {};
}

// T.81 B.1.1.2 and B.1.1.5: the rows below the region are not decoded; the
// entropy-coded data up to the next marker other than RSTn is passed over.
void LosslessJpegDecoder::skipRestOfScan(JpegBitReader& bits)
{
    const std::uint8_t* data = m_input.data();
    std::size_t pos = static_cast<std::size_t>(bits.position() - data);
    const std::size_t size = m_input.size();
    for (; pos + 1 < size; ++pos) {
        const std::uint8_t next = data[pos + 1];
        if (data[pos] == 0xFF && next != 0x00 && next != 0xFF && !(next >= kRst0 && next <= kRst7)) {
            bits.resetAt(data + pos);
            return;
        }
    }
    bits.resetAt(data + size);
}

template<int Psv>
void LosslessJpegDecoder::decodeRows(JpegBitReader& bits, std::uint32_t firstRow, std::uint32_t rowCount)
{
    const HuffmanTable* tables[4] {};
    const int ns = static_cast<int>(m_scan.size());
    for (int c = 0; c < ns; ++c)
        tables[c] = &m_tables[m_scan[c].tableSlot];
    const int initial = 1 << (m_precision - m_pointTransform - 1);
    bool badCode = false;
    for (std::uint32_t r = 0; r < rowCount; ++r) {
        std::uint16_t* cur = m_currentRow.data();
        const std::uint16_t* prev = m_previousRow.data();
        if (ns == 1)
            decodeLine<Psv, true>(bits, tables, 1, cur, prev, m_width, r == 0, initial, badCode);
        else
            decodeLine<Psv, false>(bits, tables, ns, cur, prev, m_width, r == 0, initial, badCode);
        writeRow(firstRow + r, cur);
        std::swap(m_previousRow, m_currentRow);
    }
    if (badCode)
        m_warnings |= BadHuffmanCode;
}

// 8-bit single-component frames: the previous output row is the prediction
// row, so samples go straight to the destination.
void LosslessJpegDecoder::decodeRowsFast(JpegBitReader& bits)
{
    const HuffmanTable* tables[1] = { &m_tables[m_scan[0].tableSlot] };
    const int initial = 1 << (m_precision - 1);
    bool badCode = false;
    std::uint8_t* out = m_dest.data();
    withPredictor(m_predictor, [&](auto psv) {
        for (std::uint32_t row = 0; row < m_region.rows; ++row) {
            std::uint8_t* cur = out + std::size_t(row) * m_width;
            const std::uint8_t* prev = row > 0 ? cur - m_width : cur;
            decodeLine<decltype(psv)::value, true>(bits, tables, 1, cur, prev, m_width, row == 0, initial, badCode);
        }
    });
    if (badCode)
        m_warnings |= BadHuffmanCode;
}

// T.81 H.2.1 (end): reconstructed samples are scaled back up by the point
// transform.
void LosslessJpegDecoder::writeRow(std::uint32_t row, const std::uint16_t* samples)
{
    const std::size_t nf = m_components.size();
    const std::size_t ns = m_scan.size();
    const int pt = m_pointTransform;
    const std::size_t columns = m_region.columns;
    const std::size_t rowStart = std::size_t(row) * columns * nf;
    bool frameOrder = ns == nf;
    for (std::size_t c = 0; c < ns && frameOrder; ++c)
        frameOrder = m_scan[c].frameIndex == static_cast<int>(c);
    if (m_params.bitsAllocated == 16) {
        std::uint8_t* out = m_dest.data() + rowStart * 2;
        if (frameOrder && pt == 0) {
            std::memcpy(out, samples, columns * ns * 2);
            return;
        }
        for (std::size_t x = 0; x < columns; ++x) {
            for (std::size_t c = 0; c < ns; ++c) {
                auto v = static_cast<std::uint16_t>(samples[x * ns + c] << pt);
                std::memcpy(out + (x * nf + std::size_t(m_scan[c].frameIndex)) * 2, &v, 2);
            }
        }
        return;
    }
    std::uint8_t* out = m_dest.data() + rowStart;
    for (std::size_t x = 0; x < columns; ++x)
        for (std::size_t c = 0; c < ns; ++c)
            out[x * nf + std::size_t(m_scan[c].frameIndex)] = static_cast<std::uint8_t>(samples[x * ns + c] << pt);
}

std::vector<std::string> LosslessJpegDecoder::warningTexts() const
{
    std::vector<std::string> texts;
    if (m_warnings & UnexpectedMarker)
        texts.push_back(hexText("Warning: unexpected marker 0x%02x", m_firstUnexpectedMarker));
    if (m_warnings & UndefinedPredictor)
        texts.emplace_back("Warning: Undefined PSV");
    if (m_warnings & QuantisationTable)
        texts.emplace_back("Not a lossless JPEG file.");
    if (m_warnings & AcTable)
        texts.emplace_back("Huffman table for lossless JPEG is not defined.");
    if (m_warnings & BadHuffmanCode)
        texts.emplace_back("Corrupt JPEG data: bad Huffman code");
    if (m_warnings & PrematureEnd)
        texts.emplace_back("Corrupt JPEG data: premature end of data segment");
    return texts;
}

} // namespace codecs
