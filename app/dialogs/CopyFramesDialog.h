#pragma once

#include "app/dialogs/SizeChoiceBox.h"
#include "document/ExportChoices.h"
#include "export/ExportTypes.h"

#include <QDialog>

#include <optional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Select items to copy": the header, some frames at one size, or both.
class CopyFramesDialog : public QDialog {
    Q_OBJECT
public:
    struct Frames {
        int count = 0;
        int current = 0;
        std::int32_t width = 1; // of the current frame
        std::int32_t height = 1;
        float zoom = 1.0F;
    };
    struct Parameters {
        bool header = false;
        bool frames = false;
        std::vector<int> list; // 0-based, in order
        std::int32_t width = 1;
        std::int32_t height = 1;
        exporting::Scaling scaling = exporting::Scaling::Nearest;
        document::ExportChoices choices; // to keep in the document
    };

    CopyFramesDialog(const Frames& frames, const document::ExportChoices& choices, exporting::Scaling scaling,
                     QWidget* parent = nullptr);

    static std::optional<Parameters> ask(const Frames& frames, const document::ExportChoices& choices,
                                         exporting::Scaling scaling, QWidget* parent);
    Parameters parameters() const;

    QCheckBox* headerBox() const { return m_header; }
    QCheckBox* framesBox() const { return m_frames; }
    QRadioButton* scopeButton(int scope) const { return m_scope[scope]; }
    QListWidget* frameList() const { return m_list; }
    QPushButton* markButton() const { return m_mark; }
    QPushButton* unmarkButton() const { return m_unmark; }
    QRadioButton* sizeButton(document::SizeMode mode) const { return m_size->modeButton(mode); }
    QSpinBox* widthEdit() const { return m_size->widthPixels(); }
    QSpinBox* heightEdit() const { return m_size->heightPixels(); }
    QSpinBox* widthPercentEdit() const { return m_size->widthPercent(); }
    QSpinBox* heightPercentEdit() const { return m_size->heightPercent(); }
    QCheckBox* constrainBox() const { return m_size->constrainBox(); }
    QComboBox* scalingChoice() const { return m_size->resampleChoice(); }
    QPushButton* copyButton() const { return m_copy; }

private:
    void mark(bool on);
    void refreshList();
    void updateButtons();

    Frames m_frameFacts;
    std::vector<std::uint8_t> m_selection;
    QCheckBox* m_header = nullptr;
    QCheckBox* m_frames = nullptr;
    QRadioButton* m_scope[3] {};
    QListWidget* m_list = nullptr;
    QPushButton* m_mark = nullptr;
    QPushButton* m_unmark = nullptr;
    SizeChoiceBox* m_size = nullptr;
    QPushButton* m_copy = nullptr;
};
