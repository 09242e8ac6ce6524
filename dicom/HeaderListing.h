#pragma once

// The text of one header row (tag, name, VR, length, value) and the category
// filters of the header tabs: the one place that decides how an element reads
// in every listing, copy and export.

#include "base/ByteReader.h"
#include "dicom/DicomDataset.h"
#include "dicom/DicomElement.h"

#include <string>
#include <vector>

namespace dicom {

struct HeaderRow {
    std::string tag;    // "0x0028, 0x0010"
    std::string name;   // dictionary name, empty for unknown tags
    std::string vr;
    std::string length; // decimal
    std::string value;  // a number, or text between double quotes
};

enum class HeaderCategory { All = 0, Patient = 1, Study = 2, Physician = 3, Image = 4 };

// Binary VRs show a number, every other VR (empty ones included) text.
bool isBinaryVr(std::string_view vr);

// The row of one element whose binary values are stored in this byte order.
HeaderRow headerRow(const DicomElement& element, base::Endian byteOrder = base::Endian::Little);

// Whether the element belongs on the tab. Group lengths are on none of them.
bool inCategory(const DicomElement& element, HeaderCategory category);

// One row per top-level element in list order, as the data set hands them out.
std::vector<HeaderRow> headerRows(const DicomDataset& dataset);
std::vector<HeaderRow> headerRows(const DicomDataset& dataset, HeaderCategory category);

} // namespace dicom
