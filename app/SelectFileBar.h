#pragma once

#include <QString>
#include <QStringList>
#include <QToolBar>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;

// The bar that steps through the DICOM files of the directories the user has
// visited, in file-name order. It only decides which file is next; opening it
// is left to whoever listens to openRequested().
class SelectFileBar : public QToolBar {
    Q_OBJECT
public:
    // Decides whether a file of a scanned directory is listed.
    using FileFilter = std::function<bool(const QString& path)>;

    explicit SelectFileBar(QWidget* parent = nullptr);
    ~SelectFileBar() override;

    void setFileFilter(FileFilter filter) { m_filter = std::move(filter); }

    // Called after every load: selects (or adds) the file's directory, makes
    // the file current, and rescans the directory when it changed on disk.
    void fileOpened(const QString& path);
    // Selects (or adds and scans) a directory without opening anything;
    // true when it was new to the bar.
    bool addDirectory(const QString& directory);
    void refresh();

    void first();
    void previous();
    void next();
    void last();

    bool canGoBack() const;
    bool canGoForward() const;
    bool hasDirectories() const { return !m_entries.empty(); }

    QString currentDirectory() const;
    QStringList files() const;
    int currentIndex() const;
    QString positionText() const;
    int scanCount() const { return m_scanCount; }
    // A scan probes the files on worker threads; until it ends the list
    // holds what was known before.
    bool isScanning() const { return m_scan.entry >= 0; }

    QComboBox* directoryList() const { return m_directoryList; }
    QComboBox* fileList() const { return m_fileList; }

    // The default filter: the file's header reads without error.
    static bool readsHeader(const QString& path);

signals:
    void openRequested(const QString& path);
    void navigationChanged();
    void scanFinished();

private:
    struct DirectoryEntry {
        QString path; // ends in '/'
        QStringList files;
        int current = -1;
        std::filesystem::file_time_type stamp {};
        bool scanned = false;
    };

    // The directory being scanned, and the flag that stops its workers.
    struct PendingScan {
        int entry = -1;
        bool waitCursor = false;
        std::shared_ptr<std::atomic<bool>> cancel;
    };

    DirectoryEntry* selectedEntry();
    const DirectoryEntry* selectedEntry() const;
    int selectOrAdd(const QString& directory);
    bool needsScan(const DirectoryEntry& entry) const;
    void scan(int entry, bool waitCursor = false);
    void finishScan(const std::shared_ptr<std::atomic<bool>>& job, std::vector<std::string> accepted);
    void stopWorkers();
    void showEntry();
    void fillFileList();
    void showPosition();
    void setCurrent(int index);
    void applyCurrent();
    void updateToolTips();

    std::vector<DirectoryEntry> m_entries;
    QComboBox* m_directoryList = nullptr;
    QComboBox* m_fileList = nullptr;
    QLabel* m_position = nullptr;
    FileFilter m_filter;
    PendingScan m_scan;
    // Every probe thread started, joined when the bar goes: a replaced scan
    // is told to stop, and its result is dropped when it comes.
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Worker> m_workers;
    int m_scanCount = 0;
};
