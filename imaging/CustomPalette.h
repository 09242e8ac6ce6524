#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"
#include "imaging/PaletteTable.h"

namespace imaging {

// A user palette: a name for menus and lists and 256 colours, of which the
// low 8 bits of each value are shown.
struct CustomPalette {
    static constexpr std::size_t kMaxNameLength = 127;

    std::string name;
    std::array<std::int32_t, 256> red{};
    std::array<std::int32_t, 256> green{};
    std::array<std::int32_t, 256> blue{};

    PaletteTable table() const;
};

enum class PaletteFileError : int {
    CannotOpen = 1,   // the file cannot be opened or read
    NoName = 2,       // the file holds no word to take as the name
    TooLarge = 3,     // larger than any palette file can sensibly be
    CannotCreate = 4, // the file (or its temporary twin) cannot be created
    CannotWrite = 5,  // writing, flushing or renaming into place failed
};

// Palette files fail on their own terms: these are the file's problems,
// not an image operation's.
template<typename T>
using PaletteFileResult = base::Result<T, PaletteFileError>;

inline constexpr std::uintmax_t kMaxPaletteFileBytes = 1 << 20;

// A palette file's text: the first whitespace-delimited word is the name (cut
// to 127 characters, control characters made "_"), then up to 256 triples of
// decimal integers (red, green, blue). Reading stops at the first triple that
// cannot be read; the entries not read stay 0. Numbers beyond 32 bits are
// held at the nearest 32-bit value.
PaletteFileResult<CustomPalette> parsePalette(std::string_view text);
PaletteFileResult<CustomPalette> readPaletteFile(const std::filesystem::path& file);

// A name that can be both a palette file's first word and its file name:
// whitespace, control characters and / \ : * ? " < > | become "_"; cut to 127
// characters; an empty name becomes "NewPalette".
std::string sanitizePaletteName(std::string_view name);
// The default file name for saving a palette: its sanitised name plus ".txt".
std::string paletteFileName(std::string_view name);

// The file form: the sanitised name on the first line, then 256 lines of
// "red\tgreen\tblue".
std::string formatPalette(const CustomPalette& palette);

// Writes to a temporary file beside `file` and renames it into place, so an
// existing file is either replaced whole or left as it was.
PaletteFileResult<void> writePaletteFile(const std::filesystem::path& file, const CustomPalette& palette);

// The user palettes in load order, with the one chosen last. Owned by the
// application; pointers from at() stay valid until the next addition.
class CustomPaletteList {
public:
    // Menus cannot offer more than this; further files are not read.
    static constexpr std::size_t kMaxPalettes = 4096;

    // Reads every ".txt" file of the folder, in name order; files that cannot
    // be read are skipped and a missing folder adds nothing. The program's
    // shipped palettes and the user's own come from separate folders, so this
    // is called once per folder. Returns how many palettes were added.
    std::size_t loadFolder(const std::filesystem::path& folder);

    // Writes the palette (under its sanitised name) to `file` and appends it
    // only once the file is in place.
    PaletteFileResult<void> save(const std::filesystem::path& file, const CustomPalette& palette);

    bool add(CustomPalette palette);

    std::size_t size() const { return m_palettes.size(); }
    bool empty() const { return m_palettes.empty(); }
    const CustomPalette* at(std::size_t index) const
    {
        return index < m_palettes.size() ? &m_palettes[index] : nullptr;
    }
    std::span<const CustomPalette> palettes() const { return m_palettes; }

    std::optional<std::size_t> lastChosen() const { return m_lastChosen; }
    void setLastChosen(std::size_t index) { m_lastChosen = index; }

private:
    std::vector<CustomPalette> m_palettes;
    std::optional<std::size_t> m_lastChosen;
};

} // namespace imaging
