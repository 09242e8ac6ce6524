#pragma once

// Files that belong together: records of a scan sorted into groups whose
// members agree on every chosen key (exact text equality for the texts,
// number equality for the numbers).

#include "dicom/ScanRecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace dicom {

// The keys, as bits of a set. Directory keeps files of different folders apart.
enum GroupKey : unsigned {
    StudyIuidKey = 1u << 0,
    SeriesIuidKey = 1u << 1,
    DirectoryKey = 1u << 2,
    PatientNameKey = 1u << 3,
    ModalityKey = 1u << 4,
    StudyDateKey = 1u << 5,
    StudyIdKey = 1u << 6,
    ImageRowsKey = 1u << 7,
    ImageColumnsKey = 1u << 8,
    BitsAllocatedKey = 1u << 9,
    BitsStoredKey = 1u << 10,
    HighBitKey = 1u << 11,
};
inline constexpr unsigned AllGroupKeys = (1u << 12) - 1;

// One key's names: the setting in "Open Multiple" ("StudyIUID"), the check
// box's text ("Study Instance UID") and the word `tolan scan --group-by`
// takes ("study").
struct GroupKeyInfo {
    GroupKey key;
    std::string_view setting;
    std::string_view label;
    std::string_view word;
};
// Every key, in the order the dialog shows them.
const std::vector<GroupKeyInfo>& groupKeys();
// The keys named by a comma-separated list of words ("study,series");
// none when a word is unknown.
std::optional<unsigned> parseGroupKeys(std::string_view words);

// "%s, %s, %s, %s": patient name, study ID, study date and modality.
std::string groupLabel(const ScanRecord& record);

struct FileGroup {
    std::vector<std::size_t> files; // indices into FileGroups::records(), in scan order
    std::string label;              // the label of the group's first file
};

class FileGroups {
public:
    explicit FileGroups(unsigned keys = AllGroupKeys) : m_keys(keys) {}

    // Adds a record and returns the index of its group (0-based; groups are
    // numbered in creation order). A file already added (same path) is not
    // added again: its group's index comes back.
    std::size_t add(ScanRecord record);

    unsigned keys() const { return m_keys; }
    const std::vector<ScanRecord>& records() const { return m_records; }
    const std::vector<FileGroup>& groups() const { return m_groups; }
    // The indices of the groups of at least `minimum` files, in creation order.
    std::vector<std::size_t> groupsOfAtLeast(std::size_t minimum) const;
    // The full paths of a group's files, in scan order.
    std::vector<std::string> paths(std::size_t group) const;

private:
    std::string keyOf(const ScanRecord& record) const;

    unsigned m_keys;
    std::vector<ScanRecord> m_records;
    std::vector<FileGroup> m_groups;
    std::unordered_map<std::string, std::size_t> m_groupOfKey;
    std::unordered_map<std::string, std::size_t> m_groupOfPath;
};

} // namespace dicom
