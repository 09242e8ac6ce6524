#include "dicom/FileGroups.h"

#include <string>

namespace dicom {

const std::vector<GroupKeyInfo>& groupKeys()
{
    static const std::vector<GroupKeyInfo> keys {
        {StudyIuidKey, "StudyIUID", "Study Instance UID", "study"},
        {SeriesIuidKey, "SeriesIUID", "Series Instance UID", "series"},
        {DirectoryKey, "Directory", "Directory", "directory"},
        {PatientNameKey, "PatientName", "Patient's Name", "patient"},
        {ModalityKey, "Modality", "Modality", "modality"},
        {StudyDateKey, "StudyDate", "Study Date", "date"},
        {StudyIdKey, "StudyID", "Study ID", "studyid"},
        {ImageRowsKey, "ImageRows", "Image Rows", "rows"},
        {ImageColumnsKey, "ImageColumns", "Image Columns", "columns"},
        {BitsAllocatedKey, "BitsAllocated", "Bits Allocated", "bitsallocated"},
        {BitsStoredKey, "BitsStored", "Bits Stored", "bitsstored"},
        {HighBitKey, "HighBit", "High Bit", "highbit"},
    };
    return keys;
}

std::optional<unsigned> parseGroupKeys(std::string_view words)
{
    unsigned keys = 0;
    while (true) {
        const std::size_t comma = words.find(',');
        const std::string_view word = words.substr(0, comma);
        bool known = false;
        for (const auto& info : groupKeys()) {
            if (info.word == word) {
                keys |= info.key;
                known = true;
            }
        }
        if (!known)
            return std::nullopt;
        if (comma == std::string_view::npos)
            return keys;
        words.remove_prefix(comma + 1);
    }
}

std::string groupLabel(const ScanRecord& record)
{
    return record.patientName + ", " + record.studyId + ", " + record.studyDate + ", " + record.modality;
}

namespace {

// Each field with its length in front, so that no two different tuples of
// values can make the same key ("A|B" + "C" against "A" + "B|C").
void appendField(std::string& key, std::string_view value)
{
    key += std::to_string(value.size());
    key += ':';
    key += value;
}

} // namespace

std::string FileGroups::keyOf(const ScanRecord& record) const
{
    std::string key;
    const auto text = [&](GroupKey which, const std::string& value) {
        if (m_keys & which)
            appendField(key, value);
    };
    const auto number = [&](GroupKey which, std::int32_t value) {
        if (m_keys & which)
            appendField(key, std::to_string(value));
    };
    text(StudyIuidKey, record.studyUid);
    text(SeriesIuidKey, record.seriesUid);
    text(DirectoryKey, record.folder);
    text(PatientNameKey, record.patientName);
    text(ModalityKey, record.modality);
    text(StudyDateKey, record.studyDate);
    text(StudyIdKey, record.studyId);
    number(ImageRowsKey, record.rows);
    number(ImageColumnsKey, record.columns);
    number(BitsAllocatedKey, record.bitsAllocated);
    number(BitsStoredKey, record.bitsStored);
    number(HighBitKey, record.highBit);
    return key;
}

// Matching is equality over the chosen keys, so the earlier files a new file
// matches are exactly the members of one group: a map from the key values to
// that group finds it without comparing the file with every file before it.
std::size_t FileGroups::add(ScanRecord record)
{
    const std::string path = record.path();
    if (const auto known = m_groupOfPath.find(path); known != m_groupOfPath.end())
        return known->second;
    const std::string key = keyOf(record);
    const auto [slot, created] = m_groupOfKey.try_emplace(key, m_groups.size());
    if (created)
        m_groups.push_back(FileGroup {{}, groupLabel(record)});
    const std::size_t group = slot->second;
    m_groups[group].files.push_back(m_records.size());
    m_groupOfPath.emplace(path, group);
    m_records.push_back(std::move(record));
    return group;
}

std::vector<std::size_t> FileGroups::groupsOfAtLeast(std::size_t minimum) const
{
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        if (m_groups[i].files.size() >= minimum)
            chosen.push_back(i);
    }
    return chosen;
}

std::vector<std::string> FileGroups::paths(std::size_t group) const
{
    std::vector<std::string> result;
    if (group >= m_groups.size())
        return result;
    for (const std::size_t file : m_groups[group].files)
        result.push_back(m_records[file].path());
    return result;
}

} // namespace dicom
