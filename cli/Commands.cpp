#include "cli/Commands.h"

namespace cli {

int runDump(const std::vector<std::string>& args);

const std::vector<Command>& commands()
{
    static const std::vector<Command> all = {
        {"dump", "list the elements of DICOM files", runDump},
    };
    return all;
}

} // namespace cli
