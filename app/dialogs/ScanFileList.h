#pragma once

// The scanning file list shared by "Directory Contents", "Search...",
// "Batch Convert" and "Batch Anonymize": a folder field with
// "Directory...", a start/stop button, "Search Subdirectories", "Load
// Icons", the folder drop-down and the list of the DICOM files found,
// filled from a worker-thread scan as the records come.

#include "dicom/DicomDataset.h"
#include "dicom/FolderScan.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class ScanFileList : public QWidget {
    Q_OBJECT
public:
    explicit ScanFileList(QWidget* parent = nullptr);
    ~ScanFileList() override; // cancels and waits for a scan still running

    QString folder() const;
    void setFolder(const QString& folder);
    // Only files the filter accepts are listed ("Search..." sets its
    // criteria here); it runs on the scan's workers. Empty: every DICOM file.
    void setFilter(std::function<bool(const dicom::DicomDataset&)> filter);

    // Scans the folder field's folder; a scan running is stopped first.
    void startScan();
    // Stops a scan; what it listed stays.
    void stopScan();
    bool scanning() const;
    // What the last finished scan met.
    dicom::ScanCounts counts() const;

    // Full paths of the shown folder's rows: the selected ones, and all, in list order.
    QStringList selectedPaths() const;
    QStringList allPaths() const;

    QTreeWidget* list() const { return m_list; }
    QLineEdit* folderField() const { return m_folderField; }
    QPushButton* scanButton() const { return m_scanButton; }
    QCheckBox* subdirectoriesBox() const { return m_subdirectories; }
    QCheckBox* iconsBox() const { return m_icons; }
    QComboBox* folderBox() const { return m_folders; }
    QLabel* statusLabel() const { return m_status; }

    // The side of the "Load Icons" thumbnails.
    static constexpr int IconSide = 64;

signals:
    void scanFinished();
    void selectionChanged();
    // A row double-clicked: its full path.
    void fileActivated(const QString& path);

private:
    QTreeWidget* m_list = nullptr;
    QLineEdit* m_folderField = nullptr;
    QPushButton* m_scanButton = nullptr;
    QCheckBox* m_subdirectories = nullptr;
    QCheckBox* m_icons = nullptr;
    QComboBox* m_folders = nullptr;
    QLabel* m_status = nullptr;
    // Implementation details (the folder records, the scan) are the
    // implementer's; add members below.
};
