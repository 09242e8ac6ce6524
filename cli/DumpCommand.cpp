// tolan dump [--header-only] FILE|DIR...: one tab-separated row per top-level
// element (tag, name, VR, length, value), the listing the viewer shows.

#include "cli/CliArgs.h"
#include "dicom/DicomReader.h"
#include "dicom/HeaderListing.h"
#include "dicom/PictureFiles.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace cli {

namespace {

void printUsage(std::FILE* out)
{
    std::fprintf(out, "Usage: tolan dump [--header-only] FILE|DIR...\n"
                      "Lists the top-level elements of DICOM files: tag, name, VR, length, value.\n"
                      "A folder stands for its regular files (not recursive).\n"
                      "  --header-only  read only as far as the pixel data\n");
}

// False (with the message on stderr) when the file cannot be read.
bool dumpFile(const std::string& path, dicom::HeaderOnly headerOnly, std::string& out)
{
    dicom::ReadOptions options;
    options.headerOnly = headerOnly;
    options.pixelData = dicom::PixelData::AsElements;
    dicom::DicomReader reader(options);
    dicom::DicomDataset dataset;
    // Pictures list the elements they are given when opened.
    const bool read = dicom::pictureKind(path) != dicom::PictureKind::None ? dicom::openFile(path, headerOnly, dataset)
                                                                          : reader.read(path, dataset);
    if (!read) {
        std::fprintf(stderr, "%s\n", trimTrailingBlanks(dataset.errorMessage()).c_str());
        return false;
    }
    for (const dicom::HeaderRow& row : dicom::headerRows(dataset)) {
        out += row.tag;
        out += '\t';
        out += row.name;
        out += '\t';
        out += row.vr;
        out += '\t';
        out += row.length;
        out += '\t';
        out += row.value;
        out += '\n';
    }
    return true;
}

} // namespace

int runDump(const std::vector<std::string>& argv)
{
    Args args;
    if (std::string error = parseArgs(argv, {"--header-only", "--help"}, {}, args); !error.empty()) {
        std::fprintf(stderr, "tolan dump: %s\n", error.c_str());
        printUsage(stderr);
        return ExitUsage;
    }
    if (args.has("--help")) {
        printUsage(stdout);
        return 0;
    }
    if (args.positional.empty()) {
        printUsage(stderr);
        return ExitUsage;
    }
    const auto headerOnly = args.has("--header-only") ? dicom::HeaderOnly::Yes : dicom::HeaderOnly::No;

    std::string ignored; // a missing path is reported by the reader, per file
    const std::vector<std::string> files = expandInputs(args.positional, ignored);
    bool named = files.size() > 1;
    for (const auto& path : args.positional) {
        std::error_code ec;
        named = named || std::filesystem::is_directory(path, ec);
    }

    bool allRead = true;
    std::string out;
    for (const auto& path : files) {
        out.clear();
        if (named)
            out = "# " + path + "\n";
        // The path line goes out even when the file fails, so the message on
        // stderr can be told apart.
        const bool ok = dumpFile(path, headerOnly, out);
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (!ok) {
            std::fflush(stdout);
            allRead = false;
        }
    }
    std::fflush(stdout);
    return allRead ? 0 : ExitFailed;
}

} // namespace cli
