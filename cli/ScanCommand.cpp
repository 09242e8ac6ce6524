// tolan scan: the DICOM files of a folder sorted into groups, over the same
// scan and grouping as the viewer's "Open Multiple Files".

#include "cli/CliArgs.h"
#include "dicom/FileGroups.h"
#include "dicom/FolderScan.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace cli {

namespace {

void printUsage(std::FILE* out)
{
    std::fprintf(out, "Usage: tolan scan DIR [--recursive] [--group-by WORDS] [--threads N]\n"
                      "Reads the header of every file in DIR (and its sub-folders with --recursive) and\n"
                      "sorts the DICOM files into groups whose files agree on every chosen key. Prints one\n"
                      "line per group, in the order the groups were made, tab-separated: the group number\n"
                      "(0001 on), the values of the chosen keys, the number of files, the number of frames.\n"
                      "--group-by takes comma-separated words (default: all of them, in this order):\n ");
    for (const auto& info : dicom::groupKeys())
        std::fprintf(out, " %s", std::string(info.word).c_str());
    std::fprintf(out, "\nLinks to folders are not entered; FIFOs and devices are not opened.\n"
                      "Exit status 2 when DIR cannot be listed, 64 for a wrong call.\n");
}

// A value as one field of a line: no tab or line break from a file splits it.
std::string field(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return text;
}

std::string keyValue(dicom::GroupKey key, const dicom::ScanRecord& record)
{
    switch (key) {
    case dicom::StudyIuidKey: return field(record.studyUid);
    case dicom::SeriesIuidKey: return field(record.seriesUid);
    case dicom::DirectoryKey: return field(record.folder);
    case dicom::PatientNameKey: return field(record.patientName);
    case dicom::ModalityKey: return field(record.modality);
    case dicom::StudyDateKey: return field(record.studyDate);
    case dicom::StudyIdKey: return field(record.studyId);
    case dicom::ImageRowsKey: return std::to_string(record.rows);
    case dicom::ImageColumnsKey: return std::to_string(record.columns);
    case dicom::BitsAllocatedKey: return std::to_string(record.bitsAllocated);
    case dicom::BitsStoredKey: return std::to_string(record.bitsStored);
    case dicom::HighBitKey: return std::to_string(record.highBit);
    }
    return {};
}

bool parseThreads(const std::string& text, unsigned& threads)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    threads = static_cast<unsigned>(std::stoul(text));
    return true;
}

} // namespace

int runScan(const std::vector<std::string>& argv)
{
    Args args;
    if (std::string error = parseArgs(argv, {"--help", "--recursive"}, {"--group-by", "--threads"}, args);
        !error.empty()) {
        std::fprintf(stderr, "tolan scan: %s\n", error.c_str());
        printUsage(stderr);
        return ExitUsage;
    }
    if (args.has("--help")) {
        printUsage(stdout);
        return 0;
    }
    if (args.positional.size() != 1) {
        printUsage(stderr);
        return ExitUsage;
    }
    unsigned keys = dicom::AllGroupKeys;
    if (args.has("--group-by")) {
        const auto parsed = dicom::parseGroupKeys(args.get("--group-by"));
        if (!parsed) {
            std::fprintf(stderr, "tolan scan: unknown key in --group-by %s\n", args.get("--group-by").c_str());
            return ExitUsage;
        }
        keys = *parsed;
    }
    dicom::ScanOptions options;
    options.recursive = args.has("--recursive");
    if (args.has("--threads") && !parseThreads(args.get("--threads"), options.workers)) {
        std::fprintf(stderr, "tolan scan: --threads takes a number\n");
        return ExitUsage;
    }

    const std::string& root = args.positional.front();
    dicom::FileGroups groups(keys);
    dicom::ScanCounts counts;
    const std::atomic<bool> never {false};
    dicom::FolderScan::scan(root, options, [&](dicom::ScanRecord&& record) { groups.add(std::move(record)); },
                            counts, never);
    if (counts.folders == 0) {
        std::fprintf(stderr, "tolan scan: cannot list %s\n", root.c_str());
        return ExitFailed;
    }

    std::string line;
    for (std::size_t g = 0; g < groups.groups().size(); ++g) {
        const auto& files = groups.groups()[g].files;
        char number[24];
        std::snprintf(number, sizeof number, "%04zu", g + 1);
        line = number;
        const dicom::ScanRecord& first = groups.records()[files.front()];
        for (const auto& info : dicom::groupKeys()) {
            if (keys & info.key)
                line += '\t' + keyValue(info.key, first);
        }
        std::uint64_t frames = 0;
        for (std::size_t f : files)
            frames += static_cast<std::uint64_t>(groups.records()[f].frames);
        line += '\t' + std::to_string(files.size()) + '\t' + std::to_string(frames) + '\n';
        std::fputs(line.c_str(), stdout);
    }
    return 0;
}

} // namespace cli
