#pragma once

#include <compare>
#include <cstdint>

namespace base {

// A DICOM attribute tag: (group, element). Compared as one 32-bit number so
// that ordering matches the order of elements in a data set.
struct Tag {
    std::uint16_t group = 0;
    std::uint16_t element = 0;

    constexpr std::uint32_t key() const { return (std::uint32_t(group) << 16) | element; }
    constexpr bool operator==(const Tag&) const = default;
    constexpr auto operator<=>(const Tag& other) const { return key() <=> other.key(); }
};

} // namespace base
