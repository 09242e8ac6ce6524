#include "dicom/DicomWriter.h"

#include "dicom/TagDictionary.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace dicom {

namespace {

constexpr std::array<std::string_view, 13> BlankPadded = { "AS", "AT", "CS", "DA", "DT", "IS", "LO", "LT", "PN", "SH",
    "ST", "TM", "UT" };
// PS3.5 Table 7.1-1: these VRs carry 2 reserved bytes and a 32-bit length.
constexpr std::array<std::string_view, 13> LongLength = { "OB", "OD", "OF", "OL", "OV", "OW", "SQ", "SV", "UC", "UN",
    "UR", "UT", "UV" };

bool isOneOf(std::string_view vr, std::span<const std::string_view> list)
{
    return std::find(list.begin(), list.end(), vr) != list.end();
}

std::string printed(const char* format, int precision, double value)
{
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, precision, value);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(std::min(n, 63))) : std::string();
}

bool closeTo(const std::string& text, double value, double relative)
{
    const double back = std::strtod(text.c_str(), nullptr);
    return std::fabs(back - value) <= relative * std::fabs(value);
}

std::string formatDsList(std::string_view text)
{
    std::string out;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\\', start);
        std::string item(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        const auto first = item.find_first_not_of(' ');
        if (first != std::string::npos) {
            char* stop = nullptr;
            const double value = std::strtod(item.c_str() + first, &stop);
            // Text that is no number stays as it was rather than becoming 0.
            if (stop != item.c_str() + first)
                item = formatDs(value);
        } else {
            item.clear();
        }
        out += item;
        if (end == std::string_view::npos)
            break;
        out += '\\';
        start = end + 1;
    }
    return out;
}

void recomputeGroupLength(DicomDataset& dataset, std::uint16_t group)
{
    std::uint64_t sum = 0;
    for (const DicomElement& e : dataset.elements) {
        if (e.group == group && e.element != 0)
            sum += encodedHeaderSize(e.vr, e.length) + std::uint64_t { e.length };
    }
    const auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(sum, 0xFFFFFFFFu));
    const std::array<std::uint8_t, 4> bytes = { static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
        static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24) };
    setElement(dataset, { group, 0x0000 }, "UL", bytes);
}

} // namespace

std::string formatDs(double value)
{
    if (!std::isfinite(value))
        return {};
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return printed("%.*f", 0, value == 0.0 ? 0.0 : value); // no "-0"
    std::string fixed = printed("%.*f", 6, value);
    if (fixed.size() <= 16 && closeTo(fixed, value, 1e-6))
        return fixed;
    std::string best;
    for (int precision = 1; precision <= 17; ++precision) {
        std::string candidate = printed("%.*g", precision, value);
        if (candidate.size() > 16)
            break;
        best = std::move(candidate);
        if (std::strtod(best.c_str(), nullptr) == value)
            break;
    }
    return best;
}

std::vector<std::uint8_t> normaliseValue(std::string_view vr, std::span<const std::uint8_t> value)
{
    std::vector<std::uint8_t> out(value.begin(), value.end());
    if (vr == "DS") {
        std::string_view text(reinterpret_cast<const char*>(out.data()), out.size());
        text = text.substr(0, text.find('\0'));
        const std::string rewritten = formatDsList(text);
        out.assign(rewritten.begin(), rewritten.end());
    }
    const bool odd = out.size() % 2 != 0;
    if (vr == "AE") {
        if (odd)
            out.push_back(' ');
        if (out.size() > 16)
            out.resize(16);
    } else if (vr == "OB" || vr == "OW" || vr == "UI") {
        if (odd)
            out.push_back(0);
    } else if (vr == "DS" || isOneOf(vr, BlankPadded)) {
        if (odd)
            out.push_back(' ');
    }
    return out;
}

