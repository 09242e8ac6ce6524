#pragma once

#include <QDialog>

class COrvoDoc;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Info": per frame the pixel count, mean and standard deviation of the
// selection (of the whole frame without one), its area and volume, and the
// spacing and thickness they were measured with, which can be changed here.
class InfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit InfoDialog(COrvoDoc& document, QWidget* parent = nullptr);

    // Runs the dialog modally over the document.
    static void showFor(COrvoDoc& document, QWidget* parent);

    QTableWidget* list() const { return m_list; }
    QLineEdit* spacingXField() const { return m_spacingX; }
    QLineEdit* spacingYField() const { return m_spacingY; }
    QLineEdit* thicknessField() const { return m_thickness; }
    QPushButton* spacingButton() const { return m_setSpacing; }

private:
    void refresh();
    void editSpacing();

    COrvoDoc& m_document;
    QTableWidget* m_list = nullptr;
    QLineEdit* m_spacingX = nullptr;
    QLineEdit* m_spacingY = nullptr;
    QLineEdit* m_thickness = nullptr;
    QPushButton* m_setSpacing = nullptr;
};
