#pragma once

#include "view/model/OverlayRecords.h"
#include "view/tools/ViewTool.h"

// A press on the frame opens the annotation dialog; the text's bottom-left
// corner goes where the press was.
class TextAnnotationTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent&) override {}
    void release(const ToolEvent&) override {}
    bool dragging() const override { return false; }
};

// Drags a text annotation; Shift keeps its column and Control its row.
class MoveAnnotationTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    void paint(QPainter& painter) const override;
    void describe(const ToolEvent& event, viewmodel::CursorContext& context) const override;
    bool dragging() const override { return m_index.has_value(); }
    std::optional<std::size_t> draggedAnnotation() const override { return m_index; }

private:
    std::optional<std::size_t> m_index;
    viewmodel::TextAnnotation m_dragged;
    viewmodel::Point m_press;
    viewmodel::Point m_offset;
};

// A press on an annotation or a measurement deletes it.
class DeleteAnnotationTool final : public ViewTool {
public:
    using ViewTool::ViewTool;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent&) override {}
    void release(const ToolEvent&) override {}
    void describe(const ToolEvent& event, viewmodel::CursorContext& context) const override;
    bool dragging() const override { return false; }
};
