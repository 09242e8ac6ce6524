#pragma once

#include "view/model/Tool.h"

#include <QWidget>

#include <array>

class CMainFrame;
class QPushButton;
class QToolButton;

// The "Tools" palette: a button for each tool the left mouse button can take
// over the frame, bound to the same command as the tool's menu item, and a
// swatch of the active document's annotation colour.
class ToolsPalette : public QWidget {
    Q_OBJECT
public:
    explicit ToolsPalette(CMainFrame& frame, QWidget* parent = nullptr);

    // The button of one of the palette's tools, or nullptr for another tool.
    QToolButton* button(viewmodel::Tool tool) const;
    QPushButton* colourSwatch() const { return m_swatch; }
    // Paints the swatch in the active document's colour, or plain without one.
    void refreshSwatch();

private:
    void chooseColour();
    void followActiveDocument();

    CMainFrame& m_frame;
    std::array<QToolButton*, viewmodel::PaletteTools.size()> m_buttons {};
    QPushButton* m_swatch = nullptr;
    QMetaObject::Connection m_followed;
};
