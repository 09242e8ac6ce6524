// tolan anonymize: anonymized copies of DICOM files, the same core the viewer's
// "Anonymize" and "Batch Anonymize" use.

#include "cli/CliArgs.h"
#include "dicom/BatchAnonymizer.h"
#include "dicom/FolderScan.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace cli {

namespace {

namespace fs = std::filesystem;

void printUsage(std::FILE* out)
{
    std::fprintf(out,
        "Usage: tolan anonymize [--options FILE] [--profile basic] [--out DIR] [--suffix] [--recursive] FILE|DIR...\n"
        "Writes an anonymized copy of each DICOM file: the value bytes of the chosen elements are\n"
        "overwritten (text with blanks, binary numbers with zeros) and the copy keeps the input's size.\n"
        "Without --out each copy is written beside its input with \"_anon\" before the extension; with\n"
        "--out the copies keep their names in DIR (--suffix adds \"_anon\"). A copy never replaces an\n"
        "input, and a name met twice gets \"_2\", \"_3\" ... Files that are not DICOM are skipped; a\n"
        "file that starts as DICOM and breaks off has failed.\n"
        "--recursive enters the sub-folders of each DIR.\n"
        "--profile basic applies the Basic Application Level Confidentiality Profile (PS3.15 E.1, its\n"
        "Table E.1-1) at every depth and re-encodes each file; UIDs are replaced consistently over the\n"
        "whole run. A combined action keeps the attribute: empty where it may be, else a dummy. The\n"
        "switches then blank only what the table does not name.\n"
        "--options FILE: one switch a line as KEY=0 or KEY=1 (every switch defaults to 1); blank lines,\n"
        "lines starting with '#' or ';' and a \"[Anonymizing Options]\" line are ignored. Keys:\n");
    for (const auto& s : dicom::anonSwitches())
        std::fprintf(out, "  %s\n", std::string(s.key).c_str());
    std::fprintf(out, "  %s (1: the same as --profile basic)\n"
                      "Prints the counts written, skipped and failed. Exit status 2 when a file failed.\n",
                 std::string(dicom::BasicProfileKey).c_str());
}

// Empty on success, else what is wrong with the file.
std::string readOptionsFile(const fs::path& path, dicom::AnonOptions& options)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "cannot open " + path.string();
    std::ostringstream text;
    text << in.rdbuf();
    const auto parsed = dicom::parseAnonOptions(text.str(), options);
    const std::string where = path.string() + ":" + std::to_string(parsed.line) + ": ";
    switch (parsed.error) {
    case dicom::AnonOptionsError::BadValue: return where + "expected KEY=0 or KEY=1";
    case dicom::AnonOptionsError::UnknownKey: return where + "unknown key " + parsed.key;
    case dicom::AnonOptionsError::None: break;
    }
    return {};
}

std::vector<fs::path> inputFiles(const std::vector<std::string>& paths, bool recursive, std::string& error)
{
    std::vector<fs::path> files;
    const std::atomic<bool> never {false};
    for (const auto& path : paths) {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            files.emplace_back(path);
            continue;
        }
        std::vector<fs::path> inFolder;
        dicom::ScanCounts counts;
        dicom::FolderScan::walk(path, recursive, [&](const dicom::FoundFile& f) { inFolder.push_back(f.path()); },
                                counts, never);
        if (counts.folders == 0)
            error = "cannot list " + path;
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    return files;
}

const char* errorText(dicom::AnonError error)
{
    switch (error) {
    case dicom::AnonError::FileNotFound: return "File not found!";
    case dicom::AnonError::ZeroLength: return "File has zero length.";
    case dicom::AnonError::ReadFailed: return "Error during reading file.";
    case dicom::AnonError::NotDicom: return "not DICOM, skipped";
    case dicom::AnonError::Malformed: return "the elements do not parse to the end of the file, not anonymized";
    case dicom::AnonError::Unsupported: return "deflated data set or media directory, not anonymized";
    case dicom::AnonError::OutOfBounds: return "an element's value lies past the end of the file";
    case dicom::AnonError::NotCreated: return "File not created!";
    case dicom::AnonError::InputConflict: return "would replace an input file, skipped";
    case dicom::AnonError::None: break;
    }
    return "";
}

} // namespace

