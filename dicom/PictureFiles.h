#pragma once

// BMP and JPEG pictures opened as one-frame secondary-capture data sets, and
// the choice between them and a DICOM file by the file name's extension.

#include "dicom/DicomDataset.h"
#include "dicom/DicomReader.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace dicom {

enum class PictureKind { None, Bmp, Jpeg };

// By the last four characters, without regard to case: ".bmp", or ".jpg" and
// ".jpe"; None for every other name and for names shorter than five.
PictureKind pictureKind(std::string_view path);

// Reads the picture into the data set: one 8-bit frame ("RGB " for BMP and
// colour JPEG, "MONOCHROME2 " for grey JPEG) and the secondary-capture
// elements, dated with the file's modification time. False with the data
// set's error set on failure: 7 when the file cannot be opened; BMP: 4 not
// "BM", 8 an unread form, 2 cut short; JPEG: 2 rejected by the library, 3
// unsupported colour spaces.
bool readPicture(const std::filesystem::path& path, PictureKind kind, DicomDataset& dataset);

// The same from the picture's bytes; the date and time elements only when
// created is given.
bool readPicture(std::span<const std::uint8_t> bytes, PictureKind kind, const std::optional<std::tm>& created,
                 DicomDataset& dataset);

// A picture by its extension (with headerOnly: error 8, nothing read), any
// other file through the DICOM reader with its attributes and frames.
bool openFile(const std::filesystem::path& path, HeaderOnly headerOnly, DicomDataset& dataset);

// Inserts the secondary-capture elements (meta group, image module, pixel
// data without a value) for the attributes and frames already set, with their
// group lengths; the date and time elements only when a time is given.
void addSecondaryCaptureElements(DicomDataset& dataset, const std::optional<std::tm>& created);

} // namespace dicom
