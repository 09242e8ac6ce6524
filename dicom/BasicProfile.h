#pragma once

// The Basic Application Level Confidentiality Profile (PS3.15 E.1): removes,
// empties, replaces with dummies or replaces the UIDs of the attributes of
// its table (generated from PS3.15 Table E.1-1) at every depth, private
// groups included, replaces UIDs through one mapping per run and marks the
// file as de-identified. The file is re-encoded, since lengths change.

#include "dicom/Anonymizer.h"
#include "dicom/DatasetEncoder.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dicom {

// What is done to one element.
enum class ProfileAction : char {
    Remove = 'X',
    Empty = 'Z',      // kept with no value; a sequence keeps no item
    Dummy = 'D',      // a value of its VR that identifies nothing; a sequence keeps its items, each cleaned
    ReplaceUid = 'U', // UIDs mapped; a sequence keeps its items, each cleaned
    Keep = 'K',
};

// One row of Table E.1-1: a tag matches when its group and element, masked,
// equal the row's (the table's "xx" digits and its row of odd groups).
struct ProfileEntry {
    std::uint16_t group;
    std::uint16_t groupMask;
    std::uint16_t element;
    std::uint16_t elementMask;
    std::string_view code; // as the table gives it, e.g. "X/Z/D"

    constexpr bool matches(base::Tag tag) const
    {
        return (tag.group & groupMask) == group && (tag.element & elementMask) == element;
    }
};

std::span<const ProfileEntry> basicProfileTable();
// The table's code for a tag at any depth; none for a tag the table lacks.
std::optional<std::string_view> profileCode(base::Tag tag);

// A combined code ("X/Z/D": remove unless the IOD needs the attribute, empty
// if it may be empty, else a dummy) taken for an element without knowing its
// IOD: the element is kept, so that a Type 1 or 2 attribute stays, and gets
// the strictest value that keeps it valid. A value already empty stays empty
// where Z is allowed, since its IOD lets it be empty; any other value gets a
// dummy where D is allowed, since it may be Type 1. A sequence already empty
// stays empty where Z is allowed; one with items is removed where X and Z are
// allowed (a Type 3 sequence may not be present without items); with D or U*
// it keeps its items, which the profile cleans at their depth. C (clean)
// gives a dummy too.
ProfileAction resolveAction(std::string_view code, bool sequence, bool emptyValue);

// The VR a value is read by: the file's, or for UN the dictionary's where it
// knows the tag (PS3.5 6.2.2: UN only means the writer did not know it).
std::string effectiveVr(const TreeElement& element);

// A value that identifies nothing and is valid for the VR (text padded to
// even length, binary numbers zero, as many as there were); none for a VR
// whose content cannot be guessed (UN the dictionary does not know).
std::optional<std::vector<std::uint8_t>> dummyValue(std::string_view vr, std::size_t oldSize);

// One mapping from old to new UIDs, shared by every file of a run so that the
// files of one series or study still belong together. Safe across threads.
class UidMap {
public:
    std::string replace(std::string_view uid);
    // "2.25." and a random UUID as one decimal integer (PS3.5 B.2).
    static std::string freshUid();

private:
    std::mutex m_mutex;
    std::unordered_map<std::string, std::string> m_map;
};

inline constexpr std::string_view DeidentificationMethod = "Basic Application Confidentiality Profile";

void applyBasicProfile(TreeFile& file, UidMap& uids);

// The profile over a file's bytes, then the switches that are on blank, at the
// top level, what the table does not name. Returns the re-encoded file.
AnonResult<std::vector<std::uint8_t>> anonymizeWithProfile(std::span<const std::uint8_t> bytes,
                                                           const AnonOptions& options, UidMap& uids);

} // namespace dicom
