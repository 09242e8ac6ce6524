#pragma once

// One data element as read from a file or built in memory. The element owns
// its value and the elements of its sequence items.

#include "base/Tag.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dicom {

struct DicomElement {
    std::uint16_t group = 0;
    std::uint16_t element = 0;
    std::string name;                   // from the tag dictionary; empty for unknown tags
    std::string vr;                     // two characters, or empty when not known
    std::optional<std::string> uidName; // for "UI" values the registry knows
    std::uint32_t valueOffset = 0;      // file offset of the first value byte
    std::uint32_t length = 0;           // value length as read; 0 for sequences
    // The value bytes as stored (big-endian values are not swapped) followed by
    // one zero byte, so text values are always terminated. Empty when the
    // element keeps no value (sequences, pixel data).
    std::vector<std::uint8_t> value;
    // Length 2: the 16-bit value (zero-extended for "US", sign-extended
    // otherwise); length 4: the 32-bit value; host order. In implicit VR an
    // "IS" or "DS" text gives its number instead. 0 otherwise.
    std::int32_t numericValue = 0;
    // For sequences: the elements of all items, items one after the other.
    std::vector<DicomElement> childElements;

    base::Tag tag() const { return {group, element}; }
    bool hasValue() const { return !value.empty(); }
    // The value bytes without the terminating zero.
    std::span<const std::uint8_t> bytes() const;
    // The value as text, up to its first zero byte.
    std::string_view text() const;
    // Gives the element a copy of these bytes plus the terminating zero.
    void setValue(std::span<const std::uint8_t> bytes);
};

} // namespace dicom
