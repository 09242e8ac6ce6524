#pragma once

// The built-in data dictionary (PS3.6): name and VR of every public tag the
// viewer knows. Read-only and compiled in; nothing is loaded at run time.

#include "base/Tag.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace dicom {

struct TagEntry {
    std::uint16_t group;
    std::uint16_t element;
    std::string_view vr; // empty for the few entries without one
    std::string_view name;

    constexpr base::Tag tag() const { return {group, element}; }
};

namespace TagDictionary {

// Every entry, in ascending (group, element) order.
std::span<const TagEntry> entries();

// The first entry with this tag, so a tag listed twice gives its first row.
const TagEntry* lookup(base::Tag tag);

// Empty when the tag is not in the dictionary.
std::string_view name(base::Tag tag);

// None when the tag is not in the dictionary; an entry may have an empty VR.
std::optional<std::string_view> vr(base::Tag tag);

} // namespace TagDictionary

} // namespace dicom
