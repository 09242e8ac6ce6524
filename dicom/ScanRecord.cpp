#include "dicom/ScanRecord.h"

#include "dicom/NumberParsing.h"
#include "dicom/Tags.h"

#include <string_view>

namespace dicom {

namespace {

// The element's text without the padding writers put after it (PS3.5 6.2:
// blanks for texts, a NUL for UIDs).
std::string paddedText(const DicomDataset& dataset, base::Tag tag)
{
    const DicomElement* found = dataset.find(tag);
    if (!found)
        return {};
    std::string_view text = found->text();
    const auto end = text.find_last_not_of(std::string_view(" \0", 2));
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::int32_t number(const DicomDataset& dataset, base::Tag tag, std::int32_t absent)
{
    const DicomElement* found = dataset.find(tag);
    if (!found)
        return absent;
    // An explicit-VR "IS" keeps its text; numericValue would be its bytes.
    if (found->vr == "IS")
        return parseNumber(found->text());
    return found->numericValue;
}

} // namespace

ScanRecord scanRecordOf(const DicomDataset& dataset, std::string folder, std::string fileName)
{
    ScanRecord record;
    record.folder = std::move(folder);
    record.fileName = std::move(fileName);
    record.patientName = paddedText(dataset, tags::PatientName);
    record.patientId = paddedText(dataset, tags::PatientID);
    record.physician = paddedText(dataset, tags::PerformingPhysicianName);
    record.studyDate = paddedText(dataset, tags::StudyDate);
    record.modality = paddedText(dataset, tags::Modality);
    record.studyId = paddedText(dataset, tags::StudyID);
    record.studyUid = paddedText(dataset, tags::StudyInstanceUID);
    record.seriesUid = paddedText(dataset, tags::SeriesInstanceUID);
    record.instanceNumber = number(dataset, tags::InstanceNumber, -1);
    record.rows = number(dataset, tags::Rows, 0);
    record.columns = number(dataset, tags::Columns, 0);
    record.bitsAllocated = number(dataset, tags::BitsAllocated, 0);
    record.bitsStored = number(dataset, tags::BitsStored, 0);
    record.highBit = number(dataset, tags::HighBit, 0);
    const std::int32_t frames = number(dataset, tags::NumberOfFrames, 1);
    record.frames = frames > 0 ? frames : 1;
    return record;
}

} // namespace dicom
