#include "dicom/UidDictionary.h"

namespace dicom::UidDictionary {

namespace {

constexpr UidEntry Table[] = {
#include "dicom/UidTable.inc"
};

// Transfer syntaxes this reader decodes that the dictionary above predates
// (PS3.6 Table A-1), named only by name().
constexpr UidEntry DecodedSyntaxes[] = {
    {"1.2.840.10008.1.2.4.80", "JPEG-LS Lossless Image Compression"},
    {"1.2.840.10008.1.2.4.81", "JPEG-LS Lossy (Near-Lossless) Image Compression"},
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
    for (const UidEntry& entry : DecodedSyntaxes) {
        if (entry.uid == uid)
            return entry.name;
    }
    return std::nullopt;
}

} // namespace dicom::UidDictionary
