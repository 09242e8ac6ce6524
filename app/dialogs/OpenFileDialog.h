#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

namespace dicom {
struct DicomDataset;
}

struct HeaderPreview;
class HeaderPreviewReader;
class QCheckBox;
class QFileSystemModel;
class QModelIndex;
class QPushButton;
class QTabBar;
class QTableWidget;
class QTreeView;

// "Open File": a folder tree beside the header of the file selected in it,
// filtered by the category tabs, with the file's first frame on the preview
// button while "Enable Preview Icon" is on. "Open" hands back the file.
class OpenFileDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int PreviewSide = 128;

    // The tree opens at `folder` (the working directory when it is empty).
    explicit OpenFileDialog(const QString& folder = {}, QWidget* parent = nullptr);

    // Runs the dialog; the file chosen, or none when it was cancelled.
    static std::optional<QString> choose(const QString& folder, QWidget* parent);

    // Selects a file or folder in the tree, as a click on it does.
    void selectPath(const QString& path);
    // The file selected in the tree; empty while a folder or nothing is.
    QString selectedFile() const;
    // The file whose header is listed; empty while none is.
    QString listedFile() const;

    QTreeView* tree() const { return m_tree; }
    QTabBar* categoryTabs() const { return m_tabs; }
    QTableWidget* list() const { return m_list; }
    QCheckBox* previewIconBox() const { return m_previewIcon; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* openButton() const { return m_open; }

private:
    void selectionChanged(const QModelIndex& current);
    void readSelected();
    void showHeader(const HeaderPreview& preview);
    void fill(int tab);

    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QTabBar* m_tabs = nullptr;
    QTableWidget* m_list = nullptr;
    QCheckBox* m_previewIcon = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_open = nullptr;
    HeaderPreviewReader* m_reader = nullptr;
    std::shared_ptr<const dicom::DicomDataset> m_header; // of the file listed
    QString m_listedFile;
};
