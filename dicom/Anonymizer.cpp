#include "dicom/Anonymizer.h"

#include "dicom/DicomEncoder.h"

#include "dicom/DicomReader.h"
#include "dicom/HeaderListing.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dicom {

namespace {

using G = AnonGroup;

// "’" in some texts is the typographic apostrophe (U+2019) the dialog shows.
constexpr std::array<AnonSwitch, AnonSwitchCount> Switches = {{
    {"PatientsName", "Patient\u2019s Name", {0x0010, 0x0010}, G::Patient, true},
    {"BirthName", "Patient's Birth Name", {0x0010, 0x1005}, G::Patient, true},
    {"MothersName", "Patient's Mother Birth Name", {0x0010, 0x1060}, G::Patient, true},
    {"OtherPatientName", "Other Patient Names", {0x0010, 0x1001}, G::Patient, true},
    {"PatientsAddress", "Patient's Address", {0x0010, 0x1040}, G::Patient, true},
    {"PatientsPhone", "Patient\u2019s Phone Numbers", {0x0010, 0x2154}, G::Patient, true},
    {"PatientsSex", "Patient\u2019s Sex", {0x0010, 0x0040}, G::Patient, false},
    {"Age", "Patient\u2019s Age", {0x0010, 0x1010}, G::Patient, false},
    {"PatientsSize", "Patient\u2019s Size", {0x0010, 0x1020}, G::Patient, false},
    {"PatientsWeight", "Patient\u2019s Weight", {0x0010, 0x1030}, G::Patient, false},
    {"BirthDate", "Patient\u2019s Birth Date", {0x0010, 0x0030}, G::Patient, false},
    {"BirthTime", "Patient\u2019s Birth Time", {0x0010, 0x0032}, G::Patient, false},
    {"PatientsID", "Patient ID", {0x0010, 0x0020}, G::Patient, false},
    {"OtherPatientID", "Other Patient IDs", {0x0010, 0x1000}, G::Patient, false},
    {"StudyID", "Study ID", {0x0020, 0x0010}, G::Study, false},
    {"StudyDesc", "Study Description", {0x0008, 0x1030}, G::Study, false},
    {"Accession", "Accession Number", {0x0008, 0x0050}, G::Study, false},
    {"Diagnoses", "Admitting Diagnoses Desc.", {0x0008, 0x1080}, G::Study, false},
    {"ProtocolName", "Protocol Name", {0x0018, 0x1030}, G::Study, false},
    {"Referring", "Referring Physician", {0x0008, 0x0090}, G::Study, false},
    {"Records", "Record's Physician", {0x0008, 0x1048}, G::Study, false},
    {"ReadingDoc", "Reading Study Physician", {0x0008, 0x1060}, G::Study, false},
    {"Performer", "Performing Physician", {0x0008, 0x1050}, G::Study, false},
    {"Operator", "Operators' Name", {0x0008, 0x1070}, G::Study, false},
    {"EthnicGroup", "Ethnic Group", {0x0010, 0x2160}, G::Patient, false},
    {"PatientComments", "Patient Comments", {0x0010, 0x4000}, G::Patient, false},
    {"Occupation", "Occupation", {0x0010, 0x2180}, G::Patient, false},
    {"PatientsHistory", "Patient\u2019s History", {0x0010, 0x21B0}, G::Patient, false},
    {"InsttutionName", "Institution Name", {0x0008, 0x0080}, G::Other, false},
    {"InstitutionAddress", "Institution Address", {0x0008, 0x0081}, G::Other, false},
    {"DepartmentName", "Department Name", {0x0008, 0x1040}, G::Other, false},
    {"StationName", "Station Name", {0x0008, 0x1010}, G::Other, false},
    {"DeviceSerialNum", "Device Serial Number", {0x0018, 0x1000}, G::Other, false},
    {"SeriesDesc", "Series Description", {0x0008, 0x103E}, G::Study, false},
    {"DerivationDesc", "Derivation Description", {0x0008, 0x2111}, G::Other, false},
    {"ImageComments", "Image Comments", {0x0020, 0x4000}, G::Other, false},
}};

std::optional<std::size_t> switchIndex(base::Tag tag)
{
    for (std::size_t i = 0; i < Switches.size(); ++i) {
        if (Switches[i].tag == tag)
            return i;
    }
    return std::nullopt;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    return text;
}

struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::span<const AnonSwitch, AnonSwitchCount> anonSwitches()
{
    return Switches;
}

AnonOptions AnonOptions::defaults()
{
    AnonOptions options;
    options.on.fill(true);
    return options;
}

bool AnonOptions::removes(base::Tag tag) const
{
    const auto index = switchIndex(tag);
    return index && on[*index];
}

bool AnonOptions::criticalFieldKept() const
{
    for (std::size_t i = 0; i < Switches.size(); ++i) {
        if (Switches[i].critical && !on[i])
            return true;
    }
    return false;
}

AnonResult<void> blankValue(std::span<std::uint8_t> bytes, std::uint64_t valueOffset, std::uint64_t length,
                            bool binary)
{
    if (valueOffset > bytes.size() || length > bytes.size() - valueOffset)
        return AnonFailure {AnonError::OutOfBounds, {}};
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(valueOffset), static_cast<std::ptrdiff_t>(length),
                binary ? std::uint8_t {0} : std::uint8_t {' '});
    return {};
}

