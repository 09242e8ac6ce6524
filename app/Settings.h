#pragma once

#include "document/UserOptions.h"
#include "view/model/WindowPresets.h"

#include <QString>

#include <memory>

class QSettings;

namespace settings {

inline constexpr const char* Organization = "Tavik";
inline constexpr const char* Application = "Tolan Viewer V3.1.0";

inline constexpr const char* UserOptionsGroup = "UserOptions";
inline constexpr const char* SettingsGroup = "Settings";
inline constexpr const char* RecentFileGroup = "Recent File List";
inline constexpr const char* BarsGroup = "Bars";
inline constexpr const char* WindowsGroup = "Windows";
inline constexpr const char* CurrentWorkingDirectory = "Current Working Directory";
// Interpolation of the custom rotation (0 nearest, 1 bilinear, 2 bicubic)
// and of resampling and scaled exports (0 nearest, 1 bilinear), in SettingsGroup.
inline constexpr const char* RotateScalingMethod = "Rotate Scaling Method";
inline constexpr const char* ExportScalingMethod = "Export Scaling Method";
// The "Export frames" dialog, in SettingsGroup: whether its size was not
// the actual size (written, never read back) and the JPEG quality 0..100.
inline constexpr const char* UseScalingAtExport = "Use Scaling at Export";
inline constexpr const char* ExportJpegQuality = "Export Jpeg Quality";
// The AVI export, in SettingsGroup: the folder of the last movie (ending in
// "/"), whether to open it, the codec choice (0 uncompressed, 1 Motion-JPEG;
// "Show Codecs" says whether a compressing codec was chosen), whether and
// how frames are resampled.
inline constexpr const char* AviExportDirectory = "AVI Export Directory";
inline constexpr const char* OpenVideo = "Open Video";
inline constexpr const char* ShowCodecs = "Show Codecs";
inline constexpr const char* VideoCodec = "Video Codec";
inline constexpr const char* UseScalingInVideo = "Use Scaling in Video";
inline constexpr const char* VideoScalingMethod = "Video Scaling Method";

// The program's settings file: INI format in the user's configuration folder.
std::unique_ptr<QSettings> open();

// Every user option; a missing value or one that is not a number gives its default.
document::UserOptions readUserOptions(QSettings& store);
void writeUserOptions(QSettings& store, const document::UserOptions& options);

QString readString(QSettings& store, const char* group, const char* key, const QString& fallback = {});
void writeString(QSettings& store, const char* group, const char* key, const QString& value);
// A whole number; a missing value or one outside low..high gives the fallback.
int readNumber(QSettings& store, const char* group, const char* key, int fallback, int low, int high);
void writeNumber(QSettings& store, const char* group, const char* key, int value);

// The fourteen window presets; a missing number reads as 0 and a missing
// name as empty. A store holding none gets the defaults, written back.
viewmodel::WindowPresets readWindowPresets(QSettings& store);
void writeWindowPresets(QSettings& store, const viewmodel::WindowPresets& presets);

} // namespace settings

namespace settings {
// "Batch Convert": the export folder, read when the dialog opens and written at every export.
inline constexpr const char* DirectoriesGroup = "Directories";
inline constexpr const char* ExportDirectory = "Export Directory";
// "Show preview" of File Open, in SettingsGroup: 1 on (the default), 0 off.
inline constexpr const char* PreviewIcons = "PreviewIcons";
} // namespace settings

namespace settings {
// The addresses of "Open from Internet": "URL1" (oldest) to "URL8", empty for an unused slot.
inline constexpr const char* RecentUrlGroup = "Recent URL List";
inline constexpr int RecentUrlCount = 8;
inline constexpr const char* RecentUrlKeys[RecentUrlCount] = { "URL1", "URL2", "URL3", "URL4",
                                                               "URL5", "URL6", "URL7", "URL8" };
} // namespace settings
