#pragma once

#include "dicom/Anonymizer.h"
#include "dicom/FolderScan.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>

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
    ~BatchAnonymizeDialog() override;

    // Lists the DICOM files of folder as "Scan Directory..." does after its folder dialog.
    void scan(const QString& folder);
    void setExportDirectory(const QString& folder);
    // Anonymizes the selected files with these options; returns the message shown at the end.
    QString anonymize(const dicom::AnonOptions& options);

    QTreeWidget* fileList() const { return m_list; }
    QCheckBox* subdirectoriesBox() const { return m_subdirectories; }
    QCheckBox* iconsBox() const { return m_icons; }
    QCheckBox* suffixBox() const { return m_suffix; }
    QPushButton* anonymizeButton() const { return m_anonymize; }
    bool scanning() const { return m_scan.running(); }
    // A scan still running stops when the dialog closes.
    void done(int result) override;

    // The side of the "Load Icons" thumbnails.
    static constexpr int IconSide = 64;

signals:
    void scanFinished();

private:
    struct Row {
        QString path;
        QStringList columns;
        QImage icon;
    };
    void addRow(const Row& row);
    void chooseFolder();
    void chooseExportDirectory();
    void anonymizeClicked();

    QTreeWidget* m_list = nullptr;
    QCheckBox* m_subdirectories = nullptr;
    QCheckBox* m_icons = nullptr;
    QCheckBox* m_suffix = nullptr;
    QLabel* m_exportLabel = nullptr;
    QPushButton* m_scanButton = nullptr;
    QPushButton* m_anonymize = nullptr;
    QString m_exportDirectory;
    dicom::FolderScan m_scan;
};
