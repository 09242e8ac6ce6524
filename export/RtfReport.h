#pragma once

// The RTF reports of a document: the header table, the pictures as embedded
// device-independent bitmaps, or both; and the header as plain text.
// Reports are byte buffers (pictures are raw bytes); empty when memory ran out.

#include "export/ReportRows.h"
#include "imaging/DisplayBitmap.h"

#include <span>
#include <string>
#include <string_view>

namespace exporting {

// The fixed pieces. Titles are UTF-8.
std::string rtfHeadA();
std::string rtfHeadB();
std::string rtfTitle(std::string_view title);
std::string rtfPictureTitle(std::string_view title);
std::string rtfSeparator();
std::string rtfTableHead();
std::string rtfTableRow(const ReportRow& row, CharacterSet set);
// The bitmap as a \pict group at 12 twips a pixel; empty for a bitmap that is
// null or not 8 or 24 bits.
std::string rtfPicture(const imaging::DisplayBitmap& bitmap);

std::string rtfHeaderReport(std::string_view title, const ReportHeader& header);
std::string rtfPictureReport(std::string_view title, std::span<const imaging::DisplayBitmap> pictures);
std::string rtfHeaderAndPictureReport(std::string_view title, const ReportHeader& header,
                                      std::span<const imaging::DisplayBitmap> pictures);

// The report page setup asks for: header and pictures, header alone (also when
// there are no pictures), or pictures alone. Empty with neither.
enum class ReportContent { Header, Pictures, HeaderAndPictures };
std::string rtfReport(const dicom::DicomDataset& dataset, std::string_view title, ReportContent content,
                      std::span<const imaging::DisplayBitmap> pictures, const ReportOptions& options);

// The header report as UTF-8 text: the title, then one line a row with the RTF's
// five cells (truncated alike) separated by tabs, lines ended by "\n".
std::string plainHeaderReport(std::string_view title, const ReportHeader& header);

} // namespace exporting
