#pragma once

// Header values are bytes in the data set's character set; reports are
// ASCII files that carry every other character as a numbered reference. This
// decodes the common single-byte sets and UTF-8 and writes the references.

#include "dicom/DicomDataset.h"

#include <string>
#include <string_view>

namespace exporting {

// PS3.3 C.12.1.1.2: the sets a report decodes. Unknown or absent terms read as Latin-1.
enum class CharacterSet { Latin1, Utf8, Greek, Cyrillic, Latin2 };

// The set named by a Specific Character Set term ("ISO_IR 192", "ISO 2022 IR 126", ...).
CharacterSet characterSetNamed(std::string_view term);
// The set of the data set's (0008,0005): its first non-empty value.
CharacterSet characterSetOf(const dicom::DicomDataset& dataset);

// Code points of the bytes. Control characters are kept (each writer decides
// what becomes of them); ISO 2022 escape sequences are dropped; a byte the set
// does not define, or a broken UTF-8 sequence, gives U+FFFD.
std::u32string decodeText(std::string_view bytes, CharacterSet set);

// HTML text: & < > " as entities, non-ASCII as &#N;, control characters as "?".
std::string htmlText(std::u32string_view text);
// RTF text: \ { } escaped, non-ASCII as \uN? (N negative above 32767, as RTF
// keeps it a signed 16-bit number; above U+FFFF a surrogate pair), control characters dropped.
std::string rtfText(std::u32string_view text);
// UTF-8 text, control characters dropped.
std::string plainText(std::u32string_view text);

} // namespace exporting
