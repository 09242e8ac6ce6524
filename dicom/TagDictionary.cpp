#include "dicom/TagDictionary.h"

#include <algorithm>

namespace dicom::TagDictionary {

namespace {

constexpr TagEntry Table[] = {
#include "dicom/TagTable.inc"
};

constexpr bool isSorted()
{
    for (std::size_t i = 1; i < std::size(Table); ++i) {
        if (Table[i].tag() < Table[i - 1].tag())
            return false;
    }
    return true;
}
static_assert(isSorted(), "TagTable.inc must be in ascending tag order for bisection");

} // namespace

std::span<const TagEntry> entries()
{
    return Table;
}

const TagEntry* lookup(base::Tag tag)
{
    // lower_bound finds the first of equal tags, which is the entry a linear
    // scan from the start would find.
    auto it = std::lower_bound(std::begin(Table), std::end(Table), tag,
                               [](const TagEntry& entry, base::Tag wanted) { return entry.tag() < wanted; });
    if (it == std::end(Table) || it->tag() != tag)
        return nullptr;
    return &*it;
}

std::string_view name(base::Tag tag)
{
    const TagEntry* entry = lookup(tag);
    return entry ? entry->name : std::string_view {};
}

std::optional<std::string_view> vr(base::Tag tag)
{
    const TagEntry* entry = lookup(tag);
    if (!entry)
        return std::nullopt;
    return entry->vr;
}

} // namespace dicom::TagDictionary