int runAnonymize(const std::vector<std::string>& argv)
{
    Args args;
    if (std::string error = parseArgs(argv, {"--help", "--suffix", "--recursive"}, {"--options", "--profile", "--out"},
                                      args);
        !error.empty()) {
        std::fprintf(stderr, "tolan anonymize: %s\n", error.c_str());
        printUsage(stderr);
        return ExitUsage;
    }
    if (args.has("--help")) {
        printUsage(stdout);
        return 0;
    }
    if (args.positional.empty() || (args.has("--profile") && args.get("--profile") != "basic")) {
        printUsage(stderr);
        return ExitUsage;
    }
    auto options = dicom::AnonOptions::defaults();
    if (args.has("--options")) {
        if (std::string error = readOptionsFile(args.get("--options"), options); !error.empty()) {
            std::fprintf(stderr, "tolan anonymize: %s\n", error.c_str());
            return ExitUsage;
        }
    }
    if (args.has("--profile"))
        options.basicProfile = true;
    std::string listError;
    const auto files = inputFiles(args.positional, args.has("--recursive"), listError);
    int status = 0;
    if (!listError.empty()) {
        std::fprintf(stderr, "tolan anonymize: %s\n", listError.c_str());
        status = ExitFailed;
    }
    const bool beside = !args.has("--out");
    if (!beside && !fs::is_directory(args.get("--out"))) {
        std::fprintf(stderr, "tolan anonymize: %s is not a folder\n", args.get("--out").c_str());
        return ExitUsage;
    }
    // Beside their inputs the copies always take the suffix; one batch per
    // folder keeps the name claims of a run apart by folder.
    dicom::BatchAnonymizer batch(beside ? fs::path() : fs::path(args.get("--out")), beside || args.has("--suffix"),
                                 options, files);
    std::vector<dicom::BatchItem> items;
    items.reserve(files.size());
    for (const auto& file : files) {
        if (beside) {
            dicom::BatchItem item;
            item.input = file;
            items.push_back(std::move(item));
        } else {
            items.push_back(batch.plan(file));
        }
    }
    if (beside) {
        // Each copy goes to its own input's folder: one plan per folder.
        std::map<fs::path, std::unique_ptr<dicom::BatchAnonymizer>> folders;
        for (auto& item : items) {
            const fs::path folder = item.input.parent_path().empty() ? fs::path(".") : item.input.parent_path();
            auto& planner = folders[folder];
            if (!planner)
                planner = std::make_unique<dicom::BatchAnonymizer>(folder, true, options, files);
            item = planner->plan(item.input);
        }
    }
    std::atomic<std::size_t> next {0};
    // The work is mostly waiting on the file system: more threads than cores keep it busy.
    const unsigned workers = std::clamp(2 * std::thread::hardware_concurrency(), 2u, 16u);
    std::vector<std::thread> pool;
    for (unsigned w = 0; w < workers; ++w) {
        pool.emplace_back([&] {
            for (std::size_t i = next++; i < items.size(); i = next++)
                batch.run(items[i]);
        });
    }
    for (auto& thread : pool)
        thread.join();
    // Counted from the items: beside their inputs, the skips were decided by the folders' plans.
    dicom::BatchCounts counts;
    for (const auto& item : items) {
        if (item.outcome == dicom::BatchOutcome::Written) {
            ++counts.written;
            continue;
        }
        ++(item.outcome == dicom::BatchOutcome::Failed ? counts.failed : counts.skipped);
        std::fprintf(stderr, "%s: %s\n", item.input.string().c_str(), errorText(item.error));
    }
    std::printf("written %zu, skipped %zu, failed %zu\n", counts.written, counts.skipped, counts.failed);
    return counts.failed > 0 ? ExitFailed : status;
}

} // namespace cli
