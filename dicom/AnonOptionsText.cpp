#include "dicom/Anonymizer.h"

#include <algorithm>

namespace dicom {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

AnonOptionsParse parseAnonOptions(std::string_view text, AnonOptions& options)
{
    const std::string section = "[" + std::string(AnonSettingsSection) + "]";
    int number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line[0] == '#' || line[0] == ';' || line == section)
            continue;
        const auto equals = line.find('=');
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = equals == std::string_view::npos ? std::string_view() : trimmed(line.substr(equals + 1));
        if (value != "0" && value != "1")
            return {AnonOptionsError::BadValue, number, std::string(key)};
        const bool on = value == "1";
        const auto switches = anonSwitches();
        const auto found = std::find_if(switches.begin(), switches.end(), [key](const auto& s) { return s.key == key; });
        if (found != switches.end())
            options.on[static_cast<std::size_t>(found - switches.begin())] = on;
        else if (key == BasicProfileKey)
            options.basicProfile = on;
        else if (key == AttentionKey)
            options.attention = on;
        else
            return {AnonOptionsError::UnknownKey, number, std::string(key)};
    }
    return {};
}

} // namespace dicom
