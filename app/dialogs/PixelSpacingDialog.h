#pragma once

#include "view/model/RoiStatistics.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

// "Pixel spacing and slice thikness": the document's row and column spacing
// and slice thickness in millimetres. "OK" is offered only while both
// spacings are positive numbers and the thickness is 0 or more.
class PixelSpacingDialog : public QDialog {
    Q_OBJECT
public:
    using Parameters = viewmodel::VoxelSize;

    PixelSpacingDialog(const Parameters& current, const Parameters& header, QWidget* parent = nullptr);

    // The values chosen, or none when the dialog was cancelled.
    static std::optional<Parameters> ask(const Parameters& current, const Parameters& header, QWidget* parent);
    // None while an edit holds a value that cannot be stored.
    std::optional<Parameters> parameters() const;

    QLineEdit* horizontalEdit() const { return m_horizontal; }
    QLineEdit* verticalEdit() const { return m_vertical; }
    QLineEdit* thicknessEdit() const { return m_thickness; }
    QPushButton* fromHeaderButton() const { return m_fromHeader; }
    QPushButton* okButton() const { return m_ok; }

private:
    void fill(const Parameters& values);

    QLineEdit* m_horizontal = nullptr; // column spacing
    QLineEdit* m_vertical = nullptr;   // row spacing
    QLineEdit* m_thickness = nullptr;
    QPushButton* m_fromHeader = nullptr;
    QPushButton* m_ok = nullptr;
};
