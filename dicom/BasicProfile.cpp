#include "dicom/BasicProfile.h"

#include "dicom/DicomWriter.h"
#include "dicom/TagDictionary.h"

#include <algorithm>

namespace dicom {

namespace {

constexpr ProfileEntry Table[] = {
#include "dicom/BasicProfileTable.inc"
};

bool has(std::string_view code, char action)
{
    return code.find(action) != std::string_view::npos;
}

bool oneOf(std::string_view vr, std::initializer_list<std::string_view> list)
{
    return std::find(list.begin(), list.end(), vr) != list.end();
}

// Values that are text whatever the byte order (PS3.5 6.2).
bool isTextVr(std::string_view vr)
{
    return oneOf(vr, {"AE", "AS", "CS", "DA", "DS", "DT", "IS", "LO", "LT", "PN", "SH", "ST", "TM", "UC", "UI",
                      "UR", "UT"});
}

std::vector<std::uint8_t> padded(std::string text, char pad)
{
    if (text.size() % 2)
        text.push_back(pad);
    return {text.begin(), text.end()};
}

std::string_view trimmedUid(const std::vector<std::uint8_t>& value)
{
    std::string_view text(reinterpret_cast<const char*>(value.data()), value.size());
    while (!text.empty() && (text.back() == '\0' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

bool blank(const std::vector<std::uint8_t>& value)
{
    return std::all_of(value.begin(), value.end(), [](std::uint8_t c) { return c == ' ' || c == '\0'; });
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

void applyTo(std::vector<TreeElement>& elements, UidMap& uids);

void apply(TreeElement& e, ProfileAction action, UidMap& uids)
{
    if (e.sequence) {
        if (action == ProfileAction::Empty)
            e.items.clear();
        for (auto& item : e.items)
            applyTo(item, uids);
        return;
    }
    std::string vr = effectiveVr(e);
    // A UID the writer stored as UN of a tag we do not know is still a UID.
    if (action == ProfileAction::ReplaceUid && vr == "UN")
        vr = "UI";
    if (action == ProfileAction::ReplaceUid && vr != "UI")
        action = ProfileAction::Dummy;
    // A value we rewrite as text is labelled with its VR, which the text
    // values of a UN already are in any byte order.
    if (e.vr == "UN" && isTextVr(vr) && action != ProfileAction::Keep)
        e.vr = vr;
    switch (action) {
    case ProfileAction::Empty:
        e.value.clear();
        break;
    case ProfileAction::Dummy:
        if (auto dummy = dummyValue(vr, e.value.size()))
            e.value = std::move(*dummy);
        else
            e.value.clear(); // nothing valid can be guessed: no value is still no identity
        break;
    case ProfileAction::ReplaceUid:
        e.value = replacedUids(e.value, uids);
        break;
    case ProfileAction::Remove:
    case ProfileAction::Keep:
        break;
    }
}

// PS3.3 C.7.1.1: the responsible person and organization are Type 2C of an
// animal patient, whose species is then given: emptied there, not removed.
bool requiredForAnimal(base::Tag tag)
{
    return tag == base::Tag {0x0010, 0x2297} || tag == base::Tag {0x0010, 0x2299};
}

bool isAnimal(const std::vector<TreeElement>& elements)
{
    return std::any_of(elements.begin(), elements.end(), [](const TreeElement& e) {
        return e.tag == base::Tag {0x0010, 0x2201} || e.tag == base::Tag {0x0010, 0x2202};
    });
}

bool isOverlayGroup(std::uint16_t group)
{
    return (group & 0xFF00) == 0x6000;
}

std::optional<ProfileAction> actionFor(const TreeElement& e, bool animal)
{
    const auto code = profileCode(e.tag);
    if (!code)
        return std::nullopt;
    const auto action = resolveAction(*code, e.sequence, e.sequence ? e.items.empty() : blank(e.value));
    if (action == ProfileAction::Remove && animal && requiredForAnimal(e.tag))
        return ProfileAction::Empty;
    return action;
}

void applyTo(std::vector<TreeElement>& elements, UidMap& uids)
{
    const bool animal = isAnimal(elements);
    // An overlay whose data goes is gone as a whole: what is left of its
    // group would be an Overlay Plane without its Type 1 data.
    std::vector<std::uint16_t> overlaysRemoved;
    for (const auto& e : elements) {
        if (isOverlayGroup(e.tag.group) && e.tag.element == 0x3000 && actionFor(e, animal) == ProfileAction::Remove)
            overlaysRemoved.push_back(e.tag.group);
    }
    std::erase_if(elements, [&](const TreeElement& e) {
        if (e.tag.group == 0xFFFE)
            return true; // stray items or delimiters
        if (e.tag.element == 0 && e.tag.group != 0x0002)
            return true; // group lengths no longer hold once values change
        if (std::find(overlaysRemoved.begin(), overlaysRemoved.end(), e.tag.group) != overlaysRemoved.end())
            return true;
        return actionFor(e, animal) == ProfileAction::Remove;
    });
    for (auto& e : elements) {
        if (const auto action = actionFor(e, animal))
            apply(e, *action, uids);
        else if (e.sequence)
            for (auto& item : e.items)
                applyTo(item, uids);
    }
}

void put(std::vector<TreeElement>& elements, base::Tag tag, std::string vr, std::string text)
{
    TreeElement e;
    e.tag = tag;
    e.vr = std::move(vr);
    e.value = padded(std::move(text), ' ');
    auto at = std::find_if(elements.begin(), elements.end(), [&](const TreeElement& x) { return !(x.tag < tag); });
    if (at != elements.end() && at->tag == tag)
        *at = std::move(e);
    else
        elements.insert(at, std::move(e));
}

} // namespace

std::span<const ProfileEntry> basicProfileTable()
{
    return Table;
}

std::optional<std::string_view> profileCode(base::Tag tag)
{
    for (const auto& entry : Table) {
        if (entry.matches(tag))
            return entry.code;
    }
    return std::nullopt;
}

ProfileAction resolveAction(std::string_view code, bool sequence, bool emptyValue)
{
    if (has(code, 'U'))
        return ProfileAction::ReplaceUid;
    const bool dummy = has(code, 'D') || has(code, 'C');
    if (sequence) {
        // A sequence the IOD lets be empty stays so; one with items is
        // removed where the code allows, since a sequence of a Type 3
        // attribute may not be present without items.
        if (has(code, 'Z') && (emptyValue || !has(code, 'X')))
            return ProfileAction::Empty;
        if (has(code, 'Z'))
            return ProfileAction::Remove;
        if (dummy)
            return ProfileAction::Dummy;
    } else {
        if (dummy)
            return emptyValue && has(code, 'Z') ? ProfileAction::Empty : ProfileAction::Dummy;
        if (has(code, 'Z'))
            return ProfileAction::Empty;
    }
    if (has(code, 'X'))
        return ProfileAction::Remove;
    return ProfileAction::Keep;
}

std::string effectiveVr(const TreeElement& element)
{
    if (element.vr != "UN" || element.sequence)
        return element.vr;
    const auto known = TagDictionary::vr(element.tag);
    return known && known->size() >= 2 ? std::string(known->substr(0, 2)) : element.vr;
}

std::optional<std::vector<std::uint8_t>> dummyValue(std::string_view vr, std::size_t oldSize)
{
    if (vr == "DA")
        return padded("19000101", ' ');
    if (vr == "TM")
        return padded("000000", ' ');
    if (vr == "DT")
        return padded("19000101000000", ' ');
    if (vr == "DS" || vr == "IS")
        return padded("0", ' ');
    if (vr == "AS")
        return padded("000Y", ' ');
    if (vr == "UI")
        return padded(UidMap::freshUid(), '\0');
    if (isTextVr(vr))
        return padded("ANONYMIZED", ' ');
    // Numbers and bytes become zeros, as many as there were (at least one
    // 8-byte unit, which every binary VR's size divides).
    if (vr == "UN" || vr.empty())
        return std::nullopt;
    std::size_t size = oldSize;
    if (size == 0 || oneOf(vr, {"OB", "OD", "OF", "OL", "OV", "OW"}))
        size = 8;
    return std::vector<std::uint8_t>(size, 0);
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
    applyTo(file.elements, uids);
    put(file.elements, {0x0012, 0x0062}, "CS", "YES");
    put(file.elements, {0x0012, 0x0063}, "LO", std::string(DeidentificationMethod));
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
    // What the table treats follows its action; a switch blanks only what
    // the table leaves as it is, so a dummy the IOD needs is not emptied.
    for (auto& e : file->elements) {
        if (!e.sequence && !e.encapsulated && options.removes(e.tag) && !profileCode(e.tag))
            std::fill(e.value.begin(), e.value.end(), isBinaryVr(e.vr) ? std::uint8_t {0} : std::uint8_t {' '});
    }
    return encodeTree(*file);
}

} // namespace dicom
