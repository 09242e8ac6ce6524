#pragma once

// A whole HTML export on disk: directory/name.html (or the page name given)
// and its JPEG pictures in directory/name_files, each file written atomically.

#include "export/ExportTypes.h"
#include "export/HtmlPage.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

struct HtmlExportOptions {
    std::string title;   // UTF-8; empty: name + ".html"
    std::string pageFileName; // the page's own file name; empty: name + ".html"
    std::string heading; // UTF-8, the document's title
    std::string date;
    std::uint64_t fileSize = 0;
    bool header = true;     // the header table
    bool continual = false; // pictures numbered 1, 2, ... instead of frame + 1
    double zoom = 1.0;      // pictures at the frame size times this, each side at least 1
    int quality = 75;
    Scaling scaling = Scaling::Nearest;
    ReportOptions report;
    bool fileFacts = true;                            // the "Date" and "Size" lines
    std::string creator = "Tolan Viewer Version 3.1"; // after "Created by" in the footer
};

struct HtmlExportSummary {
    int picturesWritten = 0;
    int picturesFailed = 0; // left out of the picture table
    bool cancelled = false;  // the page lists the pictures finished before
};

// Writes the pictures of the frames, on every core, and then the page, which
// lists them in order. A picture that fails loses its row only; the page
// failing is the error, and then the pictures written for it go again (with
// their folder, when this call made it), as no page shows them. When
// progress asks to stop, the pictures not yet made are left out and the page
// is still written.
Result<HtmlExportSummary> exportHtml(const std::filesystem::path& directory, std::string_view name,
                                     const dicom::DicomDataset& dataset, const PictureSource& source,
                                     const std::vector<int>& frames, const HtmlExportOptions& options,
                                     const Progress& progress = {});

} // namespace exporting
