#pragma once

#include <QFileDialog>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

namespace dicom {
struct DicomDataset;
}

class HeaderPreviewReader;
struct HeaderPreview;
class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

// File Open: the file dialog with a preview of the file under selection (the
// first frame and five header facts), "Show preview", "Open as single file"
// for several files and "View Header...".
class PreviewFileDialog : public QFileDialog {
    Q_OBJECT
public:
    static constexpr int PreviewSide = 128;
    enum Fact { PatientName, StudyId, Date, Modality, Frames, FactCount };

    // Starts in `directory` (the working directory when it is empty).
    explicit PreviewFileDialog(QWidget* parent = nullptr, const QString& directory = {});

    struct Choice {
        QStringList files; // in the order the dialog reports them
        bool asOne = false; // several files chosen with "Open as single file" on
    };
    // Runs the dialog; none when it was cancelled.
    static std::optional<Choice> choose(QWidget* parent, const QString& directory);

    QPushButton* previewButton() const { return m_preview; }
    QCheckBox* showPreviewBox() const { return m_showPreview; }
    QCheckBox* singleFileBox() const { return m_singleFile; }
    QPushButton* viewHeaderButton() const { return m_viewHeader; }
    QLabel* factLabel(Fact fact) const { return m_facts[static_cast<std::size_t>(fact)]; }

public slots:
    // Writes "Show preview" back to the settings before closing.
    void done(int result) override;

private:
    void addPreviewArea();
    void scheduleUpdate();
    void updatePreview();
    void showPreview(const HeaderPreview& preview);
    void showEmptyPicture();
    void viewHeader();

    QPushButton* m_preview = nullptr;
    QCheckBox* m_showPreview = nullptr;
    QCheckBox* m_singleFile = nullptr;
    QPushButton* m_viewHeader = nullptr;
    std::array<QLabel*, FactCount> m_facts {};
    QWidget* m_area = nullptr;
    QTimer* m_updateTimer = nullptr;
    HeaderPreviewReader* m_reader = nullptr;
    std::shared_ptr<const dicom::DicomDataset> m_header; // of the file previewed
};
