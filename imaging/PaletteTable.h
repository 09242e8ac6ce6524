#pragma once

#include <array>
#include <cstdint>

namespace imaging {

// Palette numbers: 0..10 are the built-in tables, 11 + k custom palette k.
inline constexpr int kGrayscalePalette = 7;
inline constexpr int kFirstCustomPalette = 11;

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t reserved = 0;

    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// 256 colours a grey display bitmap's indices stand for. Plain data so that
// built-in and custom tables are made the same way and kept by value.
struct PaletteTable {
    std::array<PaletteEntry, 256> entries{};

    static PaletteTable grayscale();

    // True when every entry has red = green = blue.
    bool isGrey() const;

    friend bool operator==(const PaletteTable&, const PaletteTable&) = default;
};

static_assert(sizeof(PaletteTable) == 1024, "a table is copied as 256 packed 4-byte entries");

} // namespace imaging
