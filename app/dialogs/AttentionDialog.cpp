#include "app/dialogs/AttentionDialog.h"

#include "app/Settings.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QSettings>
#include <QStyle>
#include <QVBoxLayout>

AttentionDialog::AttentionDialog(bool attention, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Attention!"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto* message = new QLabel(tr("Some critical fields have not been removed from the file, because of "
                                  "anonymizing options. If desired, change the anonymizing options and "
                                  "anonymize the file again."),
                               this);
    message->setWordWrap(true);
    message->setMinimumWidth(360);
    m_dontShow = new QCheckBox(tr("Do not show this message again"), this);
    m_dontShow->setChecked(!attention);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(message, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_dontShow);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

bool AttentionDialog::attention() const
{
    return !m_dontShow->isChecked();
}

bool AttentionDialog::applyRule(QSettings& store, QWidget* parent)
{
    auto options = AnonymizeOptionsDialog::load(store);
    if (!options.attentionDue())
        return false;
    AttentionDialog dialog(options.attention, parent);
    dialog.exec();
    options.attention = dialog.attention();
    AnonymizeOptionsDialog::save(store, options);
    return true;
}
