#include "dicom/PaletteColour.h"

#include "dicom/DicomError.h"

#include <algorithm>
#include <cmath>

namespace dicom {

namespace {

std::uint32_t loadWord(std::span<const std::uint8_t> data, std::size_t at, std::size_t width, WordOrder order)
{
    std::uint32_t v = 0;
    for (std::size_t b = 0; b < width; ++b) {
        const std::size_t index = order == WordOrder::Little ? at + width - 1 - b : at + b;
        v = (v << 8) | data[index];
    }
    return v;
}

} // namespace

PaletteChannel reducePaletteTable(std::span<const std::uint8_t> data, WordOrder order)
{
    const std::size_t length = data.size();
    std::size_t width = 1;
    if (length > 512)
        width = 4;
    else if (length > 256)
        width = 2;
    const std::size_t entries = std::min<std::size_t>(length / width, 256);
    const int shift = static_cast<int>(8 * (width - 1));

    PaletteChannel channel{};
    for (std::size_t i = 0; i < entries; ++i)
        channel[i] = static_cast<std::uint8_t>(loadWord(data, i * width, width, order) >> shift);
    if (entries > 0)
        std::fill(channel.begin() + static_cast<std::ptrdiff_t>(entries), channel.end(), channel[entries - 1]);
    return channel;
}

Result<PaletteTables> reducePaletteTables(std::span<const std::uint8_t> red, std::span<const std::uint8_t> green,
                                                std::span<const std::uint8_t> blue, WordOrder order)
{
    // A table of length 0 is refused with the code of a failed allocation,
    // which is what the tables' readers have always reported for it.
    if (red.empty() || green.empty() || blue.empty())
        return Error{DicomError::OutOfMemory, "a palette colour table has length 0"};
    if (green.size() != red.size() || blue.size() != red.size())
        return Error{DicomError::Corrupted, "palette colour tables differ in length"};
    return PaletteTables{reducePaletteTable(red, order), reducePaletteTable(green, order),
                         reducePaletteTable(blue, order)};
}

PaletteRecord makePaletteRecord(std::string_view manufacturer, const PaletteTables& tables)
{
    while (!manufacturer.empty() && (manufacturer.back() == ' ' || manufacturer.back() == '\0'))
        manufacturer.remove_suffix(1);
    PaletteRecord record;
    record.name = manufacturer.empty() ? std::string("NewPalette") : std::string(manufacturer.substr(0, 127));
    std::replace(record.name.begin(), record.name.end(), ' ', '_');
    std::copy(tables.red.begin(), tables.red.end(), record.red.begin());
    std::copy(tables.green.begin(), tables.green.end(), record.green.begin());
    std::copy(tables.blue.begin(), tables.blue.end(), record.blue.begin());
    return record;
}

namespace {

// Indirect segments may copy segments that are themselves indirect; a chain
// deeper than this is a loop in all but name.
constexpr int MaxIndirectDepth = 8;

class SegmentExpander {
public:
    SegmentExpander(std::span<const std::uint16_t> words, std::size_t maxEntries)
        : m_words(words)
        , m_max(maxEntries)
    {
    }

    // Expands from word `at`, `limit` segments (0: to the end of the data).
    Result<void> run(std::size_t at, std::size_t limit, int depth)
    {
        for (std::size_t done = 0; (limit == 0 || done < limit) && m_out.size() < m_max; ++done) {
            // A trailing pad word is not a segment.
            if (at + 1 >= m_words.size())
                return limit == 0 ? Result<void>{} : corrupted("an indirect segment copies past the table");
            const std::uint16_t opcode = m_words[at];
            const std::size_t length = m_words[at + 1];
            at += 2;
            Result<void> step = opcode == 0 ? discrete(at, length)
                              : opcode == 1 ? linear(at, length)
                              : opcode == 2 ? indirect(at, length, depth)
                                            : corrupted("unknown palette segment opcode " + std::to_string(opcode));
            if (!step)
                return step;
        }
        return {};
    }

    std::vector<std::uint16_t> take() { return std::move(m_out); }

private:
    static Error corrupted(std::string detail) { return Error{DicomError::Corrupted, std::move(detail)}; }

    void append(std::uint16_t value)
    {
        if (m_out.size() < m_max)
            m_out.push_back(value);
    }

    Result<void> discrete(std::size_t& at, std::size_t length)
    {
        if (length > m_words.size() - at)
            return corrupted("a discrete palette segment runs past the table");
        for (std::size_t i = 0; i < length; ++i)
            append(m_words[at + i]);
        at += length;
        return {};
    }

    Result<void> linear(std::size_t& at, std::size_t length)
    {
        if (at >= m_words.size())
            return corrupted("a linear palette segment runs past the table");
        if (m_out.empty())
            return corrupted("a palette table starts with a linear segment");
        const double y0 = m_out.back();
        const double y1 = m_words[at++];
        const std::size_t count = std::min(length, m_max - m_out.size());
        // Rounded half to even, which is how the reference decoders round.
        for (std::size_t i = 1; i <= count; ++i)
            append(static_cast<std::uint16_t>(std::nearbyint(y0 + (y1 - y0) * double(i) / double(length))));
        return {};
    }

    Result<void> indirect(std::size_t& at, std::size_t count, int depth)
    {
        if (m_words.size() - at < 2)
            return corrupted("an indirect palette segment runs past the table");
        if (m_out.empty())
            return corrupted("a palette table starts with an indirect segment");
        const std::size_t offset = std::size_t(m_words[at]) | std::size_t(m_words[at + 1]) << 16;
        at += 2;
        if (depth >= MaxIndirectDepth)
            return corrupted("indirect palette segments nest too deep");
        if (offset >= m_words.size())
            return corrupted("an indirect palette segment points past the table");
        return count == 0 ? Result<void>{} : run(offset, count, depth + 1);
    }

    std::span<const std::uint16_t> m_words;
    std::size_t m_max;
    std::vector<std::uint16_t> m_out;
};

} // namespace

Result<std::vector<std::uint16_t>> expandSegmentedTable(std::span<const std::uint16_t> words,
                                                        std::size_t maxEntries)
{
    SegmentExpander expander(words, maxEntries);
    if (auto done = expander.run(0, 0, 0); !done)
        return done.error();
    auto entries = expander.take();
    if (entries.empty())
        return Error{DicomError::Corrupted, "a segmented palette table holds no entries"};
    return entries;
}

PaletteChannel reduceExpandedTable(std::span<const std::uint16_t> entries, int entryBits)
{
    PaletteChannel channel{};
    const std::size_t taken = std::min<std::size_t>(entries.size(), 256);
    for (std::size_t i = 0; i < taken; ++i)
        channel[i] = static_cast<std::uint8_t>(entryBits > 8 ? entries[i] >> 8 : entries[i] & 0xFF);
    if (taken > 0)
        std::fill(channel.begin() + static_cast<std::ptrdiff_t>(taken), channel.end(), channel[taken - 1]);
    return channel;
}

} // namespace dicom
