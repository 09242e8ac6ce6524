#pragma once

#include "document/UserOptions.h"

#include <QColor>
#include <QDialog>
#include <QFont>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace preferences {

// A font record as the toolkit shows it, its height taken as points. The
// toolkit has no character set, so the record's stays outside the font.
QFont toQFont(const document::FontRecord& record);
// The font chosen, kept as a record with the character set it had before.
document::FontRecord toFontRecord(const QFont& font, std::uint8_t charSet);

} // namespace preferences

// "Preferences": edits a copy of the user's options; options() gives the
// edited copy. Values without a control pass through unchanged.
class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    using ColourPicker = std::function<std::optional<QColor>(const QColor& initial, QWidget* owner)>;
    using FontPicker = std::function<std::optional<QFont>(const QFont& initial, QWidget* owner)>;

    explicit PreferencesDialog(const document::UserOptions& options, QWidget* parent = nullptr);

    document::UserOptions options() const;

    // The colour and font dialogs the buttons open; replaceable so the
    // choices can be made without a modal dialog.
    void setColourPicker(ColourPicker picker) { m_pickColour = std::move(picker); }
    void setFontPicker(FontPicker picker) { m_pickFont = std::move(picker); }

    QSpinBox* lineWidthBox() const { return m_lineWidth; }

private:
    QWidget* createChecks();
    QWidget* createColourButtons();
    QWidget* createFontRows();
    QWidget* createAxisGroup();
    void showColour(QPushButton* button, document::ColorRef colour);
    void showFont(QLabel* sample, const document::FontRecord& record);

    document::UserOptions m_options;
    ColourPicker m_pickColour;
    FontPicker m_pickFont;
    QSpinBox* m_lineWidth = nullptr;
    QButtonGroup* m_axisStart = nullptr;
    // Each check box with the row of the table it edits.
    std::vector<std::pair<QCheckBox*, std::size_t>> m_checks;
};
