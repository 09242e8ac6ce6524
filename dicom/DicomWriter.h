#pragma once

// Secondary-capture data sets built in memory from frames, ready to be
// encoded as explicit VR little endian Part 10 files (DicomEncoder.h):
// value normalisation by VR, setElement with group-length upkeep, and the
// builds from 8-bit frames, 16-bit frames and packed bitmaps.

#include "base/Frame.h"
#include "dicom/DicomDataset.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dicom {

// Written as (0002,0013): other readers and our own overwrite check know our files by it.
inline constexpr std::string_view ImplementationVersionName = "TOLAN-VIEWER-30 ";
// (0002,0012): a fixed UID under the 2.25 root (PS3.5 B.2) naming this implementation.
inline constexpr std::string_view ImplementationClassUid = "2.25.153784729105617843077210984593611440291";

inline constexpr std::string_view SecondaryCaptureSop = "1.2.840.10008.5.1.4.1.1.7";
inline constexpr std::string_view MultiFrameGreyByteSop = "1.2.840.10008.5.1.4.1.1.7.2";
inline constexpr std::string_view MultiFrameGreyWordSop = "1.2.840.10008.5.1.4.1.1.7.3";
inline constexpr std::string_view MultiFrameTrueColourSop = "1.2.840.10008.5.1.4.1.1.7.4";

// The largest pixel data a 32-bit length can carry (0xFFFFFFFF means undefined).
inline constexpr std::uint64_t MaxPixelDataBytes = 0xFFFFFFFEull;

// A DS text of at most 16 characters that keeps the value's digits: six
// decimals when that form fits and reproduces the value to about 1e-6
// relative, whole numbers without decimals, else the shortest "%g" form that
// fits. Not-a-number and infinities give an empty text.
std::string formatDs(double value);

// The value as stored for its VR: padding to even length (blank for texts,
// zero byte for OB, OW and UI), AE cut to 16 characters, and each DS value
// rewritten by formatDs.
std::vector<std::uint8_t> normaliseValue(std::string_view vr, std::span<const std::uint8_t> value);

// "2.25." followed by a random version-4 UUID as one decimal integer (PS3.5 B.2).
std::string generateUid();

// Bytes the element's header takes when encoded: 12 for the VRs with a 32-bit
// length (and for values too long for a 16-bit length, written as UN), else 8.
std::uint32_t encodedHeaderSize(std::string_view vr, std::uint64_t length);
// The VR the element is written with: its own, or UN when its value is too
// long for its 16-bit length field (PS3.5 7.1.2).
std::string_view encodedVr(std::string_view vr, std::uint64_t length);

// Normalises the value, replaces an element of the same tag or inserts it in
// ascending tag order, and recomputes the group's length element. The VR is
// the dictionary's in an implicit-VR (built) data set, except for Pixel Data
// whose VR the caller chooses (OB or OW).
void setElement(DicomDataset& dataset, DicomElement element);
// Shorthand for a text or binary value.
void setElement(DicomDataset& dataset, base::Tag tag, std::string_view vr, std::span<const std::uint8_t> value);
void setText(DicomDataset& dataset, base::Tag tag, std::string_view vr, std::string_view text);
void setUs(DicomDataset& dataset, base::Tag tag, std::uint16_t value);

// Copies an element from another data set unless it describes the pixel data
// this data set already holds (group lengths, transfer syntax, pixel module
// sizes, Pixel Data). Answers whether it was copied.
bool copyElementIfAllowed(DicomDataset& dataset, const DicomElement& element);

// Stores the frame time and writes Frame Time (0018,1063).
void setFrameTime(DicomDataset& dataset, double milliseconds);

struct Rescale {
    double intercept = 0.0;
    double slope = 1.0;
    std::string type = "US"; // Rescale Type (0028,1054); "US" is "unspecified"
};

// Builds over 8-bit frames (taken over): grey, or R, G, B when colour is set.
Result<DicomDataset> buildFrom8(std::vector<std::vector<std::uint8_t>>&& frames, std::uint32_t columns,
                                std::uint32_t rows, bool colour, const std::tm& created);
// Builds over 16-bit signed stored values (taken over) with the given window.
Result<DicomDataset> buildFrom16(std::vector<std::vector<std::int16_t>>&& frames, std::uint32_t columns,
                                 std::uint32_t rows, std::int32_t windowWidth, std::int32_t windowCentre,
                                 const std::tm& created);
// Each packed bitmap (BITMAPINFOHEADER, palette, rows bottom-up padded to 4
// bytes) becomes one frame: 8-bit as grey, 16 (5-5-5), 24 and 32-bit as RGB.
// Every bitmap must match the first in size and kind. Other bit counts:
// UnknownFormat; a bitmap shorter than its header says: Corrupted.
Result<DicomDataset> buildFromBitmaps(std::span<const std::span<const std::uint8_t>> bitmaps, const std::tm& created);

// The frames as the user sees them, for saving. Grey16 frames hold rescaled
// values; with a rescale they are written as stored values
// round((v - intercept) / slope) clamped to int16, undone with the very
// intercept and slope that the file then carries.
struct SaveFrames {
    std::vector<base::Frame> frames;
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    std::int32_t windowCentre = 128;
    std::int32_t windowWidth = 256;
    std::optional<Rescale> rescale;
    double frameTimeMs = 0.0; // 0: none written (several frames get 100 ms)
};
// UnsupportedFormat when the frames differ in size or kind; Corrupted when a
// frame's buffer does not match the size or the pixel data would pass
// MaxPixelDataBytes.
Result<DicomDataset> buildForSave(SaveFrames&& source, const std::tm& created);

// The local time now, for the creation date and time of a save.
std::tm localTimeNow();

} // namespace dicom
