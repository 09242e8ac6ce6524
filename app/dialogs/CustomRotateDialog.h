#pragma once

#include "imaging/Geometry.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Custom Rotate": a turn by whole degrees, clockwise or counter-clockwise,
// with the interpolation remembered in the settings. "Preview" hands the
// choice to the caller, which shows it on the current frame.
class CustomRotateDialog : public QDialog {
    Q_OBJECT
public:
    struct Parameters {
        float angle = 0.0F; // degrees, 1..90
        imaging::Turn turn = imaging::Turn::Clockwise;
        imaging::Interpolation method = imaging::Interpolation::Bilinear;
    };
    using Preview = std::function<void(const Parameters&)>;

    explicit CustomRotateDialog(Preview preview = {}, QWidget* parent = nullptr);

    // The rotation chosen, or none when the dialog was cancelled.
    static std::optional<Parameters> ask(const Preview& preview, QWidget* parent);
    Parameters parameters() const;
    // Stores the method in the settings before closing.
    void accept() override;

    QSpinBox* angleEdit() const { return m_angle; }
    QRadioButton* clockwiseButton() const { return m_clockwise; }
    QRadioButton* counterClockwiseButton() const { return m_counterClockwise; }
    QComboBox* methodChoice() const { return m_method; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* okButton() const { return m_ok; }

private:
    void updateButtons();

    QSpinBox* m_angle = nullptr;
    QRadioButton* m_clockwise = nullptr;
    QRadioButton* m_counterClockwise = nullptr;
    QComboBox* m_method = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_ok = nullptr;
};
