// tolan: the viewer's core on the command line, for scripts, tests and benchmarks.

#include "cli/CliArgs.h"
#include "cli/Commands.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void printHelp()
{
    std::printf("Usage: tolan COMMAND [OPTIONS] ...\n"
                "       tolan --help | --version\n\n"
                "Reads DICOM files without a display.\n\nCommands:\n");
    for (const auto& command : cli::commands())
        std::printf("  %-10s %.*s\n", std::string(command.name).c_str(),
                    static_cast<int>(command.summary.size()), command.summary.data());
    std::printf("\nRun 'tolan COMMAND --help' for a command's options.\n");
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printHelp();
        return cli::ExitUsage;
    }
    const std::string& first = args.front();
    if (first == "--help" || first == "-h" || first == "help") {
        printHelp();
        return 0;
    }
    if (first == "--version") {
        std::printf("tolan %s\n", TV_VERSION);
        return 0;
    }
    for (const auto& command : cli::commands()) {
        if (command.name == first)
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    std::fprintf(stderr, "tolan: unknown command '%s'; see 'tolan --help'\n", first.c_str());
    return cli::ExitUsage;
}
