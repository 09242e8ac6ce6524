#pragma once

// A whole DICOM file as a tree (meta group, elements, sequence items), parsed
// from its bytes and encoded back in the same transfer syntax. Used where
// value lengths change, so the file cannot be edited in place. Encapsulated
// pixel data is carried byte for byte; sequences and items are written with
// undefined lengths (PS3.5 7.5.2), which every reader accepts.

#include "base/Tag.h"
#include "dicom/Anonymizer.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dicom {

struct TreeElement {
    base::Tag tag;
    std::string vr;                  // as read; in implicit VR the dictionary's, or "UN"
    std::vector<std::uint8_t> value; // as stored; for encapsulated pixel data its items and delimiter
    bool sequence = false;
    bool encapsulated = false;
    bool implicitItems = false;      // an explicit-VR "UN" of undefined length: items in implicit VR (PS3.5 6.2.2)
    std::vector<std::vector<TreeElement>> items;
};

enum class TreeEncoding { ImplicitLittle, ExplicitLittle, ExplicitBig };

struct TreeFile {
    bool part10 = false;
    std::array<std::uint8_t, 128> preamble {};
    std::vector<TreeElement> meta; // group 0x0002, explicit VR little endian
    TreeEncoding encoding = TreeEncoding::ExplicitLittle;
    std::vector<TreeElement> elements;
};

// The header parse's failure (headerFailure), Malformed when the elements do
// not parse to the end, Unsupported for a deflated data set.
AnonResult<TreeFile> parseTree(std::span<const std::uint8_t> bytes);

// The file's bytes; the meta group's length (0002,0000) is computed afresh.
std::vector<std::uint8_t> encodeTree(const TreeFile& file);

// VRs with two reserved bytes and a 32-bit length in explicit VR (PS3.5 7.1.2).
bool hasLongLength(std::string_view vr);

} // namespace dicom
