#pragma once

// The attributes of the Image Pixel module that decide how pixel data is laid
// out (PS3.3 C.7.6.3), with the checks and sizes derived from them.

#include "dicom/DicomError.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dicom {

enum class Compression {
    None,
    Rle,
    JpegLossy,
    JpegLossless,
    JpegLsLossless,
    JpegLsNearLossless,
    Jpeg2000Lossless,
    Jpeg2000,
    HtJpeg2000Lossless,
    HtJpeg2000LosslessRpcl,
    HtJpeg2000,
};

// "NONE", "RLE", "JPEG LOSSY", "JPEG LOSSLESS", "JPEG-LS LOSSLESS" or
// "JPEG-LS NEAR-LOSSLESS", "JPEG 2000 LOSSLESS", "JPEG 2000", "HTJ2K LOSSLESS",
// "HTJ2K LOSSLESS RPCL" or "HTJ2K".
std::string_view compressionName(Compression compression);

// The compression a transfer syntax UID implies; unknown UIDs fail with error 6.
// An empty UID (no meta group) means uncompressed.
Result<Compression> compressionFromTransferSyntax(std::string_view uid);

// YBR_RCT and YBR_ICT name a JPEG 2000 stream's own colour transform, which
// its decoder undoes: the frames come out as R, G, B.
enum class Photometric { Unknown, Monochrome1, Monochrome2, Rgb, YbrFull, YbrFull422, PaletteColor, YbrRct, YbrIct };

// A name matches with no or exactly one trailing blank (the even-length pad);
// anything else, including two blanks, is Unknown.
Photometric photometricFromText(std::string_view text);

// Whether the compression is one of the JPEG 2000 syntaxes.
bool isJpeg2000(Compression compression);

// RGB-like photometrics whose normalised frames are R, G, B per pixel.
bool isColour(Photometric photometric);
bool isMonochrome(Photometric photometric);

struct PixelAttributes {
    std::int16_t samplesPerPixel = 1;
    std::string photometric;               // as stored, at most 47 characters
    std::uint8_t planarConfiguration = 0;  // 1: colour planes one after another
    std::int32_t numberOfFrames = 1;
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::int16_t bitsAllocated = 0;
    std::int16_t bitsStored = 0;
    std::int16_t highBit = 0;
    std::uint16_t pixelRepresentation = 0; // 1: two's complement samples
    std::int16_t windowCentre = 0;
    std::int16_t windowWidth = 0;
    double rescaleIntercept = 0.0;
    double rescaleSlope = 1.0;
    bool rescalePresent = false;
    double frameTime = 0.0;

    Photometric photometricKind() const { return photometricFromText(photometric); }
};

// Frames bigger than this are refused: buffers and offsets stay within int32.
inline constexpr std::uint64_t MaxFrameBytes = 0x7FFFFFFF;

// Samples per pixel, photometric, bits and compression must fit together
// (error 3 otherwise); rows and columns must be non-zero (error 5).
Result<void> checkPixelAttributes(const PixelAttributes& attrs, Compression compression);

// Bytes one frame occupies as stored uncompressed (12-bit samples packed two
// in three bytes), computed in 64-bit and capped at MaxFrameBytes (error 5).
Result<std::uint32_t> storedFrameBytes(const PixelAttributes& attrs);

// Bits stored as used for masking: bits allocated when the file's value is
// absent or larger than the container.
int effectiveBitsStored(const PixelAttributes& attrs);

// Clamps a parsed number into the signed 16-bit window fields.
std::int16_t clampToInt16(double value);

} // namespace dicom
