#pragma once

// The one list of export formats: the viewer's Export menu and file dialogs
// and the command-line tool's --format are built from it.

#include "export/ExportTypes.h"

#include <optional>
#include <span>
#include <string_view>

namespace exporting {

struct FormatInfo {
    ExportFormat format;
    std::string_view cliName;          // "tiff"
    std::string_view extension;        // "tif", no dot
    std::string_view menuText;         // "Export as &TIFF..."
    std::string_view filter;           // "TIFF File (*.tif)"
    std::string_view directorySetting; // "TIFF Export Directory"
    std::string_view failureMessage;   // shown when the menu export fails
};

std::span<const FormatInfo> exportFormats();
const FormatInfo& formatInfo(ExportFormat format);
std::optional<ExportFormat> formatFromCliName(std::string_view name);

} // namespace exporting