std::string generateUid()
{
    std::random_device device;
    std::array<std::uint32_t, 4> limbs {}; // most significant first
    for (auto& limb : limbs)
        limb = device();
    // RFC 9562 version 4 and variant bits, as PS3.5 B.2 asks of the UUID.
    limbs[1] = (limbs[1] & 0xFFFF0FFFu) | 0x00004000u;
    limbs[2] = (limbs[2] & 0x3FFFFFFFu) | 0x80000000u;
    std::string digits;
    while (std::any_of(limbs.begin(), limbs.end(), [](std::uint32_t l) { return l != 0; })) {
        std::uint64_t remainder = 0;
        for (auto& limb : limbs) {
            const std::uint64_t current = (remainder << 32) | limb;
            limb = static_cast<std::uint32_t>(current / 10);
            remainder = current % 10;
        }
        digits.push_back(static_cast<char>('0' + remainder));
    }
    std::reverse(digits.begin(), digits.end());
    return "2.25." + (digits.empty() ? std::string("0") : digits);
}

std::string_view encodedVr(std::string_view vr, std::uint64_t length)
{
    if (!isOneOf(vr, LongLength) && length > 0xFFFF)
        return "UN";
    return vr;
}

std::uint32_t encodedHeaderSize(std::string_view vr, std::uint64_t length)
{
    return isOneOf(encodedVr(vr, length), LongLength) ? 12 : 8;
}

void setElement(DicomDataset& dataset, DicomElement element)
{
    const base::Tag tag = element.tag();
    if (dataset.implicitVr && tag != tags::PixelData) {
        const auto known = TagDictionary::vr(tag);
        if (known && known->size() == 2)
            element.vr = std::string(*known);
    }
    if (element.vr.size() != 2)
        element.vr = "UN";
    element.name = std::string(TagDictionary::name(tag));
    element.uidName.reset();
    if (element.hasValue()) {
        const auto bytes = normaliseValue(element.vr, element.bytes());
        element.setValue(bytes);
        element.length = static_cast<std::uint32_t>(bytes.size());
    }
    auto& list = dataset.elements;
    auto at = std::find_if(list.begin(), list.end(), [&](const DicomElement& e) { return !(e.tag() < tag); });
    if (at != list.end() && at->tag() == tag)
        *at = std::move(element);
    else
        list.insert(at, std::move(element));
    if (tag.element != 0)
        recomputeGroupLength(dataset, tag.group);
}

void setElement(DicomDataset& dataset, base::Tag tag, std::string_view vr, std::span<const std::uint8_t> value)
{
    DicomElement element;
    element.group = tag.group;
    element.element = tag.element;
    element.vr = std::string(vr);
    element.setValue(value);
    element.length = static_cast<std::uint32_t>(value.size());
    if (value.empty())
        element.value.clear();
    setElement(dataset, std::move(element));
}

void setText(DicomDataset& dataset, base::Tag tag, std::string_view vr, std::string_view text)
{
    setElement(dataset, tag, vr,
               std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void setUs(DicomDataset& dataset, base::Tag tag, std::uint16_t value)
{
    const std::array<std::uint8_t, 2> bytes = { static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8) };
    setElement(dataset, tag, "US", bytes);
}

bool copyElementIfAllowed(DicomDataset& dataset, const DicomElement& element)
{
    static constexpr std::array<base::Tag, 11> Kept = { base::Tag { 0x0002, 0x0010 }, tags::PixelData,
        base::Tag { 0x0028, 0x0002 }, base::Tag { 0x0028, 0x0004 }, base::Tag { 0x0028, 0x0008 },
        base::Tag { 0x0028, 0x0010 }, base::Tag { 0x0028, 0x0011 }, base::Tag { 0x0028, 0x0100 },
        base::Tag { 0x0028, 0x0101 }, base::Tag { 0x0028, 0x0102 }, base::Tag { 0x0028, 0x0103 } };
    if (element.element == 0 || std::find(Kept.begin(), Kept.end(), element.tag()) != Kept.end())
        return false;
    setElement(dataset, element);
    return true;
}

void setFrameTime(DicomDataset& dataset, double milliseconds)
{
    dataset.image.frameTime = milliseconds;
    setText(dataset, { 0x0018, 0x1063 }, "DS", formatDs(milliseconds));
}

std::tm localTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return local;
}

} // namespace dicom
