#include "imaging/PaletteTable.h"

namespace imaging {

PaletteTable PaletteTable::grayscale()
{
    PaletteTable table;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        table.entries[static_cast<std::size_t>(i)] = PaletteEntry{v, v, v, 0};
    }
    return table;
}

bool PaletteTable::isGrey() const
{
    for (const PaletteEntry& e : entries) {
        if (e.red != e.green || e.green != e.blue)
            return false;
    }
    return true;
}

} // namespace imaging
