#pragma once

// Where the pixel data element (7FE0,0010) lies in a file, as the reader's
// single pass over the elements found it: the value of native data, or the
// offset table and fragments of encapsulated data (PS3.5 A.4). The frame
// extraction works from this record and never walks the elements again.

#include <cstdint>
#include <string>
#include <vector>

namespace dicom {

struct PixelFragment {
    std::uint64_t offset = 0;       // first value byte in the file
    std::uint32_t length = 0;
    std::uint64_t itemPosition = 0; // item tag, counted from the first fragment's tag
};

struct PixelDataLocation {
    static constexpr std::uint32_t Encapsulated = 0xFFFFFFFF;

    bool found = false;
    std::string vr;                 // as stored; empty in implicit VR
    std::uint64_t valueOffset = 0;
    std::uint32_t length = 0;       // Encapsulated for fragments
    std::vector<std::uint32_t> offsetTable;
    std::vector<PixelFragment> fragments;
    bool delimited = false;         // the fragments ended with a sequence delimiter
    // Why the fragments cannot be used; empty when their layout is sound.
    std::string fault;

    bool encapsulated() const { return length == Encapsulated; }
};

} // namespace dicom
