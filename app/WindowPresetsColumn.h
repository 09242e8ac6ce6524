#pragma once

#include "view/model/WindowPresets.h"

#include <QWidget>

#include <array>
#include <functional>

class QPushButton;

// The column of window presets beside the level-window bar: a button per
// preset, captioned with its name, and "Setup..." to edit them. The presets
// come from the settings when the column is made.
class WindowPresetsColumn : public QWidget {
    Q_OBJECT
public:
    // `available` says whether a preset has a frame to go on; the buttons
    // follow it every 100 ms.
    WindowPresetsColumn(std::function<bool()> available, QWidget* parent = nullptr);

    const viewmodel::WindowPresets& presets() const { return m_presets; }
    QPushButton* presetButton(std::size_t index) const { return m_buttons.at(index); }
    QPushButton* setupButton() const { return m_setup; }
    // Opens "Custom Windows Setup"; OK stores the presets.
    void setup();

signals:
    void presetChosen(int index);

private:
    void followAvailability();
    void nameButtons();

    std::function<bool()> m_available;
    viewmodel::WindowPresets m_presets;
    std::array<QPushButton*, viewmodel::WindowPresetCount> m_buttons {};
    QPushButton* m_setup = nullptr;
};