AnonResult<std::size_t> blankElements(const DicomDataset& dataset, std::span<std::uint8_t> bytes,
                                      const AnonOptions& options)
{
    // PS3.5 A.5: a deflated data set's offsets point into the inflated copy.
    if (const DicomElement* syntax = dataset.find(tags::TransferSyntaxUID);
        syntax && trimmed(syntax->text()) == "1.2.840.10008.1.2.1.99")
        return AnonFailure {AnonError::Unsupported, "deflated data set"};
    std::size_t count = 0;
    for (std::size_t i = 0; i < dataset.elementCount(); ++i) {
        const auto element = dataset.getElementAt(i);
        if (!element || element->vr == "SQ" || !options.removes(element->tag()))
            continue;
        if (auto done = blankValue(bytes, element->valueOffset, element->length, isBinaryVr(element->vr)); !done)
            return done.error();
        ++count;
    }
    return count;
}

AnonResult<std::size_t> anonymizeBytes(std::span<std::uint8_t> bytes, const AnonOptions& options)
{
    DicomDataset dataset;
    ReadOptions readOptions;
    readOptions.headerOnly = HeaderOnly::Yes;
    MemorySource source(bytes);
    if (!DicomReader(readOptions).read(source, dataset))
        return headerFailure(dataset);
    return blankElements(dataset, bytes, options);
}

AnonFailure headerFailure(const DicomDataset& dataset)
{
    std::string message(dataset.errorMessage());
    if (dataset.error == DicomError::FileIo)
        return AnonFailure {AnonError::ReadFailed, std::move(message)};
    if (dataset.hasPreamble || !dataset.elements.empty())
        return AnonFailure {AnonError::Malformed, std::move(message)};
    return AnonFailure {AnonError::NotDicom, std::move(message)};
}

std::string anonymizedName(std::string_view path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    std::string result(path);
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return result + "_anon";
    result.insert(dot, "_anon");
    return result;
}

std::optional<std::string> anonymizedValueText(const DicomElement& element, bool displayFlag,
                                               const AnonOptions& options)
{
    if (!displayFlag || !options.removes(element.tag()))
        return std::nullopt;
    return std::string(isBinaryVr(element.vr) ? "0" : " ");
}

AnonResult<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path)
{
    FdCloser file {::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    struct stat status {};
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode))
        return AnonFailure {AnonError::FileNotFound, path.string()};
    if (status.st_size == 0)
        return AnonFailure {AnonError::ZeroLength, path.string()};
    try {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(file.fd, bytes.data() + done, bytes.size() - done);
            if (got <= 0)
                return AnonFailure {AnonError::ReadFailed, path.string()};
            done += static_cast<std::size_t>(got);
        }
        return bytes;
    } catch (const std::bad_alloc&) {
        return AnonFailure {AnonError::ReadFailed, path.string()};
    }
}

AnonResult<void> writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    if (!writeThroughTemporary(path, [bytes](int fd) { return writeAllTo(fd, bytes); }))
        return AnonFailure {AnonError::NotCreated, path.string()};
    return {};
}

} // namespace dicom
