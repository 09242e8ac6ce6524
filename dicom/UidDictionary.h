#pragma once

// Names of well-known UIDs (PS3.6 Annex A): transfer syntaxes, SOP classes
// and the like, for listings.

#include <optional>
#include <span>
#include <string_view>

namespace dicom {

struct UidEntry {
    std::string_view uid;
    std::string_view name;
};

namespace UidDictionary {

std::span<const UidEntry> entries();

// The name of a UID compared for exact equality, so a value with a trailing
// blank has no name. None when the UID is not listed.
std::optional<std::string_view> name(std::string_view uid);

} // namespace UidDictionary

} // namespace dicom
