#include "export/ExportFormats.h"

#include <array>

namespace exporting {

namespace {

constexpr std::array kFormats {
    FormatInfo { ExportFormat::Tiff, "tiff", "tif", "Export as &TIFF...", "TIFF File (*.tif)",
                 "TIFF Export Directory", "File creation error" },
    FormatInfo { ExportFormat::Jpeg, "jpeg", "jpg", "Export as &JPEG...", "JPEG File (*.jpg)",
                 "JPEG Export Directory", "Error during JPEG Image writing" },
    FormatInfo { ExportFormat::Bmp, "bmp", "bmp", "Export as &BMP...", "Bitmap File (*.bmp)",
                 "BMP Export Directory", "Error during BMP Image writing" },
    FormatInfo { ExportFormat::Raw, "raw", "raw", "Export as &Raw file...", "Raw File (*.raw)",
                 "RAW Export Directory", "Error during Raw Image writing" },
    FormatInfo { ExportFormat::Html, "html", "html", "Export as &HTML...", "HTML File (*.html)",
                 "HTML Export Directory", "File creation error" },
    // RTF has no menu item of its own: reports go to the printer and the clipboard.
    FormatInfo { ExportFormat::Rtf, "rtf", "rtf", "", "RTF File (*.rtf)", "", "File creation error" },
    FormatInfo { ExportFormat::Avi, "avi", "avi", "Export as &AVI...", "AVI File (*.avi)",
                 "AVI Export Directory", "File creation error" },
};

} // namespace

std::span<const FormatInfo> exportFormats()
{
    return kFormats;
}

const FormatInfo& formatInfo(ExportFormat format)
{
    for (const FormatInfo& info : kFormats) {
        if (info.format == format)
            return info;
    }
    return kFormats.front();
}

std::optional<ExportFormat> formatFromCliName(std::string_view name)
{
    for (const FormatInfo& info : kFormats) {
        if (info.cliName == name)
            return info.format;
    }
    return std::nullopt;
}

} // namespace exporting
