#include "dicom/SavedAttributes.h"

#include "dicom/DicomWriter.h"
#include "dicom/TagDictionary.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <charconv>
#include <string>
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

// PS3.5 6.2: a DA value is YYYYMMDD, a TM value HH[MM[SS[.F]]]. Other
// dates (the "YYYY:MM:DD" a picture's data set is given) are not handed on.
bool isDateOrTime(std::string_view vr, std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (vr == "DA")
        return text.size() == 8 && digits(text);
    const auto dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    return digits(whole) && whole.size() % 2 == 0 && whole.size() <= 6
        && (dot == std::string_view::npos || digits(text.substr(dot + 1)));
}

bool copyIfPresent(DicomDataset& saved, const DicomDataset& source, base::Tag tag)
{
    const DicomElement* element = source.find(tag);
    if (!element || !element->hasValue() || element->bytes().empty())
        return false;
    const auto vr = TagDictionary::vr(tag);
    if (!vr || !isTextVr(*vr))
        return false;
    if ((*vr == "DA" || *vr == "TM") && !isDateOrTime(*vr, element->text()))
        return false;
    // Zero bytes pad only UIDs, and blanks never do (PS3.5 6.2): the value
    // goes on without them and is padded again as its VR asks.
    auto bytes = element->bytes();
    while (!bytes.empty() && (bytes.back() == 0 || (*vr == "UI" && bytes.back() == ' ')))
        bytes = bytes.first(bytes.size() - 1);
    if (bytes.empty())
        return false;
    DicomElement copy;
    copy.group = element->group;
    copy.element = element->element;
    copy.vr = std::string(*vr);
    copy.setValue(bytes);
    copy.length = static_cast<std::uint32_t>(bytes.size());
    return copyElementIfAllowed(saved, copy);
}

// A DS text of exactly `count` numbers, each finite and above 0: a spacing
// or thickness that a measurement can rest on. Anything else is left out
// rather than handed on (PS3.3 10.7.1.3 asks for two positive values).
bool positiveNumbers(const DicomElement& element, std::size_t count)
{
    std::string_view text = element.text();
    std::size_t found = 0;
    while (true) {
        const auto slash = text.find('\\');
        std::string part(text.substr(0, slash));
        while (!part.empty() && part.back() == ' ')
            part.pop_back();
        while (!part.empty() && part.front() == ' ')
            part.erase(part.begin());
        if (!part.empty() && part.front() == '+')
            part.erase(part.begin());
        double value = 0.0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc() || end != part.data() + part.size() || !std::isfinite(value)
            || !(value > 0.0))
            return false;
        ++found;
        if (slash == std::string_view::npos)
            break;
        text.remove_prefix(slash + 1);
    }
    return found == count;
}

// What measurements of the frames rest on (PS3.3 C.7.6.2, C.8.6.2), with
// the number of values each holds.
struct Measure {
    base::Tag tag;
    std::size_t values;
};
constexpr std::array<Measure, 3> Measuring = { Measure { tags::PixelSpacing, 2 },
    Measure { tags::ImagerPixelSpacing, 2 }, Measure { tags::SliceThickness, 1 } };

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
        bool rescaled = false;
        for (const base::Tag tag : { tags::RescaleIntercept, tags::RescaleSlope })
            rescaled = copyIfPresent(saved, source, tag) || rescaled;
        // PS3.3 C.11.1: a rescale names its type; "US" is unspecified.
        if (rescaled && !copyIfPresent(saved, source, tags::RescaleType))
            setText(saved, tags::RescaleType, "LO", "US");
    }
    for (const Measure& measure : Measuring) {
        const DicomElement* element = source.find(measure.tag);
        if (element && positiveNumbers(*element, measure.values))
            copyIfPresent(saved, source, measure.tag);
    }
    if (!options.keepPatientAndStudy)
        return;
    // The names are bytes of the source's character set.
    copyIfPresent(saved, source, tags::SpecificCharacterSet);
    for (const base::Tag tag : PatientAndStudy)
        copyIfPresent(saved, source, tag);
}

} // namespace dicom
