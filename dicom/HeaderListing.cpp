#include "dicom/HeaderListing.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <optional>

namespace dicom {

namespace {

constexpr std::uint32_t LongValueLength = 512;
constexpr base::Tag PixelDataTag {0x7FE0, 0x0010};

constexpr std::array<std::uint32_t, 29> StudyTags = {
    0x00080020, 0x00080021, 0x00080030, 0x00081030, 0x0008103E, 0x0020000D, 0x0020000E, 0x00200010,
    0x00201070, 0x0032000A, 0x0032000C, 0x00320012, 0x00320032, 0x00320033, 0x00320034, 0x00320035,
    0x00321000, 0x00321001, 0x00321010, 0x00321011, 0x00321020, 0x00321021, 0x00321030, 0x00321040,
    0x00321041, 0x00321050, 0x00321051, 0x00321055, 0x00324000,
};
constexpr std::array<std::uint32_t, 8> PhysicianTags = {
    0x00080090, 0x00080092, 0x00080094, 0x00081048, 0x00081050, 0x00081060, 0x00081070, 0x00321032,
};
constexpr std::array<std::uint32_t, 4> ImageTags = {0x00080008, 0x00080023, 0x00080033, 0x00200013};

template<std::size_t N>
bool listed(const std::array<std::uint32_t, N>& tags, base::Tag tag)
{
    return std::find(tags.begin(), tags.end(), tag.key()) != tags.end();
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

// The first value of a binary element; the stored number when the value is
// too short to hold one.
std::string binaryValue(const DicomElement& e, base::Endian order)
{
    auto bytes = e.bytes();
    auto has = [&](std::size_t n) { return bytes.size() >= n; };
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
        return e.tag() == PixelDataTag ? "Frame Data" : "Sequence Data";
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
    if (element.element == 0x0000)
        return false;
    if (category == HeaderCategory::All)
        return true;
    if (element.element == 0x0001)
        return false;
    switch (category) {
    case HeaderCategory::Patient:
        return element.group == 0x0010;
    case HeaderCategory::Study:
        return listed(StudyTags, element.tag());
    case HeaderCategory::Physician:
        return listed(PhysicianTags, element.tag());
    case HeaderCategory::Image:
        return element.group == 0x0028 || listed(ImageTags, element.tag());
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
        const bool big = dataset.bigEndian && element->group != 0x0002;
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
