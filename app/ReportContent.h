#pragma once

// What the HTML page, the printed report and the clipboard copies take from
// an open document: its header rows (anonymized when the document says so),
// its title as reports show it, and its frames as report pictures.

#include "export/ExportTypes.h"
#include "export/ReportRows.h"
#include "imaging/DisplayBitmap.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class COrvoDoc;

namespace reports {

// Anonymized with the user's anonymizing options when the document's
// anonymized exports are on.
exporting::ReportOptions reportOptions(const COrvoDoc& doc);

// The header rows of the current data set; none without one.
std::optional<exporting::ReportHeader> reportHeader(const COrvoDoc& doc, const exporting::ReportOptions& options);

// A text made from the document's title (a file name, a URL or a label of
// header values): when anonymized, the Patient's Name in it is replaced by
// its anonymized value, so that no report or file name carries it.
QString shownText(const COrvoDoc& doc, const QString& text, const exporting::ReportOptions& options);

// Report pictures (page setup's zoom, scaling and overlays) of the frames,
// or, with width and height, the display bitmaps at exactly that size. Run
// on one thread; stops when progress is cancelled. None when a picture
// could not be made or the run was cancelled.
struct PictureChoice {
    std::vector<int> frames;
    std::int32_t width = 0; // 0: report pictures
    std::int32_t height = 0;
    exporting::Scaling scaling = exporting::Scaling::Nearest;
};
std::optional<std::vector<imaging::DisplayBitmap>> reportPictures(const COrvoDoc& doc, const PictureChoice& choice,
                                                                  const exporting::Progress& progress);

// Every frame, first to last.
std::vector<int> allFrames(const COrvoDoc& doc);

} // namespace reports
