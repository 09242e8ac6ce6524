#include "app/dialogs/PresetsSetupDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace {

// Presets are stored as 32-bit numbers; clamping to a frame happens when one
// is applied, so any stored value can be edited here.
QSpinBox* numberEdit(std::int32_t value, QWidget* parent)
{
    auto* edit = new QSpinBox(parent);
    edit->setRange(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    edit->setValue(value);
    return edit;
}

} // namespace

PresetsSetupDialog::PresetsSetupDialog(const viewmodel::WindowPresets& presets, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Custom Windows Setup"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Name"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Center"), this), 0, 1);
    grid->addWidget(new QLabel(tr("Width"), this), 0, 2);
    for (std::size_t i = 0; i < presets.size(); ++i) {
        Row& row = m_rows[i];
        row.name = new QLineEdit(QString::fromStdString(presets[i].name), this);
        row.centre = numberEdit(presets[i].centre, this);
        row.width = numberEdit(presets[i].width, this);
        const int line = static_cast<int>(i) + 1;
        grid->addWidget(row.name, line, 0);
        grid->addWidget(row.centre, line, 1);
        grid->addWidget(row.width, line, 2);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<PresetsSetupDialog::Parameters> PresetsSetupDialog::ask(
    const viewmodel::WindowPresets& presets, QWidget* parent)
{
    PresetsSetupDialog dialog(presets, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.parameters();
}

PresetsSetupDialog::Parameters PresetsSetupDialog::parameters() const
{
    Parameters result;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        result.presets[i] = { m_rows[i].name->text().toStdString(), m_rows[i].centre->value(),
            m_rows[i].width->value() };
    }
    return result;
}
