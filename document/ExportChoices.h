#pragma once

// What a document remembers of the page setup and of the export, copy and
// video dialogs between one use and the next.

#include <cstdint>
#include <vector>

namespace document {

enum class SizeMode : int { Actual = 0, Scaled = 1, User = 2 };

struct PageSetup {
    bool printHeader = true;
    bool printImages = true;
    // Also burns the overlays into BMP exports, copies and report pictures.
    bool printAnnotations = true;
    int pageScaling = 0; // 0 nearest neighbour, 1 bilinear
};

// The "Export frames" and "Select items to copy" dialogs.
struct ExportChoices {
    SizeMode sizeMode = SizeMode::Actual;
    bool constrain = true;
    std::int32_t width = 0; // the frame size after load
    std::int32_t height = 0;
    std::vector<std::uint8_t> selection; // one flag a frame, all 1 after load
};

// "Video Setup".
struct VideoChoices {
    std::vector<std::uint8_t> include; // one flag a frame, all 1 after load
    bool colour = false;               // frame 0 is colour, at load
    SizeMode sizeMode = SizeMode::Actual;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

} // namespace document
