#pragma once

#include "app/dialogs/ScanFileList.h"
#include "dicom/Anonymizer.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// "Batch Anonymize": DICOM files found by a folder scan, anonymized into an
// export folder on a worker thread, with one message of the counts at the end.
class BatchAnonymizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit BatchAnonymizeDialog(QWidget* parent = nullptr);

    // Lists the DICOM files of folder as "Scan Directory..." does after its folder dialog.
    void scan(const QString& folder);
    void setExportDirectory(const QString& folder);
    // Anonymizes the selected files with these options; returns the message shown at the end.
    QString anonymize(const dicom::AnonOptions& options);

    ScanFileList* scanList() const { return m_files; }
    QTreeWidget* fileList() const { return m_files->list(); }
    QCheckBox* subdirectoriesBox() const { return m_files->subdirectoriesBox(); }
    QCheckBox* iconsBox() const { return m_files->iconsBox(); }
    QCheckBox* suffixBox() const { return m_suffix; }
    QPushButton* anonymizeButton() const { return m_anonymize; }
    bool scanning() const { return m_files->scanning(); }
    // A scan still running stops when the dialog closes.
    void done(int result) override;

    // The side of the "Load Icons" thumbnails.
    static constexpr int IconSide = ScanFileList::IconSide;

signals:
    void scanFinished();

private:
    void chooseExportDirectory();
    void anonymizeClicked();

    ScanFileList* m_files = nullptr;
    QCheckBox* m_suffix = nullptr;
    QLabel* m_exportLabel = nullptr;
    QPushButton* m_anonymize = nullptr;
    QString m_exportDirectory;
};
