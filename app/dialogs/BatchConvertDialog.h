#pragma once

#include "app/dialogs/ScanFileList.h"
#include "dicom/Anonymizer.h"
#include "export/BatchConvert.h"

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Batch Convert": the files found by a folder scan, every frame of each
// selected one written as a picture (or each file as a page) into an export
// folder, off the interface thread, with one message of the counts at the end.
class BatchConvertDialog : public QDialog {
    Q_OBJECT
public:
    explicit BatchConvertDialog(QWidget* parent = nullptr);

    // Lists the DICOM files of folder as choosing it in the list does.
    void scan(const QString& folder);
    // Adds the folder to the export directories (once) and selects it.
    void setExportDirectory(const QString& folder);
    QString exportDirectory() const;
    // Converts the selected files in list order into the export directory:
    // the message shown at the end, empty when nothing ran.
    QString convert(bool anonymizedHeader, const dicom::AnonOptions& anonOptions);
    // Called on the worker after each file with the count done; true stops
    // the run before the next file, as Cancel does.
    void setAfterFile(std::function<bool(int done)> afterFile) { m_afterFile = std::move(afterFile); }
    // What the last run did.
    const exporting::BatchSummary& lastSummary() const { return m_summary; }

    ScanFileList* scanList() const { return m_files; }
    QComboBox* formatBox() const { return m_format; }
    QComboBox* exportDirectoryBox() const { return m_directories; }
    QLineEdit* pathField() const { return m_path; }
    QPushButton* exportButton() const { return m_export; }
    QPushButton* viewHeaderButton() const { return m_viewHeader; }
    // A scan still running stops when the dialog closes.
    void done(int result) override;

signals:
    void scanFinished();

private:
    void chooseExportDirectory();
    void exportClicked();
    void viewHeader();
    void selectionChanged();

    ScanFileList* m_files = nullptr;
    QComboBox* m_format = nullptr;
    QComboBox* m_directories = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_viewHeader = nullptr;
    std::function<bool(int)> m_afterFile;
    exporting::BatchSummary m_summary;
};
