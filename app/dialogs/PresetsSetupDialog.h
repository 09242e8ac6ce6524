#pragma once

#include "view/model/WindowPresets.h"

#include <QDialog>

#include <array>
#include <optional>

class QLineEdit;
class QSpinBox;

// "Custom Windows Setup": the name, centre and width of each window preset.
class PresetsSetupDialog : public QDialog {
    Q_OBJECT
public:
    struct Parameters {
        viewmodel::WindowPresets presets;
    };

    explicit PresetsSetupDialog(const viewmodel::WindowPresets& presets, QWidget* parent = nullptr);

    // The edited presets, or none when the dialog was cancelled.
    static std::optional<Parameters> ask(const viewmodel::WindowPresets& presets, QWidget* parent);
    Parameters parameters() const;

private:
    struct Row {
        QLineEdit* name = nullptr;
        QSpinBox* centre = nullptr;
        QSpinBox* width = nullptr;
    };
    std::array<Row, viewmodel::WindowPresetCount> m_rows {};
};
