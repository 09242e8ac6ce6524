#include "imaging/Image.h"

#include <algorithm>
#include <new>

#include "imaging/WindowMapping.h"

namespace imaging {

template<typename Sample>
Result<std::unique_ptr<BasicImage<Sample>>> BasicImage<Sample>::create(Level&& base)
{
    if (!base.isConsistent())
        return makeError(ImagingError::InvalidParameters);
    try {
        auto image = std::make_unique<BasicImage>(Token{});
        auto bitmap = image->build(base, base.window);
        if (!bitmap)
            return makeError(ImagingError::Fatal);
        image->m_asLoaded = base.window;
        image->m_state.windows.push_back(base.window);
        image->m_state.windowPos = 1;
        image->m_state.region = RegionMask(base.width, base.height);
        image->m_state.levels.push_back(std::move(base));
        image->m_bitmap = std::move(bitmap).value();
        return image;
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

template<typename Sample>
Result<DisplayBitmap> BasicImage<Sample>::build(const Level& level, Window window) const
{
    return buildDisplayBitmap(level, window, m_state.palette.table);
}

template<typename Sample>
void BasicImage<Sample>::reserveAction()
{
    std::vector<ActionKind>& actions = m_state.actions;
    if (actions.capacity() < m_state.actionPos + 1)
        actions.reserve(std::max<std::size_t>(m_state.actionPos + 1, 2 * actions.capacity()));
}

// Needs the room reserveAction() made. Every new action ends the redo
// history, a selection change too, so the levels above the shown one can
// never be reached again and are freed at once.
template<typename Sample>
void BasicImage<Sample>::recordAction(ActionKind kind) noexcept
{
    m_state.actions.resize(m_state.actionPos);
    m_state.actions.push_back(kind);
    ++m_state.actionPos;
    m_state.levels.resize(m_state.topLevel + 1);
}

// A selection belongs to one size of image: after a size change it is gone,
// and so are the history entries that would step through it.
template<typename Sample>
void BasicImage<Sample>::replaceRegionIfResized() noexcept
{
    const Level& top = topLevel();
    if (top.width == m_state.region.width() && top.height == m_state.region.height())
        return;
    m_state.region = RegionMask(top.width, top.height);
    std::vector<ActionKind>& actions = m_state.actions;
    std::size_t kept = 0;
    std::size_t keptBeforePos = 0;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (actions[i] == ActionKind::Region)
            continue;
        if (i < m_state.actionPos)
            ++keptBeforePos;
        actions[kept++] = actions[i];
    }
    actions.resize(kept);
    m_state.actionPos = keptBeforePos;
}

template<typename Sample>
bool BasicImage<Sample>::addLevel(Level&& next)
{
    if (!next.isConsistent()) {
        m_lastError = ImagingError::InvalidParameters;
        return false;
    }
    try {
        auto bitmap = build(next, next.window);
        if (!bitmap) {
            m_lastError = bitmap.error().code;
            return false;
        }
        reserveAction();
        m_state.levels.reserve(m_state.topLevel + 2);
        recordAction(ActionKind::Pixel);
        m_state.levels.push_back(std::move(next));
        ++m_state.topLevel;
        replaceRegionIfResized();
        m_bitmap = std::move(bitmap).value();
        return true;
    } catch (const std::bad_alloc&) {
        m_lastError = ImagingError::MemoryAllocation;
        return false;
    }
}

template<typename Sample>
bool BasicImage<Sample>::setWindow(Window requested)
{
    try {
        const Window window = clampWindow(requested, topLevel().min, topLevel().max);
        reserveAction();
        std::vector<Window>& windows = m_state.windows;
        if (windows.capacity() < m_state.windowPos + 1)
            windows.reserve(std::max<std::size_t>(m_state.windowPos + 1, 2 * windows.capacity()));
        recordAction(ActionKind::Window);
        m_state.levels[m_state.topLevel].window = window;
        windows.resize(m_state.windowPos);
        windows.push_back(window);
        ++m_state.windowPos;
        return true;
    } catch (const std::bad_alloc&) {
        m_lastError = ImagingError::MemoryAllocation;
        return false;
    }
}

template<typename Sample>
const DisplayBitmap* BasicImage<Sample>::displayBitmap() const
{
    if (m_bitmap.isNull()) {
        try {
            if (auto bitmap = build(topLevel(), topLevel().window))
                m_bitmap = std::move(bitmap).value();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return m_bitmap.isNull() ? nullptr : &m_bitmap;
}

template<typename Sample>
Result<DisplayBitmap> BasicImage<Sample>::copyDisplay() const
{
    try {
        if (!m_bitmap.isNull())
            return m_bitmap.clone();
        return build(topLevel(), topLevel().window);
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

template<typename Sample>
bool BasicImage<Sample>::rebuildDisplay()
{
    auto bitmap = build(topLevel(), topLevel().window);
    if (!bitmap) {
        m_lastError = bitmap.error().code;
        return false;
    }
    m_bitmap = std::move(bitmap).value();
    return true;
}

template<typename Sample>
bool BasicImage<Sample>::setPalette(int number, const PaletteTable& table)
{
    try {
        reserveAction();
        std::vector<PaletteChoice>& palettes = m_state.palettes;
        if (palettes.capacity() < m_state.palettePos + 1)
            palettes.reserve(std::max<std::size_t>(m_state.palettePos + 1, 2 * palettes.capacity()));
        recordAction(ActionKind::Palette);
        palettes.resize(m_state.palettePos);
        palettes.push_back(PaletteChoice{number, table});
        ++m_state.palettePos;
        m_state.palette = palettes.back();
        m_bitmap.setColourTable(table);
        return true;
    } catch (const std::bad_alloc&) {
        m_lastError = ImagingError::MemoryAllocation;
        return false;
    }
}

// Shows another level of the stack; nothing changes unless its bitmap builds.
template<typename Sample>
bool BasicImage<Sample>::moveToLevel(std::size_t index, std::size_t actionPos)
{
    const Level& target = m_state.levels[index];
    auto bitmap = build(target, target.window);
    if (!bitmap) {
        m_lastError = bitmap.error().code;
        return false;
    }
    m_state.topLevel = index;
    m_state.actionPos = actionPos;
    replaceRegionIfResized();
    m_bitmap = std::move(bitmap).value();
    m_lastError = ImagingError::None;
    return true;
}

template<typename Sample>
bool BasicImage<Sample>::undo()
{
    State& s = m_state;
    if (s.actionPos == 0)
        return false;
    try {
        switch (s.actions[s.actionPos - 1]) {
        case ActionKind::Pixel:
            if (s.topLevel == 0) {
                m_lastError = ImagingError::NoUndoLevel;
                return false;
            }
            return moveToLevel(s.topLevel - 1, s.actionPos - 1);
        case ActionKind::Window: {
            if (s.windowPos < 2) // the first entry is the starting window
                return false;
            const Window window = s.windows[s.windowPos - 2];
            auto bitmap = build(topLevel(), window);
            if (!bitmap) {
                m_lastError = bitmap.error().code;
                return false;
            }
            --s.windowPos;
            s.levels[s.topLevel].window = window;
            m_bitmap = std::move(bitmap).value();
            --s.actionPos;
            return true;
        }
        case ActionKind::Region:
            if (!s.region.undo())
                return false;
            --s.actionPos;
            return true;
        case ActionKind::Palette:
            if (s.palettePos == 0)
                return false;
            --s.palettePos;
            s.palette = s.palettePos > 0 ? s.palettes[s.palettePos - 1] : PaletteChoice{};
            m_bitmap.setColourTable(s.palette.table);
            --s.actionPos;
            return true;
        }
    } catch (const std::bad_alloc&) {
        m_lastError = ImagingError::MemoryAllocation;
    }
    return false;
}

template<typename Sample>
bool BasicImage<Sample>::redo()
{
    State& s = m_state;
    if (s.actionPos >= s.actions.size())
        return false;
    try {
        switch (s.actions[s.actionPos]) {
        case ActionKind::Pixel:
            if (s.topLevel + 1 >= s.levels.size()) {
                m_lastError = ImagingError::NoRedoLevel;
                return false;
            }
            return moveToLevel(s.topLevel + 1, s.actionPos + 1);
        case ActionKind::Window: {
            if (s.windowPos >= s.windows.size())
                return false;
            const Window window = s.windows[s.windowPos];
            auto bitmap = build(topLevel(), window);
            if (!bitmap) {
                m_lastError = bitmap.error().code;
                return false;
            }
            ++s.windowPos;
            s.levels[s.topLevel].window = window;
            m_bitmap = std::move(bitmap).value();
            ++s.actionPos;
            return true;
        }
        case ActionKind::Region:
            if (!s.region.redo())
                return false;
            ++s.actionPos;
            return true;
        case ActionKind::Palette:
            if (s.palettePos >= s.palettes.size())
                return false;
            s.palette = s.palettes[s.palettePos];
            ++s.palettePos;
            m_bitmap.setColourTable(s.palette.table);
            ++s.actionPos;
            return true;
        }
    } catch (const std::bad_alloc&) {
        m_lastError = ImagingError::MemoryAllocation;
    }
    return false;
}

template<typename Sample>
bool BasicImage<Sample>::beginPreview()
{
    try {
        m_preview = std::make_unique<State>(m_state);
        return true;
    } catch (const std::bad_alloc&) {
        m_preview.reset();
        m_lastError = ImagingError::MemoryAllocation;
        return false;
    }
}

template<typename Sample>
bool BasicImage<Sample>::endPreview(PreviewEnd end)
{
    if (!m_preview)
        return false;
    if (end == PreviewEnd::Restore) {
        const Level& top = m_preview->levels[m_preview->topLevel];
        auto bitmap = buildDisplayBitmap(top, top.window, m_preview->palette.table);
        if (!bitmap) {
            m_lastError = bitmap.error().code;
            return false; // the snapshot stays, so the caller may try again
        }
        m_state = std::move(*m_preview);
        m_bitmap = std::move(bitmap).value();
    }
    m_preview.reset();
    return true;
}

template<typename Sample>
bool BasicImage<Sample>::beginWindowChange()
{
    try {
        auto snapshot = std::make_unique<WindowSnapshot>();
        snapshot->actions = m_state.actions;
        snapshot->actionPos = m_state.actionPos;
        snapshot->windows = m_state.windows;
        snapshot->windowPos = m_state.windowPos;
        snapshot->topWindow = topLevel().window;
        snapshot->topLevel = m_state.topLevel;
        snapshot->levelCount = m_state.levels.size();
        snapshot->regionStates = m_state.region.historyCount();
        snapshot->regionPos = m_state.region.historyPosition();
        m_windowSnapshot = std::move(snapshot);
        return true;
    } catch (const std::bad_alloc&) {
        m_lastError = ImagingError::MemoryAllocation;
        return false;
    }
}

template<typename Sample>
bool BasicImage<Sample>::endWindowChange(WindowChangeEnd end)
{
    if (!m_windowSnapshot)
        return false;
    std::unique_ptr<WindowSnapshot> snapshot = std::move(m_windowSnapshot);
    if (end == WindowChangeEnd::Keep)
        return true;

    // Only window changes may have happened since the snapshot; anything else
    // would leave the restored history describing a different image.
    State& s = m_state;
    // Stepping across a size change (undo and redo of a crop) replaces the
    // selection and its history, which the saved entries would step through.
    if (s.topLevel != snapshot->topLevel || s.levels.size() > snapshot->levelCount
        || s.actionPos < snapshot->actionPos || s.region.historyCount() != snapshot->regionStates
        || s.region.historyPosition() != snapshot->regionPos)
        return false;
    for (std::size_t i = 0; i < s.actionPos; ++i) {
        const bool same = i < snapshot->actionPos ? s.actions[i] == snapshot->actions[i]
                                                  : s.actions[i] == ActionKind::Window;
        if (!same)
            return false;
    }
    // The bitmap may show a window of the drag; it goes back with the rest.
    auto bitmap = build(topLevel(), snapshot->topWindow);
    if (!bitmap) {
        m_lastError = bitmap.error().code;
        m_windowSnapshot = std::move(snapshot); // kept, so the caller may try again
        return false;
    }
    m_bitmap = std::move(bitmap).value();
    s.actions = std::move(snapshot->actions);
    s.actionPos = snapshot->actionPos;
    s.windows = std::move(snapshot->windows);
    s.windowPos = snapshot->windowPos;
    s.levels[s.topLevel].window = snapshot->topWindow;
    // The window changes dropped the levels that could have been redone, so
    // the restored history cannot offer them any more.
    if (s.levels.size() < snapshot->levelCount)
        s.actions.resize(s.actionPos);
    return true;
}

template<typename Sample>
template<typename Change>
bool BasicImage<Sample>::changeRegion(Change&& change)
{
    try {
        reserveAction();
        if (!change(m_state.region))
            return false;
        recordAction(ActionKind::Region);
        return true;
    } catch (const std::bad_alloc&) {
        m_lastError = ImagingError::MemoryAllocation;
        return false;
    }
}

template<typename Sample>
bool BasicImage<Sample>::selectRectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    return changeRegion([&](RegionMask& region) {
        region.selectRectangle(left, top, right, bottom);
        return true;
    });
}

template<typename Sample>
bool BasicImage<Sample>::invertSelection()
{
    return changeRegion([](RegionMask& region) {
        if (!region.hasSelection())
            return false;
        region.invertSelection();
        return true;
    });
}

template<typename Sample>
bool BasicImage<Sample>::removeSelection()
{
    return changeRegion([](RegionMask& region) {
        region.removeSelection();
        return true;
    });
}

template<typename Sample>
Result<DisplayBitmap> BasicImage<Sample>::copySelection() const
{
    const Level& top = topLevel();
    const RegionMask& region = m_state.region;
    const int bits = top.kind == SampleKind::Rgb ? 24 : 8;
    if (!region.hasSelection())
        return DisplayBitmap::create(0, 0, bits);
    try {
        const RegionBox box = region.box();
        Level part = top.withSize(box.right - box.left + 1, box.bottom - box.top + 1, top.kind);
        const auto channels = static_cast<std::size_t>(top.channels());
        const std::size_t partRow = static_cast<std::size_t>(part.width) * channels;
        for (std::int32_t y = 0; y < part.height; ++y) {
            const auto source = top.row(box.top + y).subspan(static_cast<std::size_t>(box.left) * channels, partRow);
            std::copy(source.begin(), source.end(), part.pixels.begin() + static_cast<std::ptrdiff_t>(y * partRow));
        }
        auto bitmap = build(part, top.window);
        if (!bitmap)
            return bitmap;
        const std::size_t pixelBytes = bits / 8;
        for (std::int32_t y = 0; y < part.height; ++y) {
            std::uint8_t* row = bitmap->imageRow(y);
            for (std::int32_t x = 0; x < part.width; ++x) {
                if (!region.isSelected(box.left + x, box.top + y))
                    std::fill_n(row + static_cast<std::size_t>(x) * pixelBytes, pixelBytes, std::uint8_t{0});
            }
        }
        return bitmap;
    } catch (const std::bad_alloc&) {
        return makeError(ImagingError::MemoryAllocation);
    }
}

template class BasicImage<std::uint8_t>;
template class BasicImage<std::int16_t>;

} // namespace imaging
