#pragma once

#include <QString>
#include <QStringList>
#include <QToolBar>

#include <filesystem>
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

    void setFileFilter(FileFilter filter) { m_filter = std::move(filter); }

    // Called after every load: selects (or adds) the file's directory, rescans
    // it when it changed on disk, and makes the file current.
    void fileOpened(const QString& path);
    // Selects (or adds and scans) a directory without opening anything.
    void addDirectory(const QString& directory);
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

    QComboBox* directoryList() const { return m_directoryList; }
    QComboBox* fileList() const { return m_fileList; }

    static bool looksLikeDicom(const QString& path);

signals:
    void openRequested(const QString& path);
    void navigationChanged();

private:
    struct DirectoryEntry {
        QString path; // ends in '/'
        QStringList files;
        int current = -1;
        std::filesystem::file_time_type stamp {};
        bool scanned = false;
    };

    DirectoryEntry* selectedEntry();
    const DirectoryEntry* selectedEntry() const;
    int selectOrAdd(const QString& directory);
    void scan(DirectoryEntry& entry);
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
    bool m_scanning = false;
    int m_scanCount = 0;
};
