#include "dicom/UidDictionary.h"

namespace dicom::UidDictionary {

namespace {

constexpr UidEntry Table[] = {
#include "dicom/UidTable.inc"
};

} // namespace

std::span<const UidEntry> entries()
{
    return Table;
}

std::optional<std::string_view> name(std::string_view uid)
{
    for (const UidEntry& entry : Table) {
        if (entry.uid == uid)
            return entry.name;
    }
    return std::nullopt;
}

} // namespace dicom::UidDictionary
