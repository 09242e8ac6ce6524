#include "dicom/SavedAttributes.h"

#include "dicom/DicomWriter.h"
#include "dicom/TagDictionary.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace dicom {

namespace {

// Texts whose bytes mean the same in every transfer syntax, so they can be
// copied from a big-endian or implicit-VR file unchanged.
bool isTextVr(std::string_view vr)
{
    static constexpr std::array<std::string_view, 16> Texts = { "AE", "AS", "CS", "DA", "DS", "DT", "IS", "LO", "LT",
        "PN", "SH", "ST", "TM", "UC", "UI", "UT" };
    return std::find(Texts.begin(), Texts.end(), vr) != Texts.end();
}

void copyIfPresent(DicomDataset& saved, const DicomDataset& source, base::Tag tag)
{
    const DicomElement* element = source.find(tag);
    if (!element || !element->hasValue() || element->bytes().empty())
        return;
    const auto vr = TagDictionary::vr(tag);
    if (!vr || !isTextVr(*vr))
        return;
    copyElementIfAllowed(saved, *element);
}

// What measurements of the frames rest on (PS3.3 C.7.6.2, C.8.6.2).
constexpr std::array<base::Tag, 3> Measuring = { tags::PixelSpacing, tags::ImagerPixelSpacing, tags::SliceThickness };

// PS3.3 C.7.1.1 Patient, C.7.2.2 Patient Study and C.7.2.1 General Study,
// without their sequences.
constexpr std::array<base::Tag, 39> PatientAndStudy = {
    base::Tag { 0x0008, 0x0020 }, // Study Date
    base::Tag { 0x0008, 0x0030 }, // Study Time
    base::Tag { 0x0008, 0x0050 }, // Accession Number
    base::Tag { 0x0008, 0x0090 }, // Referring Physician's Name
    base::Tag { 0x0008, 0x1030 }, // Study Description
    base::Tag { 0x0008, 0x1048 }, // Physician(s) of Record
    base::Tag { 0x0008, 0x1060 }, // Name of Physician(s) Reading Study
    base::Tag { 0x0008, 0x1080 }, // Admitting Diagnoses Description
    base::Tag { 0x0010, 0x0010 }, // Patient's Name
    base::Tag { 0x0010, 0x0020 }, // Patient ID
    base::Tag { 0x0010, 0x0021 }, // Issuer of Patient ID
    base::Tag { 0x0010, 0x0022 }, // Type of Patient ID
    base::Tag { 0x0010, 0x0030 }, // Patient's Birth Date
    base::Tag { 0x0010, 0x0032 }, // Patient's Birth Time
    base::Tag { 0x0010, 0x0033 }, // Patient's Birth Date in Alternative Calendar
    base::Tag { 0x0010, 0x0034 }, // Patient's Death Date in Alternative Calendar
    base::Tag { 0x0010, 0x0035 }, // Patient's Alternative Calendar
    base::Tag { 0x0010, 0x0040 }, // Patient's Sex
    base::Tag { 0x0010, 0x1000 }, // Other Patient IDs
    base::Tag { 0x0010, 0x1001 }, // Other Patient Names
    base::Tag { 0x0010, 0x1010 }, // Patient's Age
    base::Tag { 0x0010, 0x1020 }, // Patient's Size
    base::Tag { 0x0010, 0x1030 }, // Patient's Weight
    base::Tag { 0x0010, 0x2160 }, // Ethnic Group
    base::Tag { 0x0010, 0x2180 }, // Occupation
    base::Tag { 0x0010, 0x21B0 }, // Additional Patient History
    base::Tag { 0x0010, 0x2201 }, // Patient Species Description
    base::Tag { 0x0010, 0x2203 }, // Patient's Sex Neutered
    base::Tag { 0x0010, 0x2292 }, // Patient Breed Description
    base::Tag { 0x0010, 0x2297 }, // Responsible Person
    base::Tag { 0x0010, 0x2298 }, // Responsible Person Role
    base::Tag { 0x0010, 0x2299 }, // Responsible Organization
    base::Tag { 0x0010, 0x4000 }, // Patient Comments
    base::Tag { 0x0012, 0x0062 }, // Patient Identity Removed
    base::Tag { 0x0012, 0x0063 }, // De-identification Method
    base::Tag { 0x0020, 0x000D }, // Study Instance UID
    base::Tag { 0x0020, 0x0010 }, // Study ID
    base::Tag { 0x0038, 0x0010 }, // Admission ID
    base::Tag { 0x0038, 0x0500 }, // Patient State
};

} // namespace

void copySavedAttributes(DicomDataset& saved, const DicomDataset& source, const SaveOptions& options)
{
    const bool grey8 = saved.image.bitsAllocated == 8 && saved.image.samplesPerPixel == 1;
    if (grey8) {
        for (const base::Tag tag : { tags::RescaleIntercept, tags::RescaleSlope, tags::RescaleType })
            copyIfPresent(saved, source, tag);
    }
    for (const base::Tag tag : Measuring)
        copyIfPresent(saved, source, tag);
    if (!options.keepPatientAndStudy)
        return;
    // The names are bytes of the source's character set.
    copyIfPresent(saved, source, tags::SpecificCharacterSet);
    for (const base::Tag tag : PatientAndStudy)
        copyIfPresent(saved, source, tag);
}

} // namespace dicom
