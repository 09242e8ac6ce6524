#include "dicom/PaletteColour.h"

#include "dicom/DicomError.h"

#include <algorithm>

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

} // namespace dicom
