#include "dicom/BasicProfile.h"

#include "dicom/DicomWriter.h"

#include <algorithm>

namespace dicom {

namespace {

constexpr ProfileEntry Table[] = {
#include "dicom/BasicProfileTable.inc"
};

ProfileAction resolve(std::string_view code)
{
    // "U*" keeps a sequence and replaces the UIDs inside it; D and Z keep an
    // attribute a module may require, so a combined code takes the mildest.
    if (code.find('U') != std::string_view::npos)
        return ProfileAction::ReplaceUid;
    if (code.find('D') != std::string_view::npos)
        return ProfileAction::Dummy;
    if (code.find('Z') != std::string_view::npos)
        return ProfileAction::Empty;
    return ProfileAction::Remove;
}

std::vector<std::uint8_t> padded(std::string text, char pad)
{
    if (text.size() % 2)
        text.push_back(pad);
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> dummyValue(const TreeElement& e)
{
    if (isBinaryVr(e.vr))
        return std::vector<std::uint8_t>(e.value.size(), 0);
    if (e.vr == "DA")
        return padded("19000101", ' ');
    if (e.vr == "TM")
        return padded("000000", ' ');
    if (e.vr == "DT")
        return padded("19000101000000", ' ');
    if (e.vr == "DS" || e.vr == "IS")
        return padded("0", ' ');
    if (e.vr == "AS")
        return padded("000Y", ' ');
    if (e.vr == "OB" || e.vr == "OW" || e.vr == "UN" || e.vr == "OF" || e.vr == "OD" || e.vr == "OL")
        return {};
    return padded("ANONYMIZED", ' ');
}

std::string_view trimmedUid(const std::vector<std::uint8_t>& value)
{
    std::string_view text(reinterpret_cast<const char*>(value.data()), value.size());
    while (!text.empty() && (text.back() == '\0' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

std::vector<std::uint8_t> replacedUids(const std::vector<std::uint8_t>& value, UidMap& uids)
{
    std::string_view rest = trimmedUid(value);
    std::string out;
    while (true) {
        const auto slash = rest.find('\\');
        const auto one = rest.substr(0, slash);
        if (!one.empty())
            out += uids.replace(one);
        if (slash == std::string_view::npos)
            break;
        out += '\\';
        rest.remove_prefix(slash + 1);
    }
    return padded(out, '\0');
}

void applyTo(std::vector<TreeElement>& elements, UidMap& uids, bool topLevel)
{
    std::erase_if(elements, [&](const TreeElement& e) {
        if (e.tag.group % 2 == 1)
            return true; // private groups
        if (e.tag.group == 0xFFFE)
            return true; // stray items or delimiters
        if (e.tag.element == 0 && e.tag.group != 0x0002)
            return true; // group lengths no longer hold once values change
        const auto action = profileAction(e.tag);
        return action == ProfileAction::Remove;
    });
    for (auto& e : elements) {
        const auto action = profileAction(e.tag);
        if (action == ProfileAction::Empty) {
            e.value.clear();
            e.items.clear();
        } else if (action == ProfileAction::Dummy) {
            e.items.clear();
            if (!e.sequence)
                e.value = e.vr == "UI" ? padded(UidMap::freshUid(), '\0') : dummyValue(e);
        } else if (action == ProfileAction::ReplaceUid && e.vr == "UI") {
            e.value = replacedUids(e.value, uids);
        }
        for (auto& item : e.items)
            applyTo(item, uids, false);
    }
    if (!topLevel)
        return;
    auto put = [&](base::Tag tag, std::string vr, std::string text) {
        TreeElement e;
        e.tag = tag;
        e.vr = std::move(vr);
        e.value = padded(std::move(text), ' ');
        auto at = std::find_if(elements.begin(), elements.end(), [&](const TreeElement& x) { return !(x.tag < tag); });
        if (at != elements.end() && at->tag == tag)
            *at = std::move(e);
        else
            elements.insert(at, std::move(e));
    };
    put({0x0012, 0x0062}, "CS", "YES");
    put({0x0012, 0x0063}, "LO", std::string(DeidentificationMethod));
}

} // namespace

std::span<const ProfileEntry> basicProfileTable()
{
    return Table;
}

std::optional<ProfileAction> profileAction(base::Tag tag)
{
    // Curve data (50xx,xxxx) and overlay data and comments (60xx,3000), (60xx,4000): PS3.15 E.1-1.
    if ((tag.group & 0xFF00) == 0x5000)
        return ProfileAction::Remove;
    if ((tag.group & 0xFF00) == 0x6000 && (tag.element == 0x3000 || tag.element == 0x4000))
        return ProfileAction::Remove;
    for (const auto& entry : Table) {
        if (entry.group == tag.group && entry.element == tag.element)
            return resolve(entry.code);
    }
    return std::nullopt;
}

std::string UidMap::replace(std::string_view uid)
{
    std::lock_guard lock(m_mutex);
    auto [at, added] = m_map.try_emplace(std::string(uid));
    if (added)
        at->second = freshUid();
    return at->second;
}

std::string UidMap::freshUid()
{
    return generateUid();
}

void applyBasicProfile(TreeFile& file, UidMap& uids)
{
    for (auto& e : file.meta) {
        if (e.tag == base::Tag {0x0002, 0x0003})
            e.value = replacedUids(e.value, uids);
    }
    applyTo(file.elements, uids, true);
}

AnonResult<std::vector<std::uint8_t>> anonymizeWithProfile(std::span<const std::uint8_t> bytes,
                                                           const AnonOptions& options, UidMap& uids)
{
    auto file = parseTree(bytes);
    if (!file)
        return file.error();
    // A DICOMDIR's records point at byte offsets (PS3.10 8.2), which a
    // re-encoding moves: it is refused rather than broken.
    for (const auto& e : file->meta) {
        if (e.tag == base::Tag {0x0002, 0x0002} && trimmedUid(e.value) == "1.2.840.10008.1.3.10")
            return AnonFailure {AnonError::Unsupported, "media directory"};
    }
    applyBasicProfile(*file, uids);
    for (auto& e : file->elements) {
        if (!e.sequence && !e.encapsulated && options.removes(e.tag))
            std::fill(e.value.begin(), e.value.end(), isBinaryVr(e.vr) ? std::uint8_t {0} : std::uint8_t {' '});
    }
    return encodeTree(*file);
}

} // namespace dicom
