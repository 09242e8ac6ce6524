#pragma once

// Each subcommand of the tolan tool: takes its own arguments (after the
// command name), prints to stdout/stderr and returns the process exit code.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct Command {
    std::string_view name;
    std::string_view summary;
    int (*run)(const std::vector<std::string>& args);
};

// Every command the tool offers, in the order --help lists them.
const std::vector<Command>& commands();

} // namespace cli
