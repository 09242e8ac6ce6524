#pragma once

#include <QDialog>

class QCheckBox;
class QSettings;

// "Attention!": shown after an anonymization that kept a critical field.
class AttentionDialog : public QDialog {
    Q_OBJECT
public:
    // The box "Do not show this message again" starts checked when the
    // message is switched off.
    explicit AttentionDialog(bool attention, QWidget* parent = nullptr);

    // The Attention switch the dialog leaves: on unless the box is checked.
    bool attention() const;
    QCheckBox* dontShowBox() const { return m_dontShow; }

    // When the message is due for the stored options, shows it and stores
    // the Attention switch it leaves. Returns whether it was shown.
    static bool applyRule(QSettings& store, QWidget* parent);

private:
    QCheckBox* m_dontShow = nullptr;
};
