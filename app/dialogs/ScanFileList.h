#pragma once

// The scanning file list shared by "Directory Contents", "Search...",
// "Batch Convert" and "Batch Anonymize": a folder field with
// "Directory...", a start/stop button, "Search Subdirectories", "Load
// Icons", the folder drop-down and the list of the DICOM files found,
// filled from a worker-thread scan as the records come.

#include "dicom/DicomDataset.h"
#include "dicom/FolderScan.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
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

    // Runs before every scan, on the interface thread: it may set the
    // filter, or return false (after telling the user why) to scan nothing.
    void setBeforeScan(std::function<bool()> check) { m_beforeScan = std::move(check); }

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
    // "Directory...": picks the folder and scans it.
    QPushButton* directoryButton() const { return m_directoryButton; }
    QPushButton* scanButton() const { return m_scanButton; }
    QCheckBox* subdirectoriesBox() const { return m_subdirectories; }
    QCheckBox* iconsBox() const { return m_icons; }
    QComboBox* folderBox() const { return m_folders; }
    QLabel* statusLabel() const { return m_status; }

    // The side of the "Load Icons" thumbnails.
    static constexpr int IconSide = 64;
    // Header values longer than this are cut and end in "...", so that no
    // value stretches a column or the dialog.
    static constexpr int MaxCellLength = 256;
    // A header value as one bounded line of plain text.
    static QString cellText(const std::string& value);

    // Rows added by a scan start selected (the batch dialogs work on every
    // file the user does not take out). Off by default.
    void setSelectNewRows(bool selected) { m_selectNewRows = selected; }
    // The folder whose files the list shows (ending in "/"), empty before any.
    QString shownFolder() const { return m_shownFolder; }

signals:
    void scanFinished();
    void selectionChanged();
    // A row double-clicked: its full path.
    void fileActivated(const QString& path);

private:
    QTreeWidget* m_list = nullptr;
    QLineEdit* m_folderField = nullptr;
    QPushButton* m_scanButton = nullptr;
    QPushButton* m_directoryButton = nullptr;
    QCheckBox* m_subdirectories = nullptr;
    QCheckBox* m_icons = nullptr;
    QComboBox* m_folders = nullptr;
    QLabel* m_status = nullptr;
    // Implementation details (the folder records, the scan) are the
    // implementer's; add members below.

    // One listed file: its cells as shown, and its thumbnail with "Load Icons".
    struct FileRow {
        QStringList cells; // "Patient Name" .. "File Name", bounded
        QString fileName;  // the name in its folder, as the system gives it
        QImage icon;
    };
    // The files found in one folder, in scan order.
    struct FolderRecord {
        QString path; // ending in "/"
        std::vector<FileRow> files;
        bool icons = false;
        bool touched = false; // got a file in the scan running
    };

    void chooseFolder();
    void scanButtonClicked();
    void addRecord(std::uint64_t generation, const dicom::ScanRecord& record);
    void finishScan(std::uint64_t generation, const dicom::ScanCounts& counts, bool cancelled);
    void showRecord(int index);
    void appendItem(const FolderRecord& folder, const FileRow& row);
    void refillFolderBox();
    void updateScanButton();
    // "Search (%d) : %s%s": how many files the walk has met, and the last.
    void showWalk();

    dicom::FolderScan m_scan;
    std::function<bool(const dicom::DicomDataset&)> m_filter;
    std::function<bool()> m_beforeScan;
    std::vector<FolderRecord> m_records;
    QString m_shownFolder;
    QString m_root;             // the folder of the scan running, ending in "/"
    bool m_recursive = false;   // of the scan running
    bool m_scanning = false;
    bool m_selectNewRows = false;
    std::uint64_t m_generation = 0; // records of an earlier scan still queued are dropped
    dicom::ScanCounts m_counts;
    // Filled by the walking thread of the scan running, shown by a timer:
    // one update per file would flood the interface.
    struct WalkProgress;
    std::shared_ptr<WalkProgress> m_walk;
    std::uint64_t m_walkShown = 0;
    QTimer* m_walkTimer = nullptr;
};
