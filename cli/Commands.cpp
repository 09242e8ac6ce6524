#include "cli/Commands.h"

namespace cli {

const std::vector<Command>& commands()
{
    static const std::vector<Command> all = {
    };
    return all;
}

} // namespace cli
