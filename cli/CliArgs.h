#pragma once

// Minimal argument handling shared by the tolan subcommands.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Exit codes every command shares: scripts tell a bad file from a bad call.
constexpr int ExitFailed = 2; // a file could not be read or written
constexpr int ExitUsage = 64; // the arguments were wrong (sysexits' EX_USAGE)

// The fixed messages end in blanks that belong on screen, not in a terminal.
std::string trimTrailingBlanks(std::string_view text);

struct Args {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options; // --name value, or --flag ""

    bool has(std::string_view name) const;
    std::string get(std::string_view name, std::string fallback = {}) const;
};

// Splits argv into options and positional arguments. Options listed in
// valueOptions take the next argument as their value. Returns an error
// message for an unknown option or a missing value, else empty.
std::string parseArgs(const std::vector<std::string>& argv,
                      const std::vector<std::string_view>& flagOptions,
                      const std::vector<std::string_view>& valueOptions,
                      Args& out);

// The regular files named by the arguments: a file stays itself, a folder
// gives its regular files (not recursive) in name order.
std::vector<std::string> expandInputs(const std::vector<std::string>& paths, std::string& error);

} // namespace cli
