#pragma once

#include <cstddef>
#include <vector>

namespace document {

// The order of one frame's edits: pixel operations keep their undo levels in
// the image, overlay edits in the overlay list; this list says which of the
// two the next undo or redo addresses.
enum class StepKind : int { Overlay = 0, Pixel = 1 };

class EditHistory {
public:
    // Drops the steps after the current position, then appends one.
    void record(StepKind kind)
    {
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

private:
    std::vector<StepKind> m_steps;
    std::size_t m_position = 0;
};

} // namespace document
