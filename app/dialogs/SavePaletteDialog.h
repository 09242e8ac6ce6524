#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QLineEdit;
class QPushButton;

// "Save As Custom Palette": the name a palette taken from a file is saved
// under, preset to the name the file gives it.
class SavePaletteDialog : public QDialog {
    Q_OBJECT
public:
    explicit SavePaletteDialog(const QString& name, QWidget* parent = nullptr);

    // The name chosen with "Save...", or none on "Cancel".
    static std::optional<QString> ask(const QString& name, QWidget* parent);

    QString name() const;
    QLineEdit* nameEdit() const { return m_name; }
    QPushButton* saveButton() const { return m_save; }

private:
    QLineEdit* m_name = nullptr;
    QPushButton* m_save = nullptr;
};
