#pragma once

#include <QDialog>
#include <QStringList>

class QDialogButtonBox;
class QVBoxLayout;
class ScanFileList;

// "Directory Contents": the DICOM files of a folder, listed as a scan finds
// them; OK or a double click opens the chosen files, each as a document.
// Modeless: it stays beside the documents it opened.
class DirectoryContentsDialog : public QDialog {
    Q_OBJECT
public:
    explicit DirectoryContentsDialog(QWidget* parent = nullptr);

    ScanFileList* fileList() const { return m_files; }
    QDialogButtonBox* buttons() const { return m_buttons; }

    // Stops a scan still running as the window goes.
    void done(int result) override;

signals:
    // The files to open, each as a document of its own, in list order.
    void openRequested(const QStringList& paths);

protected:
    // Where a dialog built on this one adds its own controls, above the list.
    QVBoxLayout* topLayout() const { return m_top; }

private:
    ScanFileList* m_files = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QVBoxLayout* m_top = nullptr;
};
