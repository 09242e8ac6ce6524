#pragma once

#include "document/ExportChoices.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;

// "Page Setup": what printing and the report pictures take (the header, the
// pictures, the overlays drawn into them) and how pictures are resampled.
class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit PageSetupDialog(const document::PageSetup& setup, QWidget* parent = nullptr);

    // The choices made, or none when the dialog was cancelled.
    static std::optional<document::PageSetup> ask(const document::PageSetup& setup, QWidget* parent);
    document::PageSetup pageSetup() const;

    QCheckBox* headerBox() const { return m_header; }
    QCheckBox* imagesBox() const { return m_images; }
    QCheckBox* annotationsBox() const { return m_annotations; }
    QComboBox* scalingChoice() const { return m_scaling; }

private:
    // Overlays go only into pictures: without pictures the box is cleared
    // and greyed, and gets its last value back with them.
    void followImages(bool on);

    QCheckBox* m_header = nullptr;
    QCheckBox* m_images = nullptr;
    QCheckBox* m_annotations = nullptr;
    QComboBox* m_scaling = nullptr;
    bool m_rememberedAnnotations = true;
};
