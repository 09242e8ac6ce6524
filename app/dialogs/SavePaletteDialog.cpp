#include "app/dialogs/SavePaletteDialog.h"

#include "imaging/CustomPalette.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SavePaletteDialog::SavePaletteDialog(const QString& name, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Save As Custom Palette"));
    m_name = new QLineEdit(name, this);
    // A name is also a file name and the file's first word.
    m_name->setMaxLength(static_cast<int>(imaging::CustomPalette::kMaxNameLength));
    auto* buttons = new QDialogButtonBox(this);
    m_save = buttons->addButton(tr("Save..."), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* form = new QFormLayout;
    form->addRow(tr("Palette's Name"), m_name);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_name, &QLineEdit::textChanged, this, [this] { m_save->setEnabled(!this->name().isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_save->setEnabled(!this->name().isEmpty());
}

QString SavePaletteDialog::name() const { return m_name->text().trimmed(); }

std::optional<QString> SavePaletteDialog::ask(const QString& name, QWidget* parent)
{
    SavePaletteDialog dialog(name, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.name().isEmpty())
        return std::nullopt;
    return dialog.name();
}
