#pragma once

// Small 8-bit grey DICOM files for the tool's tests, built byte by byte.

#include "tests/support/DicomBytes.h"

#include <cstdint>
#include <vector>

namespace clitest {

// The image module of square 8-bit grey frames, `side` pixels a side.
inline testsupport::DicomBytes greyFile(const char* transferSyntax, const char* frames, std::uint16_t side = 2)
{
    testsupport::DicomBytes b;
    b.part10Header(transferSyntax)
        .elementU16(0x0028, 0x0002, "US", 1)          // Samples per Pixel
        .element(0x0028, 0x0004, "CS", "MONOCHROME2 ") // Photometric Interpretation
        .element(0x0028, 0x0008, "IS", frames)        // Number of Frames
        .elementU16(0x0028, 0x0010, "US", side)       // Rows
        .elementU16(0x0028, 0x0011, "US", side)       // Columns
        .elementU16(0x0028, 0x0100, "US", 8)          // Bits Allocated
        .elementU16(0x0028, 0x0101, "US", 8)          // Bits Stored
        .elementU16(0x0028, 0x0102, "US", 7)          // High Bit
        .elementU16(0x0028, 0x0103, "US", 0);         // Pixel Representation
    return b;
}

// A whole explicit VR little endian file of such frames, `pixels` their samples.
inline std::vector<std::uint8_t> nativeFile(const char* frames, const std::vector<std::uint8_t>& pixels,
                                            std::uint16_t side = 2)
{
    testsupport::DicomBytes b = greyFile("1.2.840.10008.1.2.1", frames, side);
    b.tag(0x7FE0, 0x0010) // Pixel Data
        .vr("OB")         // VR
        .reserved()       // reserved
        .len32(static_cast<std::uint32_t>(pixels.size()))
        .raw(pixels);
    return b.bytes();
}

} // namespace clitest
