#pragma once

#include <QDialog>
#include <QString>

#include <optional>

namespace dicom {
struct DicomDataset;
}

class QPushButton;
class QTabBar;
class QTableWidget;

// "Dicom Tags": the header of one data set as tag, name and value, filtered
// by the category tabs; OK hands back the selected row's value as text short
// enough for an annotation.
class DicomTagsDialog : public QDialog {
    Q_OBJECT
public:
    // Annotation texts hold at most this many characters.
    static constexpr qsizetype MaxValueLength = 64;

    // The data set must outlive the dialog. An empty caption keeps the title "Dicom Tags".
    explicit DicomTagsDialog(const dicom::DicomDataset& dataset, QWidget* parent = nullptr,
                             const QString& caption = {});

    // The value picked, or none when the dialog was cancelled.
    static std::optional<QString> pickValue(const dicom::DicomDataset& dataset, QWidget* parent,
                                            const QString& caption = {});
    // The selected row's value without its quotes, cut to MaxValueLength; empty without a selection.
    QString pickedValue() const;

    QTabBar* categoryTabs() const { return m_tabs; }
    QTableWidget* list() const { return m_list; }
    QPushButton* okButton() const { return m_ok; }

private:
    void fill(int tab);

    const dicom::DicomDataset& m_dataset;
    QTabBar* m_tabs = nullptr;
    QTableWidget* m_list = nullptr;
    QPushButton* m_ok = nullptr;
};
