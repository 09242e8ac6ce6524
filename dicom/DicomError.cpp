#include "dicom/DicomError.h"

#include <array>

namespace dicom {

namespace {

// The misspellings and trailing blanks are part of the texts users and
// scripts already know; they are kept on purpose.
constexpr std::array<std::string_view, 9> Texts = {
    "No Error",
    "Memmory Allocation Error   ",
    "File I/O Error   ",
    "Unsupported Dicom file format   ",
    "Unknown file format   ",
    "Corrupted Dicom file   ",
    "Unknown Compression Scheme   ",
    "File not fount",
    "Unsupported file format   ",
};

} // namespace

std::string_view errorText(DicomError error)
{
    const int code = static_cast<int>(error);
    if (code < 0 || code >= static_cast<int>(Texts.size()))
        return Texts[static_cast<int>(DicomError::Corrupted)];
    return Texts[static_cast<std::size_t>(code)];
}

std::string errorMessage(DicomError error, std::size_t capacity)
{
    if (capacity == 0)
        return {};
    std::string_view text = errorText(error);
    return std::string(text.substr(0, capacity - 1));
}

} // namespace dicom
