#pragma once

// The Basic Application Level Confidentiality Profile (PS3.15 E.1): removes,
// empties or replaces the attributes of its table at every depth, removes
// private groups, replaces UIDs through one mapping per run and marks the
// file as de-identified. The file is re-encoded, since lengths change.

#include "dicom/Anonymizer.h"
#include "dicom/DatasetEncoder.h"

#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dicom {

// PS3.15 Table E.1-1 action codes, a combined code resolved to the one kept here.
enum class ProfileAction : char { Remove = 'X', Empty = 'Z', Dummy = 'D', ReplaceUid = 'U' };

struct ProfileEntry {
    std::uint16_t group;
    std::uint16_t element;
    std::string_view code; // as the standard's table gives it, e.g. "X/Z/D"
};

std::span<const ProfileEntry> basicProfileTable();
// The action applied for a tag at any depth; none for a tag the table lacks.
std::optional<ProfileAction> profileAction(base::Tag tag);

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

// The profile over a file's bytes, then the switches that are on blank what the
// profile kept at the top level. Returns the re-encoded file.
AnonResult<std::vector<std::uint8_t>> anonymizeWithProfile(std::span<const std::uint8_t> bytes,
                                                           const AnonOptions& options, UidMap& uids);

} // namespace dicom
