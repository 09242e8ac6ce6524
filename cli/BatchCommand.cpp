// tolan batch --format F --out DIR FILES... | --dir DIR: every frame of many
// files into one folder, as the viewer's "Batch Convert" names them.

#include "cli/CliArgs.h"
#include "dicom/FolderScan.h"
#include "export/BatchConvert.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cli {

namespace {

namespace fs = std::filesystem;

void printUsage(std::FILE* out)
{
    std::fprintf(out,
                 "Usage: tolan batch --format tiff|jpeg|bmp|html|raw --out DIR (FILES... | --dir DIR)\n"
                 "                   [--quality Q] [--threads N] [--anonymized]\n"
                 "Writes every frame of each file to DIR as NAME_EXT.tif (the file name with dots made\n"
                 "underscores), NAME_EXT_0000.tif ... for several frames; html writes one page a file.\n"
                 "--dir takes the regular files of a folder in name order. Names met twice get _2, _3 ...;\n"
                 "a file whose output would replace one of the inputs is skipped.\n");
}

std::optional<exporting::BatchFormat> formatOf(const std::string& name)
{
    static const std::pair<const char*, exporting::BatchFormat> names[] = {
        { "tiff", exporting::BatchFormat::Tiff }, { "jpeg", exporting::BatchFormat::Jpeg },
        { "bmp", exporting::BatchFormat::Bmp },   { "html", exporting::BatchFormat::Html },
        { "raw", exporting::BatchFormat::Raw },
    };
    for (const auto& [text, format] : names)
        if (name == text)
            return format;
    return std::nullopt;
}

std::optional<unsigned> numberIn(const std::string& text, unsigned most)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value > most)
        return std::nullopt;
    return value;
}

// The folder's regular files (links to them too), by name.
// The folder's regular files through the scan's own walk (links to folders
// not entered, FIFOs never opened), in name order; none when it cannot be listed.
std::optional<std::vector<fs::path>> filesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    dicom::ScanCounts counts;
    const std::atomic<bool> never {false};
    dicom::FolderScan::walk(folder, false, [&](const dicom::FoundFile& file) { files.push_back(file.path()); },
                            counts, never);
    if (counts.folders == 0)
        return std::nullopt;
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int runBatch(const std::vector<std::string>& argv)
{
    Args args;
    if (std::string error = parseArgs(argv, { "--help", "--anonymized" },
                                      { "--format", "--out", "--dir", "--quality", "--threads" }, args);
        !error.empty()) {
        std::fprintf(stderr, "tolan batch: %s\n", error.c_str());
        printUsage(stderr);
        return ExitUsage;
    }
    if (args.has("--help")) {
        printUsage(stdout);
        return 0;
    }
    const auto format = formatOf(args.get("--format"));
    const bool fromFolder = args.has("--dir");
    if (!format || args.get("--out").empty() || fromFolder == !args.positional.empty()) {
        printUsage(stderr);
        return ExitUsage;
    }
    exporting::BatchOptions options;
    options.format = *format;
    options.directory = args.get("--out");
    options.anonymizedHeader = args.has("--anonymized"); // scripts convert their own files
    if (args.has("--quality")) {
        const auto quality = numberIn(args.get("--quality"), 100);
        if (!quality) {
            std::fprintf(stderr, "tolan batch: --quality wants 0..100\n");
            return ExitUsage;
        }
        options.quality = static_cast<int>(*quality);
    }
    if (args.has("--threads")) {
        const auto threads = numberIn(args.get("--threads"), 64);
        if (!threads) {
            std::fprintf(stderr, "tolan batch: --threads wants 0..64\n");
            return ExitUsage;
        }
        options.workers = *threads;
    }
    std::error_code ec;
    if (!fs::is_directory(options.directory, ec)) {
        std::fprintf(stderr, "tolan batch: %s: not a folder\n", options.directory.c_str());
        return ExitFailed;
    }
    std::vector<fs::path> sources(args.positional.begin(), args.positional.end());
    if (fromFolder) {
        auto files = filesIn(args.get("--dir"));
        if (!files) {
            std::fprintf(stderr, "tolan batch: %s: cannot list the folder\n", args.get("--dir").c_str());
            return ExitFailed;
        }
        sources = std::move(*files);
    }
    const exporting::BatchSummary summary = exporting::runBatchConvert(sources, options);
    for (const exporting::BatchFileResult& file : summary.files) {
        if (file.outcome == exporting::BatchOutcome::Unreadable)
            std::fprintf(stderr, "tolan batch: %s: not read\n", file.source.c_str());
        else if (file.outcome == exporting::BatchOutcome::SameAsSource)
            std::fprintf(stderr, "tolan batch: %s: its output would replace an input\n", file.source.c_str());
        else if (file.outcome == exporting::BatchOutcome::Failed)
            std::fprintf(stderr, "tolan batch: %s: not written\n", file.source.c_str());
    }
    std::printf("converted %d, skipped (unreadable) %d, skipped (would replace an input) %d, failed %d\n",
                summary.converted, summary.unreadable, summary.sameAsSource, summary.failed);
    return summary.failed > 0 ? ExitFailed : 0;
}

} // namespace cli
