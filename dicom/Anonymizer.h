#pragma once

// Anonymization of DICOM files by overwriting value bytes in place: the
// switches that choose the elements, the same-size byte pass, the "_anon"
// output name and the masked rendering of header values for exports.

#include "base/Result.h"
#include "base/Tag.h"
#include "dicom/DicomDataset.h"
#include "dicom/DicomElement.h"
#include "dicom/HeaderListing.h" // isBinaryVr: the VRs zeroed rather than blanked

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dicom {

enum class AnonGroup { Patient, Study, Other };

// One switch: its settings key, its check-box text and the tag it removes.
struct AnonSwitch {
    std::string_view key;
    std::string_view label;
    base::Tag tag;
    AnonGroup group;
    bool critical; // its being off triggers the attention message
};

inline constexpr std::size_t AnonSwitchCount = 36;
inline constexpr std::string_view AnonSettingsSection = "Anonymizing Options";
inline constexpr std::string_view AttentionKey = "Attention";
inline constexpr std::string_view AttentionLabel =
    "Show attention message when critical fields have not been removed because of this setup";
inline constexpr std::string_view BasicProfileKey = "BasicProfile";
inline constexpr std::string_view BasicProfileLabel = "Basic Profile (PS3.15)";

// The 36 switches in dialog order.
std::span<const AnonSwitch, AnonSwitchCount> anonSwitches();

struct AnonOptions {
    std::array<bool, AnonSwitchCount> on {};
    bool attention = true;
    bool basicProfile = false;

    // Every switch on, the attention message on, the profile off.
    static AnonOptions defaults();
    // Whether the switch that removes this tag is on.
    bool removes(base::Tag tag) const;
    // Whether any of the six critical switches is off.
    bool criticalFieldKept() const;
    // The attention message is due after an anonymization.
    bool attentionDue() const { return attention && criticalFieldKept(); }
};

// What is wrong with a text of switches (see parseAnonOptions).
enum class AnonOptionsError {
    None,
    BadValue,   // a line whose value is not 0 or 1 (or that has no "=")
    UnknownKey, // a key that is no switch, nor Attention, nor BasicProfile
};
struct AnonOptionsParse {
    AnonOptionsError error = AnonOptionsError::None;
    int line = 0; // 1-based line of the error
    std::string key;
};

// Sets the switches named in a text of one KEY=0 or KEY=1 a line (blanks
// around key and value allowed); blank lines, lines starting with '#' or ';'
// and a "[Anonymizing Options]" line are passed over. Stops at the first
// faulty line; the lines before it have been applied.
AnonOptionsParse parseAnonOptions(std::string_view text, AnonOptions& options);

enum class AnonError {
    None,
    FileNotFound,  // the input cannot be opened
    ZeroLength,    // the input is empty
    ReadFailed,    // a short read
    NotDicom,      // neither "DICM" nor a first element that decodes: not a DICOM file
    Malformed,     // a DICOM file that does not parse to its end (the profile re-encodes all of it)
    Unsupported,   // a deflated data set: its value bytes are not the file's
    OutOfBounds,   // an element's value lies past the end of the bytes
    NotCreated,    // the output could not be written
    InputConflict, // the output would replace an input file
};
using AnonFailure = base::Failure<AnonError>;
template<typename T>
using AnonResult = base::Result<T, AnonError>;

// Overwrites, in these bytes, the values of the top-level elements whose
// switch is on. The element offsets come from a header-only parse of these
// very bytes; nothing outside a value changes. Returns how many values were
// overwritten.
AnonResult<std::size_t> anonymizeBytes(std::span<std::uint8_t> bytes, const AnonOptions& options);

// The blanking step of anonymizeBytes over a data set parsed from exactly
// these bytes (or their first part, when the parse stopped there).
AnonResult<std::size_t> blankElements(const DicomDataset& dataset, std::span<std::uint8_t> bytes,
                                      const AnonOptions& options);

// One element's value overwritten, after checking that it lies within bytes.
AnonResult<void> blankValue(std::span<std::uint8_t> bytes, std::uint64_t valueOffset, std::uint64_t length,
                            bool binary);

// The failure of a header parse. A file that showed itself as DICOM ("DICM"
// at 128, or elements read before the fault) and then breaks is Malformed:
// it may hold patient data, so it is never passed over as not DICOM.
AnonFailure headerFailure(const DicomDataset& dataset);

// "_anon" before the extension, which starts at the last "." after the last "/".
std::string anonymizedName(std::string_view path);

// The text a header listing shows for this element when the document's
// anonymized display flag is set: a single blank for a text value, "0" for a
// binary one; none when the element is shown as it is.
std::optional<std::string> anonymizedValueText(const DicomElement& element, bool displayFlag,
                                               const AnonOptions& options);

// The whole file read into memory, with the codes of the single-file messages.
AnonResult<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path);

// An anonymized copy of a file, read only as far as its header: the header
// bytes the parse saw are blanked and written, and the rest of the file is
// copied after them by the kernel. Same result as anonymizeBytes over the whole file.
AnonResult<void> anonymizeFileCopy(const std::filesystem::path& input, const std::filesystem::path& output,
                                   const AnonOptions& options);

// Writes bytes under a temporary name in the target's folder and renames it
// into place, readable and writable by its owner (even where it replaces a
// read-only file), and as readable by others as the file replaced or the umask allows.
AnonResult<void> writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

} // namespace dicom
