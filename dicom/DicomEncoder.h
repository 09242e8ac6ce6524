#pragma once

// Encoding a built data set as an explicit VR little endian Part 10 file, the
// atomic write of such a file, and the check that decides whether an existing
// file may be overwritten.

#include "dicom/DicomDataset.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace dicom {

// Receives the encoded bytes in order; false stops the encoding.
using ByteSink = std::function<bool(std::span<const std::uint8_t>)>;

// Preamble, "DICM", then every element in list order (PS3.5 7.1.2): OB, OW and
// the other 32-bit-length VRs with two reserved bytes and a 32-bit length;
// values too long for a 16-bit length as UN; Pixel Data without a value
// written from the frames (int16 little endian), with a pad byte when odd.
// FileIo when the sink refuses bytes.
Result<void> encodeDataset(const DicomDataset& dataset, const ByteSink& sink);

// Consulted before each chunk is written with the bytes written so far;
// false makes the write fail there, as a full disk would.
using WriteHook = std::function<bool(std::uint64_t written)>;

// Every file the core writes goes through here: fill writes the whole
// content to fd, a temporary file in the target's folder, which is then
// synced and renamed into place with the old file's permissions plus the
// owner's read and write (or the usual ones). The target is either the old
// file or the complete new one; false, with errno saying why, when the
// temporary file cannot be made, filled or renamed.
bool writeThroughTemporary(const std::filesystem::path& path, const std::function<bool(int fd)>& fill);

// Writes all bytes to fd, going on after an interrupted write.
bool writeAllTo(int fd, std::span<const std::uint8_t> bytes);

// Writes to a temporary file in the target's folder and renames it into
// place, so the target is either the old file or the complete new one.
// FileIo when the temporary file cannot be made, written or renamed.
Result<void> writeDicomFile(const std::filesystem::path& path, const DicomDataset& dataset,
                            const WriteHook& hook = {});

enum class OverwriteVerdict {
    Missing,       // nothing there yet
    NotDicom,      // neither "DICM" at 128 nor a raw data set that decodes
    OwnFile,       // DICOM with (0002,0013) "TOLAN-VIEWER-30 "
    OtherSoftware, // any other DICOM file, whether this program can show it or not
};
OverwriteVerdict overwriteVerdict(const std::filesystem::path& path);
inline bool mayOverwrite(OverwriteVerdict verdict) { return verdict != OverwriteVerdict::OtherSoftware; }

} // namespace dicom
