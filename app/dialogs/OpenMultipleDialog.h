#pragma once

#include "dicom/FileGroups.h"
#include "dicom/FolderScan.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "Open Multiple Files": the DICOM files of a folder (and, on request, its
// sub-folders), found on worker threads and sorted into groups by the chosen
// header keys while the scan goes on; a group, or rows of it, is handed on
// to be opened as one document.
class OpenMultipleDialog : public QDialog {
    Q_OBJECT
public:
    // The side of the "Load Icons" thumbnails.
    static constexpr int IconSide = 32;
    // Header values longer than this are cut and end in "...", so that a
    // huge value cannot stretch the list or the dialog.
    static constexpr qsizetype MaxShownLength = 256;

    // The key boxes come from the "Open Multiple" settings; folder is the
    // folder field's first text.
    explicit OpenMultipleDialog(const QString& folder, QWidget* parent = nullptr);
    // A scan still running is stopped first.
    ~OpenMultipleDialog() override;

    // Starts a scan of the folder field's folder (stops a scan running).
    void startScan();
    void stopScan();
    bool scanning() const { return m_scanning; }
    // Writes the key boxes to the settings and stops the scan.
    void done(int result) override;

    // The keys the boxes tick.
    unsigned chosenKeys() const;
    const dicom::FileGroups& groups() const { return m_groups; }
    // The group the list shows (0-based), or -1.
    int shownGroup() const;

    QLineEdit* folderField() const { return m_folder; }
    QPushButton* startButton() const { return m_start; }
    QCheckBox* subdirectoriesBox() const { return m_subdirectories; }
    QCheckBox* iconsBox() const { return m_icons; }
    const std::vector<QCheckBox*>& keyBoxes() const { return m_keyBoxes; }
    QComboBox* groupList() const { return m_groupList; }
    QSpinBox* minimumSpin() const { return m_minimum; }
    QTableWidget* fileList() const { return m_list; }
    QPushButton* previewButton() const { return m_preview; }
    QLineEdit* pathField() const { return m_path; }
    QLineEdit* statusField() const { return m_status; }
    QPushButton* openAllButton() const { return m_openAll; }
    QPushButton* openSelectedButton() const { return m_openSelected; }
    QPushButton* viewHeaderButton() const { return m_viewHeader; }

    // A header text for the list and the labels: at most MaxShownLength
    // characters, longer ones cut and ending in "...".
    static QString shownText(const std::string& value);

signals:
    // Files of a group to open as one document, in group order, and its title.
    void openRequested(const QStringList& paths, const QString& title);
    // The folder chosen through "Directory...".
    void directoryChosen(const QString& folder);
    // The first group was offered in "File Groups:" (once a scan).
    void firstGroupShown();
    void scanFinished();

private:
    void buildLayout();
    void chooseFolder();
    void startClicked();
    void recordFound(unsigned generation, std::shared_ptr<dicom::ScanRecord> record);
    void finished(unsigned generation, bool cancelled);
    void regroup();
    void fillGroupList();
    void offerGroup(std::size_t group);
    void showGroup(int comboIndex);
    void appendRow(std::size_t recordIndex);
    void selectionChanged();
    void openRows(bool selectedOnly);
    void viewHeader();
    void updateButtons();
    std::vector<std::size_t> selectedRecords() const;

    QLineEdit* m_folder = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_start = nullptr;
    QCheckBox* m_subdirectories = nullptr;
    QCheckBox* m_icons = nullptr;
    std::vector<QCheckBox*> m_keyBoxes;
    QComboBox* m_groupList = nullptr;
    QSpinBox* m_minimum = nullptr;
    QTableWidget* m_list = nullptr;
    QPushButton* m_preview = nullptr;
    QLineEdit* m_path = nullptr;
    QLineEdit* m_status = nullptr;
    QPushButton* m_openAll = nullptr;
    QPushButton* m_openSelected = nullptr;
    QPushButton* m_viewHeader = nullptr;

    dicom::FileGroups m_groups;
    // Records of the list's rows: indices into m_groups.records().
    std::vector<std::size_t> m_rows;
    std::uint64_t m_found = 0;
    // Records of an earlier scan still in the queue are dropped by this.
    unsigned m_generation = 0;
    bool m_scanning = false;
    bool m_firstGroupSignalled = false;
    dicom::FolderScan m_scan;
};
