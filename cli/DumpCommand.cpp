// tolan dump [--header-only] FILE|DIR...: one tab-separated row per top-level
// element (tag, name, VR, length, value), the listing the viewer shows, with
// the transfer syntax's name after its UID.

#include "cli/CliArgs.h"
#include "dicom/DicomReader.h"
#include "dicom/HeaderListing.h"
#include "dicom/PictureFiles.h"
#include "dicom/UidDictionary.h"

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

// The transfer syntax's value followed by its name, when the registry knows
// it, so that a listing says how the pixels are encoded.
std::string syntaxValue(const std::string& value)
{
    std::string uid = value.size() >= 2 && value.front() == '"' ? value.substr(1, value.find('"', 1) - 1) : value;
    while (!uid.empty() && (uid.back() == '\0' || uid.back() == ' '))
        uid.pop_back();
    const auto name = dicom::UidDictionary::name(uid);
    return name ? value + " (" + std::string(*name) + ")" : value;
}

void appendRows(const dicom::DicomDataset& dataset, std::string& out)
{
    for (const dicom::HeaderRow& row : dicom::headerRows(dataset)) {
        out += row.tag;
        out += '\t';
        out += row.name;
        out += '\t';
        out += row.vr;
        out += '\t';
        out += row.length;
        out += '\t';
        out += row.tag == "0x0002, 0x0010" ? syntaxValue(row.value) : row.value;
        out += '\n';
    }
}

// Appends the file's rows to out; the reader's message when it cannot be
// read whole, else empty. A file cut short still lists every element read
// before the cut, so the place of the damage can be seen.
std::string dumpFile(const std::string& path, dicom::HeaderOnly headerOnly, std::string& out)
{
    dicom::ReadOptions options;
    options.headerOnly = headerOnly;
    options.pixelData = dicom::PixelData::AsElements;
    dicom::DicomReader reader(options);
    dicom::DicomDataset dataset;
    // Pictures list the elements they are given when opened.
    const bool read = dicom::pictureKind(path) != dicom::PictureKind::None ? dicom::openFile(path, headerOnly, dataset)
                                                                          : reader.read(path, dataset);
    appendRows(dataset, out);
    return read ? std::string() : trimTrailingBlanks(dataset.errorMessage());
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
        // The path line and the rows read go out even when the file fails,
        // before the message on stderr, so the message can be told apart.
        const std::string error = dumpFile(path, headerOnly, out);
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (!error.empty()) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s\n", error.c_str());
            allRead = false;
        }
    }
    std::fflush(stdout);
    return allRead ? 0 : ExitFailed;
}

} // namespace cli
