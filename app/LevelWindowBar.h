#pragma once

#include "view/model/LevelWindowDrag.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class CMainFrame;
class COrvoDoc;
class QGridLayout;
class QPushButton;
class QSlider;
class QSpinBox;
class QToolButton;
class WindowPresetsColumn;

// The "Window" dock: sliders and spin boxes for the centre and width of the
// active view's current frame, "Default", the "Apply to all frames" switch
// and "Custom", which opens the presets column to the left of the controls.
// Every committed change is one undo step on each frame it reaches.
class LevelWindowBar : public QWidget {
    Q_OBJECT
public:
    explicit LevelWindowBar(CMainFrame& frame, QWidget* parent = nullptr);

    QSlider* centreSlider() const { return m_centreSlider; }
    QSlider* widthSlider() const { return m_widthSlider; }
    QSpinBox* centreEdit() const { return m_centreEdit; }
    QSpinBox* widthEdit() const { return m_widthEdit; }
    QPushButton* defaultButton() const { return m_default; }
    QPushButton* customButton() const { return m_custom; }
    QToolButton* applyToAllButton() const { return m_applyToAll; }
    // Made when first opened; nullptr before.
    WindowPresetsColumn* presetsColumn() const { return m_column; }

    // Takes ranges and values from the active view's current frame.
    void refresh();
    void applyPreset(int index);
    void restoreDefault();
    void toggleColumn();

private:
    void followActiveDocument();
    void buildControls();
    COrvoDoc* document() const;
    // Puts the edits' window on every frame in scope, one step each.
    void commit();
    void applyToScope(const std::function<viewmodel::LevelWindow(int frame)>& windowOf);
    void toggleApplyToAll();
    void sliderPressed();
    void sliderMoved();
    void sliderReleased();
    void editChanged();
    void sliderChanged(QSlider* slider, QSpinBox* edit);
    void focusView();

    CMainFrame& m_frame;
    QGridLayout* m_grid = nullptr;
    QSlider* m_centreSlider = nullptr;
    QSlider* m_widthSlider = nullptr;
    QSpinBox* m_centreEdit = nullptr;
    QSpinBox* m_widthEdit = nullptr;
    QPushButton* m_default = nullptr;
    QPushButton* m_custom = nullptr;
    QToolButton* m_applyToAll = nullptr;
    WindowPresetsColumn* m_column = nullptr;
    QMetaObject::Connection m_followed;
    QMetaObject::Connection m_followedDrag;
    viewmodel::LevelWindow m_shown { 128, 256 };
    // The frame a slider drag previews on, until the release commits.
    QPointer<COrvoDoc> m_dragDocument;
    int m_dragFrame = -1;
    bool m_updating = false;
};
