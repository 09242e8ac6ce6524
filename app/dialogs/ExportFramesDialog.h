#pragma once

#include "app/dialogs/SizeChoiceBox.h"
#include "export/ExportPlan.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class COrvoDoc;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

// "Export frames": the current frame, every frame or the frames the user
// marks, as TIFF, JPEG, BMP, raw or one HTML page, at the frame's size, the
// zoomed size or a size the user types. The size choice stays with the
// document and the directories, method and quality in the settings, both
// stored on "Close".
class ExportFramesDialog : public QDialog {
    Q_OBJECT
public:
    // The formats in the order of their radio buttons.
    static constexpr std::array<exporting::ExportFormat, 5> Formats { exporting::ExportFormat::Tiff,
        exporting::ExportFormat::Jpeg, exporting::ExportFormat::Bmp, exporting::ExportFormat::Raw,
        exporting::ExportFormat::Html };

    ExportFramesDialog(COrvoDoc& doc, QWidget* parent = nullptr);

    // Stores the choices before closing ("Close", Escape).
    void reject() override;

    // The controls, for tests.
    QRadioButton* scopeButton(exporting::Scope scope) const;
    QRadioButton* formatButton(exporting::ExportFormat format) const;
    QListWidget* frameList() const { return m_frameList; }
    QPushButton* markExportButton() const { return m_markExport; }
    QPushButton* markNotExportButton() const { return m_markNotExport; }
    QCheckBox* continualBox() const { return m_continual; }
    QCheckBox* exportHeaderBox() const { return m_exportHeader; }
    QSlider* qualitySlider() const { return m_qualitySlider; }
    QSpinBox* qualitySpin() const { return m_qualitySpin; }
    QLineEdit* nameField() const { return m_name; }
    QLineEdit* directoryField() const { return m_directory; }
    QRadioButton* userSizeButton() const { return m_size->modeButton(document::SizeMode::User); }
    QSpinBox* widthPixels() const { return m_size->widthPixels(); }
    QSpinBox* heightPixels() const { return m_size->heightPixels(); }
    QCheckBox* constrainBox() const { return m_size->constrainBox(); }
    QPushButton* exportButton() const { return m_export; }
    const std::vector<std::uint8_t>& selection() const { return m_selection; }

private:
    // ExportFramesDialogLayout.cpp
    void buildWidgets();
    void layOut();
    void connectWidgets();

    void chooseScope(exporting::Scope scope);
    void chooseFormat(int index);
    void chooseDirectory();
    void markHighlighted(bool exported);
    void showSelection();
    void updateEnabling();
    void runExport();
    void storeChoices();

    exporting::Scope scope() const;
    int formatIndex() const;
    exporting::PictureSize frameSize() const;

    COrvoDoc& m_doc;
    std::vector<std::uint8_t> m_selection;
    std::array<QString, Formats.size()> m_directories;
    bool m_directoryChosen = false;
    int m_shownFormat = 0;

    std::array<QRadioButton*, 3> m_scopes {};
    QListWidget* m_frameList = nullptr;
    QPushButton* m_markExport = nullptr;
    QPushButton* m_markNotExport = nullptr;
    QCheckBox* m_continual = nullptr;
    QPushButton* m_preview = nullptr;
    std::array<QRadioButton*, Formats.size()> m_formats {};
    QSlider* m_qualitySlider = nullptr;
    QSpinBox* m_qualitySpin = nullptr;
    QCheckBox* m_exportHeader = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_directory = nullptr;
    QPushButton* m_browse = nullptr;
    SizeChoiceBox* m_size = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_close = nullptr;
};
