#pragma once

// Anonymized copies of one file or of a list of files into a folder. A run
// never writes over one of its inputs, nor over a copy it made earlier in the
// same run: a later copy of the same name gets "_2", "_3" ... before its
// extension. Every copy is written under a temporary name and renamed.

#include "dicom/Anonymizer.h"
#include "dicom/BasicProfile.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace dicom {

// The regular files of a folder (and its sub-folders when recursive) that are
// not among listed and start as DICOM but break off in their header: a scan
// for DICOM files passes them over, yet they may hold patient data, so a
// batch reports them as failed rather than let them go unmentioned.
std::vector<std::filesystem::path> brokenDicomFiles(const std::filesystem::path& folder, bool recursive,
                                                    const std::set<std::filesystem::path>& listed,
                                                    const std::atomic<bool>& stop);

// One file: read, anonymize (in place, or through the profile when it is on
// and uids is given), write to output.
AnonResult<void> anonymizeFile(const std::filesystem::path& input, const std::filesystem::path& output,
                               const AnonOptions& options, UidMap* uids = nullptr);

enum class BatchOutcome { Written, SkippedNotDicom, SkippedInput, Failed };

struct BatchItem {
    std::filesystem::path input;
    std::filesystem::path output;
    BatchOutcome outcome = BatchOutcome::Failed;
    AnonError error = AnonError::None;
};

struct BatchCounts {
    std::size_t written = 0;
    std::size_t skipped = 0;
    std::size_t failed = 0;
};

class BatchAnonymizer {
public:
    // inputs: every file of the run, so that none of them is written over.
    BatchAnonymizer(std::filesystem::path outputFolder, bool suffix, AnonOptions options,
                    const std::vector<std::filesystem::path>& inputs);

    // Chooses the output name of one input (call in list order, on one thread);
    // an input whose output would replace an input comes back SkippedInput.
    BatchItem plan(const std::filesystem::path& input);
    // Anonymizes a planned item; safe to call for several items at once.
    void run(BatchItem& item);
    BatchItem process(const std::filesystem::path& input);

    BatchCounts counts() const;
    const AnonOptions& options() const { return m_options; }

private:
    void count(BatchOutcome outcome);

    std::filesystem::path m_folder;
    bool m_suffix;
    AnonOptions m_options;
    UidMap m_uids;
    std::set<std::filesystem::path> m_inputs;
    std::set<std::filesystem::path> m_claimed;
    mutable std::mutex m_mutex;
    BatchCounts m_counts;
};

} // namespace dicom
