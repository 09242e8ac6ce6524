#pragma once

#include "view/OverlayEdits.h"
#include "view/model/OverlayRecords.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QString>

#include <functional>
#include <optional>

namespace dicom {
struct DicomDataset;
}

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

using overlayedits::AnnotationDraft;

// "Add Annotation" / "Edit Annotation": the text of one annotation with its
// font and colour, the text possibly taken from a header value.
class AnnotationDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    // The system dialogs behind "Font...", "Color..." and "From Header...";
    // each gives none when cancelled. Tests put their own in.
    using FontPicker = std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)>;
    using ColourPicker = std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;
    using ValuePicker = std::function<std::optional<QString>(const dicom::DicomDataset&, QWidget* parent)>;

    // `fontDialogStart` is the font the "Font..." button opens on (the one last chosen in this view);
    // `dataset` may be null, which disables "From Header...". The data set must outlive the dialog.
    AnnotationDialog(Mode mode, const AnnotationDraft& start, bool applyToAllAvailable, const QFont& fontDialogStart,
                     const dicom::DicomDataset* dataset, QWidget* parent = nullptr);

    // The text is cut to what a record holds, between characters. "Apply to
    // all frames" counts only where it was available.
    AnnotationDraft draft() const;
    // The font picked with "Font...", if the user picked one.
    std::optional<QFont> chosenFont() const { return m_chosenFont; }

    void setPickers(FontPicker font, ColourPicker colour, ValuePicker value);

    // The view's annotation prompt: this dialog, modal over `parent`.
    static std::optional<overlayedits::AnnotationAnswer> prompt(QWidget* parent,
                                                               const overlayedits::AnnotationRequest& request);

    QPlainTextEdit* textEdit() const { return m_text; }
    QCheckBox* applyToAllBox() const { return m_applyToAll; }
    QPushButton* fontButton() const { return m_fontButton; }
    QPushButton* colourButton() const { return m_colourButton; }
    QPushButton* fromHeaderButton() const { return m_fromHeader; }

private:
    void pickFont();
    void pickColour();
    void pickFromHeader();

    const dicom::DicomDataset* m_dataset = nullptr;
    viewmodel::OverlayFont m_font;
    viewmodel::Colour m_colour = 0;
    QFont m_fontDialogStart;
    std::optional<QFont> m_chosenFont;
    FontPicker m_pickFont;
    ColourPicker m_pickColour;
    ValuePicker m_pickValue;

    QPlainTextEdit* m_text = nullptr;
    QCheckBox* m_applyToAll = nullptr;
    QPushButton* m_fontButton = nullptr;
    QPushButton* m_colourButton = nullptr;
    QPushButton* m_fromHeader = nullptr;
};
