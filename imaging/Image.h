#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "imaging/ImagingError.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/ImageLevel.h"
#include "imaging/ImagingError.h"
#include "imaging/PaletteTable.h"
#include "imaging/RegionMask.h"

namespace imaging {

// What one entry of the action history undoes.
enum class ActionKind : std::int32_t { Pixel = 0, Window = 1, Region = 2, Palette = 3 };

enum class PreviewEnd { Discard, Restore };
enum class WindowChangeEnd { Keep, Restore };

struct PaletteChoice {
    int number = kGrayscalePalette;
    PaletteTable table = PaletteTable::grayscale();
};

// One frame's pixels with their undo levels, histories, selection, palette and
// display bitmap. Image8 holds grey or RGB bytes, Image16 signed grey samples.
//
// Every change is all-or-nothing: when memory runs out the image, its counters
// and its bitmap stay as they were and lastError() tells why.
template<typename Sample>
class BasicImage {
public:
    using Level = ImageLevel<Sample>;

    // Takes a consistent level 0 and builds the first bitmap; its window is
    // the first entry of the window history and the as-loaded window.
    static Result<std::unique_ptr<BasicImage>> create(Level&& base);

    // The shown level and the stack below and above it.
    const Level& topLevel() const { return m_state.levels[m_state.topLevel]; }
    const Level& level(std::size_t index) const { return m_state.levels.at(index); }
    std::uint32_t levelCount() const { return static_cast<std::uint32_t>(m_state.levels.size() - 1); }
    std::uint32_t topLevelIndex() const { return static_cast<std::uint32_t>(m_state.topLevel); }

    // Built again on first use after releaseDisplay(), so frames that are
    // not shown need not hold a bitmap; none when building it fails.
    const DisplayBitmap* displayBitmap() const;
    void releaseDisplay() { m_bitmap = DisplayBitmap{}; }
    // A copy of the display bitmap that leaves the image as it was: a bitmap
    // not held is built for the copy alone, so exports of long series do not
    // keep a bitmap for every frame.
    Result<DisplayBitmap> copyDisplay() const;
    ImagingError lastError() const { return m_lastError; }
    Window asLoadedWindow() const { return m_asLoaded; }

    // Pixel operations: the new level becomes the top one (recorded as a
    // Pixel action, redo levels dropped, selection replaced when the size
    // changed, bitmap rebuilt). An inconsistent level gives InvalidParameters.
    bool addLevel(Level&& next);

    // Runs operation(topLevel()) -> Result<Level> and adds its level; the
    // operation's error code (an ImagingError) is kept on failure.
    template<typename Operation>
    bool applyPixelOperation(Operation&& operation)
    {
        try {
            Result<Level> next = operation(topLevel());
            if (!next) {
                m_lastError = next.error().code;
                return false;
            }
            return addLevel(std::move(next).value());
        } catch (const std::bad_alloc&) {
            m_lastError = ImagingError::MemoryAllocation;
            return false;
        }
    }

    // Window: clamped, stored on the top level, recorded. The bitmap is rebuilt
    // by rebuildDisplay() so that callers can batch changes.
    bool setWindow(Window requested);
    bool rebuildDisplay();

    const PaletteChoice& palette() const { return m_state.palette; }
    // Records a palette change and recolours the bitmap in place.
    bool setPalette(int number, const PaletteTable& table);

    bool undo();
    bool redo();
    bool canUndo() const { return m_state.actionPos > 0; }
    bool canRedo() const { return m_state.actionPos < m_state.actions.size(); }

    // The dialogs with a preview take a full snapshot; Restore puts it back.
    bool beginPreview();
    bool endPreview(PreviewEnd end);
    bool hasPreview() const { return m_preview != nullptr; }
    // A window drag takes a snapshot of the action and window histories so
    // that the whole drag ends as one entry.
    bool beginWindowChange();
    bool endWindowChange(WindowChangeEnd end);

    const RegionMask& region() const { return m_state.region; }
    bool selectRectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    bool invertSelection();
    bool removeSelection();
    // The selection's bounding box under the current window; pixels outside
    // the selection are 0. An empty selection gives a 0 x 0 bitmap.
    Result<DisplayBitmap> copySelection() const;

    std::span<const ActionKind> actions() const { return m_state.actions; }
    std::uint32_t actionPosition() const { return static_cast<std::uint32_t>(m_state.actionPos); }
    std::span<const Window> windowHistory() const { return m_state.windows; }
    std::uint32_t windowPosition() const { return static_cast<std::uint32_t>(m_state.windowPos); }
    std::span<const PaletteChoice> paletteHistory() const { return m_state.palettes; }
    std::uint32_t palettePosition() const { return static_cast<std::uint32_t>(m_state.palettePos); }

private:
    struct State {
        std::vector<Level> levels; // level 0 and the levels above it
        std::size_t topLevel = 0;
        std::vector<ActionKind> actions;
        std::size_t actionPos = 0;
        std::vector<Window> windows;
        std::size_t windowPos = 0;
        std::vector<PaletteChoice> palettes;
        std::size_t palettePos = 0;
        PaletteChoice palette;
        RegionMask region;
    };
    struct WindowSnapshot {
        std::vector<ActionKind> actions;
        std::size_t actionPos = 0;
        std::vector<Window> windows;
        std::size_t windowPos = 0;
        Window topWindow;
        std::size_t topLevel = 0;
        std::size_t levelCount = 0;
        std::size_t regionStates = 0;
        std::size_t regionPos = 0;
    };

    struct Token {
        explicit Token() = default;
    };

public:
    explicit BasicImage(Token) {}

private:
    Result<DisplayBitmap> build(const Level& level, Window window) const;
    void reserveAction();
    void recordAction(ActionKind kind) noexcept;
    void replaceRegionIfResized() noexcept;
    bool moveToLevel(std::size_t index, std::size_t actionPos);
    template<typename Change>
    bool changeRegion(Change&& change);

    State m_state;
    mutable DisplayBitmap m_bitmap;
    ImagingError m_lastError = ImagingError::None;
    Window m_asLoaded;
    std::unique_ptr<State> m_preview;
    std::unique_ptr<WindowSnapshot> m_windowSnapshot;
};

using Image8 = BasicImage<std::uint8_t>;
using Image16 = BasicImage<std::int16_t>;

extern template class BasicImage<std::uint8_t>;
extern template class BasicImage<std::int16_t>;

} // namespace imaging
