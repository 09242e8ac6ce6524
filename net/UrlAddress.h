#pragma once

// What the shell does with an address the user types: the schemes it
// fetches, the list of recent addresses, and the file name it proposes when
// the download is saved.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace net {

// Trimmed; "http://", "https://" and "ftp://" (in any case) are kept, an
// address with no "scheme://" gets "http://" in front, and any other scheme
// is refused (nullopt). An address that is empty once trimmed stays empty.
std::optional<std::string> normaliseAddress(std::string_view typed);

// The recent addresses, slot 1 first; an empty string is an unused slot.
inline constexpr std::size_t RecentUrlSlots = 8;
using RecentUrls = std::array<std::string, RecentUrlSlots>;

// An address already in a slot leaves the slots as they are; otherwise it
// takes the first unused slot or, with all in use, the oldest (slot 1) goes,
// the others move down one and the address becomes the last. True when the
// slots changed.
bool addRecentUrl(RecentUrls& slots, const std::string& address);

// The addresses as the drop-down lists them: last slot first, unused slots left out.
std::vector<std::string> listedRecentUrls(const RecentUrls& slots);

// The address's last part after "/" and after "\", without query or
// fragment; "download" when that leaves nothing, "." or "..".
std::string proposedSaveName(std::string_view address);

// The extension of the proposed save name (".dcm", ".jpg"), kept only when
// it is 1 to 5 letters or digits after the dot; empty otherwise.
std::string safeExtension(std::string_view address);

} // namespace net
