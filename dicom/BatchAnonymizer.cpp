#include "dicom/BatchAnonymizer.h"

#include "dicom/DicomReader.h"
#include "dicom/FolderScan.h"

#include <algorithm>

namespace dicom {

namespace fs = std::filesystem;

namespace {

fs::path normalisedPath(const fs::path& path)
{
    std::error_code error;
    auto result = fs::weakly_canonical(path, error);
    return error ? path.lexically_normal() : result;
}

// "name_2.ext", "name_3.ext" ... for the n-th copy of one name.
fs::path numbered(const fs::path& path, int n)
{
    const std::string text = path.string();
    const std::string suffix = "_" + std::to_string(n);
    const auto slash = text.rfind('/');
    const auto dot = text.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return text + suffix;
    return text.substr(0, dot) + suffix + text.substr(dot);
}

} // namespace

std::vector<fs::path> brokenDicomFiles(const fs::path& folder, bool recursive, const std::set<fs::path>& listed,
                                       const std::atomic<bool>& stop)
{
    std::set<fs::path> known;
    for (const auto& path : listed)
        known.insert(path.lexically_normal());
    std::vector<fs::path> broken;
    ScanCounts counts;
    FolderScan::walk(folder, recursive, [&](const FoundFile& file) {
        const fs::path path = file.path().lexically_normal();
        if (stop.load() || known.count(path))
            return;
        DicomDataset dataset;
        if (!DicomReader(ReadOptions {HeaderOnly::Yes, PixelData::Stop, {}}).read(path, dataset) &&
            headerFailure(dataset).code == AnonError::Malformed)
            broken.push_back(path);
    }, counts, stop);
    std::sort(broken.begin(), broken.end());
    return broken;
}

AnonResult<void> anonymizeFile(const fs::path& input, const fs::path& output, const AnonOptions& options,
                               UidMap* uids)
{
    if (!options.basicProfile || !uids)
        return anonymizeFileCopy(input, output, options);
    auto bytes = readWholeFile(input);
    if (!bytes)
        return bytes.error();
    auto encoded = anonymizeWithProfile(*bytes, options, *uids);
    if (!encoded)
        return encoded.error();
    return writeFileAtomically(output, *encoded);
}

BatchAnonymizer::BatchAnonymizer(fs::path outputFolder, bool suffix, AnonOptions options,
                                 const std::vector<fs::path>& inputs)
    : m_folder(std::move(outputFolder)), m_suffix(suffix), m_options(options)
{
    for (const auto& input : inputs)
        m_inputs.insert(normalisedPath(input));
}

BatchItem BatchAnonymizer::plan(const fs::path& input)
{
    BatchItem item;
    item.input = input;
    const std::string name = input.filename().string();
    const fs::path first = normalisedPath(m_folder / (m_suffix ? anonymizedName(name) : name));
    fs::path output = first;
    for (int n = 2; m_claimed.count(output); ++n)
        output = numbered(first, n);
    item.output = output;
    std::error_code error;
    if (m_inputs.count(output) || output == normalisedPath(input) || fs::equivalent(input, output, error)) {
        item.outcome = BatchOutcome::SkippedInput;
        item.error = AnonError::InputConflict;
        count(item.outcome);
        return item;
    }
    m_claimed.insert(output);
    return item;
}

void BatchAnonymizer::run(BatchItem& item)
{
    if (item.error == AnonError::InputConflict)
        return;
    // A file that is not DICOM (an empty one included) is skipped; one that
    // starts as DICOM and then breaks off has failed.
    if (auto done = anonymizeFile(item.input, item.output, m_options, &m_uids); !done) {
        const AnonError code = done.error().code;
        const bool notDicom = code == AnonError::NotDicom || code == AnonError::ZeroLength;
        item.outcome = notDicom ? BatchOutcome::SkippedNotDicom : BatchOutcome::Failed;
        item.error = code;
    } else {
        item.outcome = BatchOutcome::Written;
    }
    count(item.outcome);
}

BatchItem BatchAnonymizer::process(const fs::path& input)
{
    auto item = plan(input);
    run(item);
    return item;
}

BatchCounts BatchAnonymizer::counts() const
{
    std::lock_guard lock(m_mutex);
    return m_counts;
}

void BatchAnonymizer::count(BatchOutcome outcome)
{
    std::lock_guard lock(m_mutex);
    switch (outcome) {
    case BatchOutcome::Written:
        ++m_counts.written;
        break;
    case BatchOutcome::SkippedNotDicom:
    case BatchOutcome::SkippedInput:
        ++m_counts.skipped;
        break;
    case BatchOutcome::Failed:
        ++m_counts.failed;
        break;
    }
}

} // namespace dicom
