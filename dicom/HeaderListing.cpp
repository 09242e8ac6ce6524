#include "dicom/HeaderListing.h"

#include "dicom/Tags.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <optional>

namespace dicom {

namespace {

constexpr std::uint32_t LongValueLength = 512;

constexpr std::array StudyTags = {
    tags::StudyDate, tags::SeriesDate, tags::StudyTime, tags::StudyDescription, tags::SeriesDescription,
    tags::StudyInstanceUID, tags::SeriesInstanceUID, tags::StudyID, tags::OtherStudyNumbers, tags::StudyStatusID,
    tags::StudyPriorityID, tags::StudyIDIssuer, tags::StudyVerifiedDate, tags::StudyVerifiedTime, tags::StudyReadDate,
    tags::StudyReadTime, tags::ScheduledStudyStartDate, tags::ScheduledStudyStartTime, tags::ScheduledStudyStopDate,
    tags::ScheduledStudyStopTime, tags::ScheduledStudyLocation, tags::ScheduledStudyLocationAETitles,
    tags::ReasonForStudy, tags::StudyArrivalDate, tags::StudyArrivalTime, tags::StudyCompletionDate,
    tags::StudyCompletionTime, tags::StudyComponentStatusID, tags::StudyComments,
};
constexpr std::array PhysicianTags = {
    tags::ReferringPhysicianName, tags::ReferringPhysicianAddress, tags::ReferringPhysicianTelephoneNumbers,
    tags::PhysiciansOfRecord, tags::PerformingPhysicianName, tags::NameOfPhysiciansReadingStudy, tags::OperatorsName,
    tags::RequestingPhysician,
};
constexpr std::array ImageTags = {tags::ImageType, tags::ContentDate, tags::ContentTime, tags::InstanceNumber};

template<std::size_t N>
bool listed(const std::array<base::Tag, N>& list, base::Tag tag)
{
    return std::find(list.begin(), list.end(), tag) != list.end();
}

std::uint64_t loadUnsigned(std::span<const std::uint8_t> bytes, std::size_t size, base::Endian order)
{
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t at = order == base::Endian::Little ? size - 1 - i : i;
        v = (v << 8) | bytes[at];
    }
    return v;
}

template<typename T>
std::string numberText(T value)
{
    std::array<char, 64> text {};
    auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

// Each complete four-byte value as "(gggg,eeee)", the group first (PS3.5
// 6.2, AT), in the Tag column's lower-case hex; values are separated by a
// backslash as in text values. Trailing bytes short of a value are not read.
std::string attributeTags(std::span<const std::uint8_t> bytes, base::Endian order)
{
    constexpr std::size_t TagSize = 4;
    std::string out;
    for (std::size_t at = 0; bytes.size() - at >= TagSize; at += TagSize) {
        const auto group = static_cast<unsigned>(loadUnsigned(bytes.subspan(at), 2, order));
        const auto element = static_cast<unsigned>(loadUnsigned(bytes.subspan(at + 2), 2, order));
        std::array<char, 16> text {};
        std::snprintf(text.data(), text.size(), "(%04x,%04x)", group, element);
        if (at > 0)
            out += '\\';
        out += text.data();
    }
    return out;
}

// The first value of a binary element; the stored number when the value is
// too short to hold one.
std::string binaryValue(const DicomElement& e, base::Endian order)
{
    auto bytes = e.bytes();
    auto has = [&](std::size_t n) { return bytes.size() >= n; };
    if (e.vr == "AT")
        return attributeTags(bytes, order);
    if (e.vr == "US" && has(2))
        return numberText(static_cast<std::uint16_t>(loadUnsigned(bytes, 2, order)));
    if (e.vr == "SS" && has(2))
        return numberText(static_cast<std::int16_t>(loadUnsigned(bytes, 2, order)));
    if (e.vr == "UL" && has(4))
        return numberText(static_cast<std::uint32_t>(loadUnsigned(bytes, 4, order)));
    if (e.vr == "SL" && has(4))
        return numberText(static_cast<std::int32_t>(loadUnsigned(bytes, 4, order)));
    if (e.vr == "FL" && has(4))
        return numberText(std::bit_cast<float>(static_cast<std::uint32_t>(loadUnsigned(bytes, 4, order))));
    if (e.vr == "FD" && has(8))
        return numberText(std::bit_cast<double>(loadUnsigned(bytes, 8, order)));
    return numberText(e.numericValue);
}

// Control characters would break a row (tabs, line ends) or a terminal, so
// they are shown as \xNN; bytes from 0x80 up belong to the character set.
std::string printableText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            std::array<char, 5> escaped {};
            std::snprintf(escaped.data(), escaped.size(), "\\x%02X", byte);
            out += escaped.data();
        } else {
            out += c;
        }
    }
    return out;
}

std::string textValue(const DicomElement& e)
{
    if (e.vr == "OB" || e.vr == "OW" || e.vr == "SQ")
        return e.tag() == tags::PixelData ? "Frame Data" : "Sequence Data";
    if (e.length >= LongValueLength)
        return "Long Size Data";
    return printableText(e.text());
}

} // namespace

bool isBinaryVr(std::string_view vr)
{
    for (std::string_view v : {"AT", "FL", "FD", "SL", "SS", "UL", "US"}) {
        if (vr == v)
            return true;
    }
    return false;
}

HeaderRow headerRow(const DicomElement& element, base::Endian byteOrder)
{
    HeaderRow row;
    std::array<char, 24> tag {};
    std::snprintf(tag.data(), tag.size(), "0x%04x, 0x%04x", element.group, element.element);
    row.tag = tag.data();
    row.name = element.name;
    row.vr = printableText(element.vr); // explicit VR bytes come straight from the file
    row.length = numberText(element.length);
    row.value = isBinaryVr(element.vr) ? binaryValue(element, byteOrder) : "\"" + textValue(element) + "\"";
    return row;
}

bool inCategory(const DicomElement& element, HeaderCategory category)
{
    if (element.element == tags::GroupLengthElement)
        return false;
    if (category == HeaderCategory::All)
        return true;
    if (element.element == tags::LengthToEndElement)
        return false;
    switch (category) {
    case HeaderCategory::Patient:
        return element.group == tags::PatientGroup;
    case HeaderCategory::Study:
        return listed(StudyTags, element.tag());
    case HeaderCategory::Physician:
        return listed(PhysicianTags, element.tag());
    case HeaderCategory::Image:
        return element.group == tags::ImagePresentationGroup || listed(ImageTags, element.tag());
    case HeaderCategory::All:
        break;
    }
    return true;
}

namespace {

std::vector<HeaderRow> rows(const DicomDataset& dataset, std::optional<HeaderCategory> category)
{
    std::vector<HeaderRow> out;
    out.reserve(dataset.elementCount());
    for (std::size_t i = 0; i < dataset.elementCount(); ++i) {
        auto element = dataset.getElementAt(i);
        if (category && !inCategory(*element, *category))
            continue;
        // PS3.10 7.1: the meta group is little endian whatever the data set's order.
        const bool big = dataset.bigEndian && element->group != tags::MetaGroup;
        out.push_back(headerRow(*element, big ? base::Endian::Big : base::Endian::Little));
    }
    return out;
}

} // namespace

std::vector<HeaderRow> headerRows(const DicomDataset& dataset)
{
    return rows(dataset, std::nullopt);
}

std::vector<HeaderRow> headerRows(const DicomDataset& dataset, HeaderCategory category)
{
    return rows(dataset, category);
}

} // namespace dicom
