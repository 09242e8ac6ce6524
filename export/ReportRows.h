#pragma once

// The header rows of a report (HTML page, RTF report, clipboard text): one per
// top-level element of a data set, in data-set order, optionally anonymized.

#include "dicom/Anonymizer.h"
#include "dicom/DicomDataset.h"
#include "export/ReportText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace exporting {

// The value limits above which a text value shows "Long Size Data".
constexpr std::uint32_t HtmlValueLimit = 511;
constexpr std::uint32_t RtfValueLimit = 48;

struct ReportRow {
    std::uint16_t group = 0;
    std::uint16_t element = 0;
    std::string name;         // dictionary name, empty for unknown tags
    std::string vr;           // as read; may hold any bytes
    std::uint32_t length = 0; // value length as read
    // Text VR: the value bytes up to the first zero, in the data set's
    // character set (a single blank when anonymized). Binary VR: the number.
    std::string value;
    bool textVr = true;
};

// Whether and how values are hidden.
struct ReportOptions {
    bool anonymized = false;
    dicom::AnonOptions anonOptions = dicom::AnonOptions::defaults();
};

// The rows and the character set their text values are written in.
struct ReportHeader {
    std::vector<ReportRow> rows;
    CharacterSet characterSet = CharacterSet::Latin1;
};

// May throw std::bad_alloc; the page and report writers that start from a
// data set catch it.
ReportHeader reportHeader(const dicom::DicomDataset& dataset, const ReportOptions& options);

// The value cell before escaping, still in the header's character set:
// "value", "Long Size Data" (length above limit), "Frame Data" or
// "Sequence Data" (OB, OW, SQ), each in double quotes, or the bare number.
std::string valueCell(const ReportRow& row, std::uint32_t limit);

} // namespace exporting
