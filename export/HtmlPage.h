#pragma once

// The HTML report page: title, file facts, the header table and the table of
// pictures the caller has already written next to the page.

#include "export/ReportRows.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

struct HtmlPicture {
    std::string source; // relative to the page, "/"-separated, UTF-8, not yet percent-encoded
    int number = 1;     // shown as "Frame : %04d"
};

struct HtmlPageRequest {
    std::string title;   // UTF-8, e.g. "CT.html"
    std::string heading; // UTF-8, the document's title
    std::string date;    // UTF-8, the file's date as shown
    std::uint64_t fileSize = 0;               // bytes; written in KB
    std::optional<ReportHeader> header;       // no header table when empty
    std::optional<std::vector<HtmlPicture>> pictures; // no picture table when empty
    bool fileFacts = true;                    // the "Date" and "Size" lines
    std::string creator = "Tolan Viewer Version 3.1"; // UTF-8, after "Created by" in the footer
};

// Writes the whole page with CRLF line ends; false when the stream failed or memory ran out.
bool writeHtmlPage(std::ostream& out, const HtmlPageRequest& request);
// The same page as a string; empty when memory ran out.
std::string htmlPage(const HtmlPageRequest& request);

// "name_files": the folder of the page's pictures.
std::string pictureFolderName(std::string_view pageName);
// "0001.jpg" for number 1.
std::string pictureFileName(int number);
// "name_files/0001.jpg", the picture's path relative to the page.
std::string pictureSource(std::string_view pageName, int number);
// Bytes outside A-Z a-z 0-9 - . _ ~ / as %XX (UTF-8 bytes of the path).
std::string percentEncodePath(std::string_view path);

} // namespace exporting
