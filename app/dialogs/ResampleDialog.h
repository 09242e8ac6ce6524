#pragma once

#include "imaging/Geometry.h"

#include <QDialog>
#include <QSize>

#include <optional>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

// "Resample": a new size for the frame, in pixels or in percent of the
// frame's size, scaled by the zoom or typed, with the interpolation
// remembered in the settings.
class ResampleDialog : public QDialog {
    Q_OBJECT
public:
    // Frames are never resampled beyond what the file formats can hold.
    static constexpr int MaxSide = 65535;

    struct Setup {
        QSize frameSize;
        float zoom = 1.0F;
        QSize size;              // the size the dialog opens with
        bool constrain = true;   // "Constrain Proportions"
    };
    struct Parameters {
        QSize size;
        bool constrain = true;
        imaging::Interpolation method = imaging::Interpolation::Nearest; // Nearest or Bilinear
    };

    explicit ResampleDialog(const Setup& setup, QWidget* parent = nullptr);

    // The size and method chosen, or none when the dialog was cancelled.
    static std::optional<Parameters> ask(const Setup& setup, QWidget* parent);
    Parameters parameters() const;
    // Stores the method in the settings before closing.
    void accept() override;

    QComboBox* sizeChoice() const { return m_sizeChoice; }
    QSpinBox* widthPixels() const { return m_widthPixels; }
    QSpinBox* widthPercent() const { return m_widthPercent; }
    QSpinBox* heightPixels() const { return m_heightPixels; }
    QSpinBox* heightPercent() const { return m_heightPercent; }
    QCheckBox* constrainBox() const { return m_constrain; }
    QComboBox* methodChoice() const { return m_method; }
    QPushButton* okButton() const { return m_ok; }

private:
    enum class Side { Width, Height };
    void chooseSize(int index);
    // Shows a side's pixels and percent, and with constrained proportions
    // the other side's, without echoing back.
    void setSide(Side side, int pixels, const QSpinBox* typed);
    void showSide(Side side, int pixels, const QSpinBox* typed);
    void updateOk();

    QSize m_frameSize;
    float m_zoom = 1.0F;
    double m_aspect = 1.0; // width / height of the size shown on opening
    QComboBox* m_sizeChoice = nullptr;
    QSpinBox* m_widthPixels = nullptr;
    QSpinBox* m_widthPercent = nullptr;
    QSpinBox* m_heightPixels = nullptr;
    QSpinBox* m_heightPercent = nullptr;
    QCheckBox* m_constrain = nullptr;
    QComboBox* m_method = nullptr;
    QPushButton* m_ok = nullptr;
    bool m_following = false;
};
