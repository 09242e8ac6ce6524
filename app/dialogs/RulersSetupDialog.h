#pragma once

#include "view/model/Rulers.h"

#include <QColor>
#include <QDialog>

#include <functional>
#include <optional>

class QButtonGroup;
class QFrame;
class QPushButton;
class QRadioButton;

// "Rulers setup": the corner a frame's rulers start from and their colour.
class RulersSetupDialog : public QDialog {
    Q_OBJECT
public:
    // The system colour dialog behind "Select..."; none when cancelled. Tests put their own in.
    using ColourPicker = std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;

    // `setAsDefault` is called with the dialog's present choice when "Set as default" is pressed.
    RulersSetupDialog(viewmodel::RulerSetting current, std::function<void(viewmodel::RulerSetting)> setAsDefault,
                      QWidget* parent = nullptr);

    viewmodel::RulerSetting setting() const;

    void setColourPicker(ColourPicker picker) { m_pickColour = std::move(picker); }
    QRadioButton* cornerButton(viewmodel::RulerCorner corner) const;
    QFrame* swatch() const { return m_swatch; }
    QPushButton* selectButton() const { return m_select; }
    QPushButton* setAsDefaultButton() const { return m_setAsDefault; }

private:
    void showColour();

    viewmodel::Colour m_colour = 0;
    std::function<void(viewmodel::RulerSetting)> m_storeDefault;
    ColourPicker m_pickColour;
    QButtonGroup* m_corners = nullptr;
    QFrame* m_swatch = nullptr;
    QPushButton* m_select = nullptr;
    QPushButton* m_setAsDefault = nullptr;
};
