#include "net/UrlAddress.h"

#include <algorithm>
#include <cctype>

namespace net {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// A scheme as RFC 3986 3.1 spells it (a letter, then letters, digits, "+",
// "-", "."), followed by "://".
bool hasSchemePrefix(std::string_view text)
{
    const std::size_t marker = text.find("://");
    if (marker == std::string_view::npos || marker == 0)
        return false;
    if (!std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(marker), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

} // namespace

std::optional<std::string> normaliseAddress(std::string_view typed)
{
    const std::string_view address = trimmed(typed);
    if (address.empty())
        return std::string();
    for (std::string_view scheme : { "http://", "https://", "ftp://" }) {
        if (startsWithNoCase(address, scheme))
            return std::string(address);
    }
    if (hasSchemePrefix(address))
        return std::nullopt;
    return "http://" + std::string(address);
}

bool addRecentUrl(RecentUrls& slots, const std::string& address)
{
    if (std::find(slots.begin(), slots.end(), address) != slots.end())
        return false;
    const auto unused = std::find(slots.begin(), slots.end(), std::string());
    if (unused != slots.end()) {
        *unused = address;
        return true;
    }
    std::move(slots.begin() + 1, slots.end(), slots.begin());
    slots.back() = address;
    return true;
}

std::vector<std::string> listedRecentUrls(const RecentUrls& slots)
{
    std::vector<std::string> listed;
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot) {
        if (!slot->empty())
            listed.push_back(*slot);
    }
    return listed;
}

std::string proposedSaveName(std::string_view address)
{
    address = address.substr(0, address.find('#'));
    address = address.substr(0, address.find('?'));
    if (const std::size_t slash = address.rfind('/'); slash != std::string_view::npos)
        address.remove_prefix(slash + 1);
    if (const std::size_t backslash = address.rfind('\\'); backslash != std::string_view::npos)
        address.remove_prefix(backslash + 1);
    if (address.empty() || address == "." || address == "..")
        return "download";
    return std::string(address);
}

std::string safeExtension(std::string_view address)
{
    const std::string name = proposedSaveName(address);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {};
    const std::string_view extension = std::string_view(name).substr(dot + 1);
    if (extension.empty() || extension.size() > 5)
        return {};
    if (!std::all_of(extension.begin(), extension.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
        return {};
    return name.substr(dot);
}

} // namespace net
