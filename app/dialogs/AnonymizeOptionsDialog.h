#pragma once

#include "dicom/Anonymizer.h"

#include <QDialog>
#include <QList>

#include <optional>

class QCheckBox;
class QSettings;

// "Header information to delete": one check box per anonymizing switch, the
// attention switch and the Basic Profile switch.
class AnonymizeOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit AnonymizeOptionsDialog(const dicom::AnonOptions& options, QWidget* parent = nullptr);

    // The options chosen, or none when the dialog was cancelled.
    static std::optional<dicom::AnonOptions> ask(const dicom::AnonOptions& options, QWidget* parent);
    dicom::AnonOptions options() const;

    // The switches as the settings section "Anonymizing Options" holds them (1 = on).
    static dicom::AnonOptions load(QSettings& store);
    static void save(QSettings& store, const dicom::AnonOptions& options);

    QCheckBox* switchBox(std::size_t index) const { return m_switches.value(static_cast<qsizetype>(index)); }
    QCheckBox* attentionBox() const { return m_attention; }
    QCheckBox* profileBox() const { return m_profile; }

private:
    QList<QCheckBox*> m_switches;
    QCheckBox* m_attention = nullptr;
    QCheckBox* m_profile = nullptr;
};
