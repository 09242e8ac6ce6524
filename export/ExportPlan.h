#pragma once

// The arithmetic behind the "Export frames" dialog and the menu exports:
// default names, output file names, sizes and which controls are enabled.

#include "export/ExportTypes.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

// Where a document's title came from. A title assembled from header values
// (a series label) may carry the Patient's Name.
enum class TitleSource { FileName, HeaderValues };
enum class Anonymized { No, Yes };

// The name files get when the title must not be used.
inline constexpr std::string_view NeutralExportName = "export";

// A title made safe as one file name: "/", "\", ":", control characters
// and leading dots each become "_".
std::string safeFileName(std::string_view name);

// The title up to its last "." (the whole title when nothing precedes the
// "."), made safe. With anonymized exports a title made of header values
// gives the neutral name; so does a title that leaves nothing.
std::string defaultExportName(std::string_view title, TitleSource source, Anonymized anonymized);

enum class Scope { Current, All, Selected };
enum class Numbering { FrameNumber, Continual };

struct PlannedOutput {
    int frame = 0;        // 0-based
    std::string fileName; // name + "_%04d." + extension
};

// The files one export writes, in order. Current frame and all frames are
// numbered frame + 1; selected frames by their running count when
// numbering is continual, else frame + 1. Selection flags past frameCount
// are ignored.
std::vector<PlannedOutput> planOutputs(std::string_view name, std::string_view extension, Scope scope,
                                       int frameCount, int currentFrame, std::span<const std::uint8_t> selection,
                                       Numbering numbering);

// The selection a scope starts with: the current frame alone, every frame,
// or none, for the user to choose.
std::vector<std::uint8_t> scopeSelection(Scope scope, int frameCount, int currentFrame);

// The selected frames are exactly frames 0..n-1 (n may be 0): both
// numberings then give the same names.
bool selectionIsLeadingRun(std::span<const std::uint8_t> selection);

inline constexpr std::int64_t MaxUserSide = 65535;

struct PictureSize {
    std::int32_t width = 1;
    std::int32_t height = 1;
    bool operator==(const PictureSize&) const = default;
};

// side x factor, rounded half up, at least 1 (and at most INT32_MAX); a
// factor that is not a positive number gives the side itself.
std::int32_t scaleSide(std::int32_t side, double factor);
// The frame at the zoom, each side rounded.
PictureSize scaledSize(PictureSize frame, double zoom);
// "Constrain Proportions": the height of a picture `width` wide with the
// frame's proportions, rounded, within 1..MaxUserSide; and the reverse.
std::int32_t constrainedHeight(PictureSize frame, std::int64_t width);
std::int32_t constrainedWidth(PictureSize frame, std::int64_t height);
// A user's side in pixels is 1..MaxUserSide.
bool userSideValid(std::int64_t side);
// A percentage of a frame side in pixels, within 1..MaxUserSide.
std::int32_t sideFromPercent(std::int32_t side, double percent);

// What the dialog shows at a moment, for its enabling rules.
struct DialogState {
    Scope scope = Scope::Current;
    ExportFormat format = ExportFormat::Tiff;
    bool exportHeader = false;
    std::span<const std::uint8_t> selection;   // one flag a frame
    std::span<const int> highlighted;          // rows highlighted in the frame list
    bool directoryEmpty = false;
    bool sizeValid = true;                     // the user size is within limits
};

struct DialogEnabling {
    bool frameList = false;
    bool markExport = false;    // "Export frame(s)"
    bool markNotExport = false; // "Not export frame(s)"
    bool continual = false;     // "Continual numeration"
    bool quality = false;
    bool exportHeader = false;
    bool exportButton = false;
    bool operator==(const DialogEnabling&) const = default;
};

DialogEnabling dialogEnabling(const DialogState& state);

} // namespace exporting
