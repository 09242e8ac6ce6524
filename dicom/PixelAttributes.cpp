#include "dicom/PixelAttributes.h"

#include "dicom/DicomError.h"

#include <array>
#include <cmath>
#include <utility>

namespace dicom {

std::string_view compressionName(Compression compression)
{
    switch (compression) {
    case Compression::None: return "NONE";
    case Compression::Rle: return "RLE";
    case Compression::JpegLossy: return "JPEG LOSSY";
    case Compression::JpegLossless: return "JPEG LOSSLESS";
    case Compression::JpegLsLossless: return "JPEG-LS LOSSLESS";
    case Compression::JpegLsNearLossless: return "JPEG-LS NEAR-LOSSLESS";
    case Compression::Jpeg2000Lossless: return "JPEG 2000 LOSSLESS";
    case Compression::Jpeg2000: return "JPEG 2000";
    case Compression::HtJpeg2000Lossless: return "HTJ2K LOSSLESS";
    case Compression::HtJpeg2000LosslessRpcl: return "HTJ2K LOSSLESS RPCL";
    case Compression::HtJpeg2000: return "HTJ2K";
    }
    return "NONE";
}

Result<Compression> compressionFromTransferSyntax(std::string_view uid)
{
    // UI values are padded to even length with a NUL; a blank is not padding.
    while (!uid.empty() && uid.back() == '\0')
        uid.remove_suffix(1);
    if (uid.empty() || uid == "1.2.840.10008.1.2" || uid == "1.2.840.10008.1.2.1" || uid == "1.2.840.10008.1.2.2")
        return Compression::None;
    // The reader has inflated a deflated data set: its pixels are native.
    if (uid == "1.2.840.10008.1.2.1.99")
        return Compression::None;
    if (uid == "1.2.840.10008.1.2.5")
        return Compression::Rle;
    constexpr std::string_view jpegPrefix = "1.2.840.10008.1.2.4.";
    if (uid.substr(0, jpegPrefix.size()) == jpegPrefix) {
        std::string_view suffix = uid.substr(jpegPrefix.size());
        int process = 0;
        bool digits = !suffix.empty() && suffix.size() <= 3;
        for (char c : suffix) {
            digits = digits && c >= '0' && c <= '9';
            process = process * 10 + (c - '0');
        }
        if (digits) {
            if ((process >= 50 && process <= 56) || (process >= 59 && process <= 64))
                return Compression::JpegLossy;
            if (process == 57 || process == 58 || process == 65 || process == 66 || process == 70)
                return Compression::JpegLossless;
            if (process == 80)
                return Compression::JpegLsLossless;
            if (process == 81)
                return Compression::JpegLsNearLossless;
            if (process == 90)
                return Compression::Jpeg2000Lossless;
            if (process == 91)
                return Compression::Jpeg2000;
            if (process == 201)
                return Compression::HtJpeg2000Lossless;
            if (process == 202)
                return Compression::HtJpeg2000LosslessRpcl;
            if (process == 203)
                return Compression::HtJpeg2000;
        }
    }
    return Error{DicomError::UnknownCompression, "transfer syntax " + std::string(uid) + " is not supported"};
}

Photometric photometricFromText(std::string_view text)
{
    static constexpr std::array<std::pair<std::string_view, Photometric>, 8> names{{
        {"MONOCHROME1", Photometric::Monochrome1},
        {"MONOCHROME2", Photometric::Monochrome2},
        {"RGB", Photometric::Rgb},
        {"YBR_FULL", Photometric::YbrFull},
        {"YBR_FULL_422", Photometric::YbrFull422},
        {"PALETTE COLOR", Photometric::PaletteColor},
        {"YBR_RCT", Photometric::YbrRct},
        {"YBR_ICT", Photometric::YbrIct},
    }};
    if (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    for (const auto& [name, kind] : names) {
        if (text == name)
            return kind;
    }
    return Photometric::Unknown;
}

bool isColour(Photometric photometric)
{
    return photometric == Photometric::Rgb || photometric == Photometric::YbrFull
        || photometric == Photometric::YbrFull422 || photometric == Photometric::PaletteColor
        || photometric == Photometric::YbrRct || photometric == Photometric::YbrIct;
}

bool isJpeg2000(Compression compression)
{
    return compression == Compression::Jpeg2000Lossless || compression == Compression::Jpeg2000
        || compression == Compression::HtJpeg2000Lossless || compression == Compression::HtJpeg2000LosslessRpcl
        || compression == Compression::HtJpeg2000;
}

bool isMonochrome(Photometric photometric)
{
    return photometric == Photometric::Monochrome1 || photometric == Photometric::Monochrome2;
}

Result<void> checkPixelAttributes(const PixelAttributes& attrs, Compression compression)
{
    auto unsupported = [](std::string detail) { return Error{DicomError::UnsupportedFormat, std::move(detail)}; };
    const Photometric kind = attrs.photometricKind();
    if (kind == Photometric::Unknown)
        return unsupported("photometric interpretation '" + attrs.photometric + "' is not supported");
    if (kind == Photometric::YbrFull422 && compression != Compression::JpegLossy)
        return unsupported("YBR_FULL_422 is read only from JPEG lossy data");
    if ((kind == Photometric::YbrRct || kind == Photometric::YbrIct) && !isJpeg2000(compression))
        return unsupported(attrs.photometric + " is read only from JPEG 2000 data");
    const int wantSamples = isMonochrome(kind) || kind == Photometric::PaletteColor ? 1 : 3;
    if (attrs.samplesPerPixel != wantSamples)
        return unsupported(attrs.photometric + " needs " + std::to_string(wantSamples) + " samples per pixel, not "
                           + std::to_string(attrs.samplesPerPixel));
    const int bits = attrs.bitsAllocated;
    if (bits != 8 && bits != 12 && bits != 16)
        return unsupported("bits allocated " + std::to_string(bits) + " is not supported");
    // Colour frames become 8-bit R, G, B; a wider colour sample has no form to go to.
    if (isColour(kind) && kind != Photometric::PaletteColor && bits != 8)
        return unsupported("colour images need 8 bits allocated, not " + std::to_string(bits));
    if (bits == 12 && compression != Compression::None)
        return unsupported("12 bits allocated exists only uncompressed");
    if (attrs.rows == 0 || attrs.columns == 0)
        return Error{DicomError::Corrupted, "rows or columns is 0"};
    return {};
}

Result<std::uint32_t> storedFrameBytes(const PixelAttributes& attrs)
{
    const std::uint64_t pixels = std::uint64_t(attrs.rows) * attrs.columns;
    const std::uint64_t samples = attrs.samplesPerPixel > 0 ? std::uint64_t(attrs.samplesPerPixel) : 1;
    const std::uint64_t bits = attrs.bitsAllocated > 0 ? std::uint64_t(attrs.bitsAllocated) : 8;
    // rows and columns are at most 2^32 - 1 each, so pixels * samples can wrap: check in steps.
    if (pixels == 0)
        return Error{DicomError::Corrupted, "rows or columns is 0"};
    if (pixels > MaxFrameBytes || pixels * samples > MaxFrameBytes)
        return Error{DicomError::Corrupted, "frame larger than 2 GiB"};
    const std::uint64_t bytes = (pixels * samples * bits + 7) / 8;
    if (bytes > MaxFrameBytes)
        return Error{DicomError::Corrupted, "frame larger than 2 GiB"};
    return static_cast<std::uint32_t>(bytes);
}

int effectiveBitsStored(const PixelAttributes& attrs)
{
    if (attrs.bitsStored <= 0 || attrs.bitsStored > attrs.bitsAllocated)
        return attrs.bitsAllocated;
    return attrs.bitsStored;
}

std::int16_t clampToInt16(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= -32768.0)
        return -32768;
    if (value >= 32767.0)
        return 32767;
    return static_cast<std::int16_t>(value);
}

} // namespace dicom
