#pragma once

// The printed report. The clipboard's RTF cannot be drawn by Qt, so printing
// lays out the same rows and pictures as a rich text document: the title,
// the header table, then the pictures.

#include "document/ExportChoices.h"

#include <memory>

class COrvoDoc;
class QPagedPaintDevice;
class QTextDocument;
class QWidget;

namespace reports {

// Whether the page setup asks for anything to print.
bool hasPrintContent(const document::PageSetup& setup);

// The report the page setup asks for, built afresh from the document (its
// pictures under a progress window with Cancel). None when there is nothing
// to print, a picture could not be made, or the user cancelled.
std::unique_ptr<QTextDocument> printableReport(QWidget* parent, const COrvoDoc& doc);

// Builds the report and prints it on the device; false when there was none.
bool printReport(QWidget* parent, const COrvoDoc& doc, QPagedPaintDevice& device);

} // namespace reports
