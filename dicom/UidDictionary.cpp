#include "dicom/UidDictionary.h"

namespace dicom::UidDictionary {

namespace {

constexpr UidEntry Table[] = {
#include "dicom/UidTable.inc"
};

// Transfer syntaxes that the dictionary above predates (PS3.6 Table A-1),
// named only by name(): those this reader decodes, and the video ones it
// refuses, so that a listing says what a refused file holds.
constexpr UidEntry LaterSyntaxes[] = {
    {"1.2.840.10008.1.2.1.99", "Deflated Explicit VR Little Endian"},
    {"1.2.840.10008.1.2.4.80", "JPEG-LS Lossless Image Compression"},
    {"1.2.840.10008.1.2.4.81", "JPEG-LS Lossy (Near-Lossless) Image Compression"},
    {"1.2.840.10008.1.2.4.90", "JPEG 2000 Image Compression (Lossless Only)"},
    {"1.2.840.10008.1.2.4.91", "JPEG 2000 Image Compression"},
    {"1.2.840.10008.1.2.4.92", "JPEG 2000 Part 2 Multi-component Image Compression (Lossless Only)"},
    {"1.2.840.10008.1.2.4.93", "JPEG 2000 Part 2 Multi-component Image Compression"},
    {"1.2.840.10008.1.2.4.100", "MPEG2 Main Profile / Main Level"},
    {"1.2.840.10008.1.2.4.101", "MPEG2 Main Profile / High Level"},
    {"1.2.840.10008.1.2.4.102", "MPEG-4 AVC/H.264 High Profile / Level 4.1"},
    {"1.2.840.10008.1.2.4.103", "MPEG-4 AVC/H.264 BD-compatible High Profile / Level 4.1"},
    {"1.2.840.10008.1.2.4.104", "MPEG-4 AVC/H.264 High Profile / Level 4.2 For 2D Video"},
    {"1.2.840.10008.1.2.4.105", "MPEG-4 AVC/H.264 High Profile / Level 4.2 For 3D Video"},
    {"1.2.840.10008.1.2.4.106", "MPEG-4 AVC/H.264 Stereo High Profile / Level 4.2"},
    {"1.2.840.10008.1.2.4.107", "HEVC/H.265 Main Profile / Level 5.1"},
    {"1.2.840.10008.1.2.4.108", "HEVC/H.265 Main 10 Profile / Level 5.1"},
    {"1.2.840.10008.1.2.4.201", "High-Throughput JPEG 2000 Image Compression (Lossless Only)"},
    {"1.2.840.10008.1.2.4.202", "High-Throughput JPEG 2000 with RPCL Options Image Compression (Lossless Only)"},
    {"1.2.840.10008.1.2.4.203", "High-Throughput JPEG 2000 Image Compression"},
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
    for (const UidEntry& entry : LaterSyntaxes) {
        if (entry.uid == uid)
            return entry.name;
    }
    return std::nullopt;
}

} // namespace dicom::UidDictionary
