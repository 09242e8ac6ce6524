#pragma once

#include "document/ExportChoices.h"
#include "export/ExportPlan.h"
#include "export/ExportTypes.h"

#include <QGroupBox>

#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

// The size pictures leave a dialog at: the frame's own, the frame at the
// zoom, or one the user types in pixels or percent of the frame, with or
// without the frame's proportions; and how they are resampled. The export,
// copy and video dialogs share it so that the three agree.
class SizeChoiceBox : public QGroupBox {
    Q_OBJECT
public:
    enum class ResampleRow { Enabled, OffAtActualSize, Hidden };

    struct Setup {
        exporting::PictureSize frame;
        double zoom = 1.0;
        document::SizeMode mode = document::SizeMode::Actual;
        std::int32_t userWidth = 0; // 0: the frame's
        std::int32_t userHeight = 0;
        bool constrain = true;
        exporting::Scaling scaling = exporting::Scaling::Nearest;
        ResampleRow resample = ResampleRow::Enabled;
    };

    SizeChoiceBox(const QString& title, const Setup& setup, QWidget* parent = nullptr);

    document::SizeMode mode() const;
    // The size shown, each side within 1..MaxUserSide.
    exporting::PictureSize size() const;
    bool constrain() const;
    exporting::Scaling scaling() const;
    // False only for a user size with a side outside 1..MaxUserSide.
    bool sizeValid() const;

    QRadioButton* modeButton(document::SizeMode mode) const { return m_modes.at(static_cast<std::size_t>(mode)); }
    QSpinBox* widthPixels() const { return m_widthPixels; }
    QSpinBox* heightPixels() const { return m_heightPixels; }
    QSpinBox* widthPercent() const { return m_widthPercent; }
    QSpinBox* heightPercent() const { return m_heightPercent; }
    QCheckBox* constrainBox() const { return m_constrain; }
    QComboBox* resampleChoice() const { return m_resample; }

signals:
    void changed();

private:
    enum class Side { Width, Height };

    void layOut();
    void choose(document::SizeMode mode);
    void edited(Side side, const QSpinBox* edit, bool percent, int value);
    void showSide(Side side, std::int32_t pixels, const QSpinBox* typed);

    exporting::PictureSize m_frame;
    double m_zoom = 1.0;
    exporting::PictureSize m_user; // the last size typed, shown again on "User defined size"
    ResampleRow m_resampleRow = ResampleRow::Enabled;
    bool m_following = false;
    std::array<QRadioButton*, 3> m_modes {};
    QSpinBox* m_widthPixels = nullptr;
    QSpinBox* m_heightPixels = nullptr;
    QSpinBox* m_widthPercent = nullptr;
    QSpinBox* m_heightPercent = nullptr;
    QCheckBox* m_constrain = nullptr;
    QLabel* m_resampleLabel = nullptr;
    QComboBox* m_resample = nullptr;
};
