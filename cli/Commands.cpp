#include "cli/Commands.h"

namespace cli {

int runDump(const std::vector<std::string>& args);
int runFrames(const std::vector<std::string>& args);
int runSave(const std::vector<std::string>& args);
int runAnonymize(const std::vector<std::string>& args);
int runExport(const std::vector<std::string>& args);
int runBatch(const std::vector<std::string>& args);
int runScan(const std::vector<std::string>& args);
int runThumbnail(const std::vector<std::string>& args);

const std::vector<Command>& commands()
{
    static const std::vector<Command> all = {
        {"dump", "list the elements of DICOM files", runDump},
        {"frames", "write the normalised frames of a file as raw files", runFrames},
        {"save", "re-encode a file as the viewer saves it", runSave},
        {"anonymize", "write anonymized copies of DICOM files", runAnonymize},
        {"export", "write frames as TIFF, JPEG, BMP or raw pictures", runExport},
        {"batch", "convert many files to TIFF, JPEG, BMP, HTML or raw, as Batch Convert does", runBatch},
        {"scan", "group the DICOM files of a folder by study, series and other keys", runScan},
        {"thumbnail", "write a PNG thumbnail of a file's first frame", runThumbnail},
    };
    return all;
}

} // namespace cli
