#include "app/dialogs/AnonymizeOptionsDialog.h"

#include "app/Settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const std::string Section(dicom::AnonSettingsSection);

QString text(std::string_view label) { return QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())); }

} // namespace

AnonymizeOptionsDialog::AnonymizeOptionsDialog(const dicom::AnonOptions& options, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Header information to delete"));
    auto* patient = new QGroupBox(tr("Patient Information"), this);
    auto* study = new QGroupBox(tr("Study Information"), this);
    auto* other = new QGroupBox(tr("Other Information"), this);
    auto* patientGrid = new QGridLayout(patient);
    auto* studyGrid = new QVBoxLayout(study);
    auto* otherGrid = new QVBoxLayout(other);
    int patientCount = 0;
    const auto switches = dicom::anonSwitches();
    for (std::size_t i = 0; i < switches.size(); ++i) {
        const auto& s = switches[i];
        auto* box = new QCheckBox(text(s.label), this);
        box->setChecked(options.on[i]);
        m_switches.append(box);
        switch (s.group) {
        case dicom::AnonGroup::Patient:
            // Two columns keep the dialog on a laptop screen.
            patientGrid->addWidget(box, patientCount / 2, patientCount % 2);
            ++patientCount;
            break;
        case dicom::AnonGroup::Study:
            studyGrid->addWidget(box);
            break;
        case dicom::AnonGroup::Other:
            otherGrid->addWidget(box);
            break;
        }
    }
    m_profile = new QCheckBox(text(dicom::BasicProfileLabel), this);
    m_profile->setChecked(options.basicProfile);
    otherGrid->addWidget(m_profile);
    otherGrid->addStretch();
    studyGrid->addStretch();
    m_attention = new QCheckBox(text(dicom::AttentionLabel), this);
    m_attention->setChecked(options.attention);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* columns = new QHBoxLayout;
    columns->addWidget(study);
    columns->addWidget(other);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(patient);
    layout->addLayout(columns);
    layout->addWidget(m_attention);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<dicom::AnonOptions> AnonymizeOptionsDialog::ask(const dicom::AnonOptions& options, QWidget* parent)
{
    AnonymizeOptionsDialog dialog(options, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

dicom::AnonOptions AnonymizeOptionsDialog::options() const
{
    dicom::AnonOptions result;
    for (qsizetype i = 0; i < m_switches.size(); ++i)
        result.on[static_cast<std::size_t>(i)] = m_switches[i]->isChecked();
    result.attention = m_attention->isChecked();
    result.basicProfile = m_profile->isChecked();
    return result;
}

dicom::AnonOptions AnonymizeOptionsDialog::load(QSettings& store)
{
    dicom::AnonOptions options;
    const auto switches = dicom::anonSwitches();
    for (std::size_t i = 0; i < switches.size(); ++i)
        options.on[i] = settings::readNumber(store, Section.c_str(), std::string(switches[i].key).c_str(), 1, 0, 1) != 0;
    options.attention = settings::readNumber(store, Section.c_str(), std::string(dicom::AttentionKey).c_str(), 1, 0, 1) != 0;
    options.basicProfile =
        settings::readNumber(store, Section.c_str(), std::string(dicom::BasicProfileKey).c_str(), 0, 0, 1) != 0;
    return options;
}

void AnonymizeOptionsDialog::save(QSettings& store, const dicom::AnonOptions& options)
{
    const auto switches = dicom::anonSwitches();
    for (std::size_t i = 0; i < switches.size(); ++i)
        settings::writeNumber(store, Section.c_str(), std::string(switches[i].key).c_str(), options.on[i] ? 1 : 0);
    settings::writeNumber(store, Section.c_str(), std::string(dicom::AttentionKey).c_str(), options.attention ? 1 : 0);
    settings::writeNumber(store, Section.c_str(), std::string(dicom::BasicProfileKey).c_str(),
                          options.basicProfile ? 1 : 0);
}
