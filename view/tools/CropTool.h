#pragma once

#include "view/model/CropFrame.h"
#include "view/tools/ViewTool.h"

#include <QMetaObject>

#include <optional>

// Sets up a crop frame and crops to it. A drag draws a new frame; a press on
// one of its handles reshapes it, a press inside crops every frame in scope
// to it, a press elsewhere (or ESC) drops it. The frame belongs to the size
// of image it was drawn on and goes when the current frame's size changes.
class CropTool final : public ViewTool {
public:
    explicit CropTool(COrvoView& view);
    ~CropTool() override;

    void press(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    bool key(const QKeyEvent& event) override;
    void paint(QPainter& painter) const override;
    void describe(const ToolEvent& event, viewmodel::CursorContext& context) const override;
    bool dragging() const override { return m_drag != Drag::None; }

    bool hasFrame() const { return m_frame.has_value(); }

private:
    enum class Drag { None, NewFrame, Handle };

    void dropFrame();
    void dropStaleFrame();
    void cropToFrame();
    viewmodel::Size imageSize() const;

    std::optional<viewmodel::CropFrame> m_frame;
    Drag m_drag = Drag::None;
    viewmodel::Point m_from;
    viewmodel::Point m_to;
    viewmodel::Point m_fromImage;
    // A handle drag moves the frame as it was at the press.
    viewmodel::CropHandle m_handle = viewmodel::CropHandle::None;
    std::optional<viewmodel::CropFrame> m_atPress;
    QMetaObject::Connection m_documentChanged;
};
