#pragma once

#include "export/ExportTypes.h"

#include <filesystem>
#include <ostream>

namespace exporting {

// Writes a file through a temporary name in the target's folder, renamed
// into place only when `fill` succeeded and every byte reached the disk: the
// target is then either the old file or the complete new one, and no partial
// file is left. CannotCreate when the temporary file cannot be made,
// WriteFailed when writing or renaming failed, or fill's own failure.
Result<void> writeOutputFile(const std::filesystem::path& path,
                             const std::function<Result<void>(std::ostream& out)>& fill);

} // namespace exporting
