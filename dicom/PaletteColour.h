#pragma once

// Palette Color Lookup Tables (PS3.3 C.7.6.3.1.5, C.7.6.3.1.6) reduced to the
// 256 8-bit entries per channel that 8-bit indices need.

#include "dicom/DicomError.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dicom {

using PaletteChannel = std::array<std::uint8_t, 256>;

struct PaletteTables {
    PaletteChannel red{};
    PaletteChannel green{};
    PaletteChannel blue{};
};

enum class WordOrder { Little, Big };

// The entry width is inferred from the table's byte length L (the descriptor
// is often wrong): L <= 256 bytes, L <= 512 16-bit words (high byte kept),
// L = 1024 or more 32-bit words (top byte kept). At most 256 entries are
// taken; a shorter table repeats its last entry so every index has a colour.
PaletteChannel reducePaletteTable(std::span<const std::uint8_t> data, WordOrder order);

// The three tables must have the same non-zero length, else error 5.
Result<PaletteTables> reducePaletteTables(std::span<const std::uint8_t> red, std::span<const std::uint8_t> green,
                                                std::span<const std::uint8_t> blue, WordOrder order);

// PS3.3 C.7.9.2: segmented table data (opcodes and values in 16-bit words)
// expanded to at most maxEntries entries. An indirect segment's offset
// counts words from the start of the data, as the common decoders read it.
// A segment that runs past the data, an unknown opcode, a leading linear or
// indirect segment, or indirect segments nested past a small depth is error 5.
Result<std::vector<std::uint16_t>> expandSegmentedTable(std::span<const std::uint16_t> words,
                                                        std::size_t maxEntries);

// The first 256 entries of an expanded table as 8-bit colours: the high byte
// of 16-bit entries, the low byte of 8-bit ones; a shorter table repeats its
// last entry.
PaletteChannel reduceExpandedTable(std::span<const std::uint16_t> entries, int entryBits);

// A palette saved under the maker's name: (0008,0070) without its padding,
// at most 127 characters, blanks as "_"; "NewPalette" when there is none.
struct PaletteRecord {
    std::string name;
    std::array<std::uint32_t, 256> red{};
    std::array<std::uint32_t, 256> green{};
    std::array<std::uint32_t, 256> blue{};
};

PaletteRecord makePaletteRecord(std::string_view manufacturer, const PaletteTables& tables);

} // namespace dicom
