#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace document {

// The order of one frame's edits: pixel operations keep their undo levels in
// the image, overlay edits in the overlay list; this list says which of the
// two the next undo or redo addresses.
enum class StepKind : int { Overlay = 0, Pixel = 1 };

class EditHistory {
public:
    // Drops the steps after the current position, then appends one. When
    // the saved state lay among the dropped steps no undo or redo can come
    // back to it.
    void record(StepKind kind)
    {
        if (m_saved && *m_saved > m_position)
            m_saved.reset();
        m_steps.resize(m_position);
        m_steps.push_back(kind);
        m_position = m_steps.size();
    }
    bool hasUndo() const { return m_position > 0; }
    bool hasRedo() const { return m_position < m_steps.size(); }
    StepKind undoKind() const { return m_steps[m_position - 1]; }
    StepKind redoKind() const { return m_steps[m_position]; }
    void stepBack() { --m_position; }
    void stepForward() { ++m_position; }
    std::size_t length() const { return m_steps.size(); }
    std::size_t position() const { return m_position; }

    // The frame as it stands now is the one in its file.
    void markSaved() { m_saved = m_position; }
    // Edits made, or undone, since the frame was loaded or saved: undoing
    // and redoing back to that position makes it unmodified again.
    bool isModified() const { return !m_saved || *m_saved != m_position; }

private:
    std::vector<StepKind> m_steps;
    std::size_t m_position = 0;
    // Where the history stood when the frame matched its file; none once
    // that state was dropped by a new step after undoing past it.
    std::optional<std::size_t> m_saved = 0;
};

} // namespace document
