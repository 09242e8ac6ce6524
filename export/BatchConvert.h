#pragma once

// "Batch Convert": every frame of many files, read by path, written as
// TIFF, JPEG, BMP or raw pictures, or each file as an HTML page, into one
// export folder, without opening documents.

#include "dicom/Anonymizer.h"
#include "export/ExportTypes.h"

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace exporting {

// In the order of the dialog's "Export as" list.
enum class BatchFormat { Tiff, Jpeg, Bmp, Html, Raw };

// The names of one run. A file's base is the export folder plus its name
// with every "." made "_" (IMG001.dcm: IMG001_dcm); a file of one frame
// gives base + ".tif", of several base + "_%04d.tif" from 0; HTML gives
// base + ".html" and the folder base + "_files". When any of a file's
// outputs was already claimed earlier in the run, its base takes "_2",
// "_3", ... until none is.
class BatchNames {
public:
    BatchNames(std::filesystem::path directory, BatchFormat format);

    // Claims and returns the outputs of a file of `frames` frames (for
    // HTML: the page, then the pictures' folder).
    std::vector<std::filesystem::path> claim(const std::filesystem::path& source, int frames);

private:
    std::filesystem::path m_directory;
    BatchFormat m_format;
    std::set<std::filesystem::path> m_claimed;
};

struct BatchOptions {
    BatchFormat format = BatchFormat::Tiff;
    std::filesystem::path directory; // the export folder
    bool anonymizedHeader = true;    // the HTML header table ("AnonExports")
    dicom::AnonOptions anonOptions = dicom::AnonOptions::defaults(); // what anonymizing replaces
    int quality = 75;                // JPEG pictures
    unsigned workers = 0;            // 0: one a core
};

enum class BatchOutcome { Converted, Unreadable, SameAsSource, Failed, NotDone };

struct BatchFileResult {
    std::filesystem::path source;
    BatchOutcome outcome = BatchOutcome::NotDone;
    std::vector<std::filesystem::path> outputs; // what was claimed for it
    std::string error; // why a Failed file's output could not be written, when known
};

struct BatchSummary {
    int converted = 0;    // files of which every output was written
    int unreadable = 0;   // files that did not read: skipped
    int sameAsSource = 0; // files with an output that is one of the run's sources: skipped
    int failed = 0;       // files with an output that could not be created
    bool cancelled = false;
    std::vector<BatchFileResult> files; // one per source, in order
};

// Converts the sources in order. Progress advances once per source; when it
// asks to stop, the run ends before the next file, every file finished
// before is complete and no partial output is left.
BatchSummary runBatchConvert(const std::vector<std::filesystem::path>& sources, const BatchOptions& options,
                             const Progress& progress = {});

} // namespace exporting
