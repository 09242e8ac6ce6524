#include "app/dialogs/PageSetupDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

PageSetupDialog::PageSetupDialog(const document::PageSetup& setup, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Page Setup"));
    m_header = new QCheckBox(tr("Print Header"), this);
    m_images = new QCheckBox(tr("Print Images"), this);
    m_annotations = new QCheckBox(tr("Print Annotations"), this);
    m_scaling = new QComboBox(this);
    m_scaling->addItems({ tr("Nearest neighbour"), tr("Bilinear interpolation") });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout;
    form->addRow(m_header);
    form->addRow(m_images);
    form->addRow(m_annotations);
    form->addRow(tr("Scaling method"), m_scaling);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    m_header->setChecked(setup.printHeader);
    m_images->setChecked(setup.printImages);
    m_rememberedAnnotations = setup.printAnnotations;
    m_scaling->setCurrentIndex(setup.pageScaling == 1 ? 1 : 0);
    followImages(setup.printImages);

    connect(m_images, &QCheckBox::toggled, this, &PageSetupDialog::followImages);
    connect(m_annotations, &QCheckBox::toggled, this, [this](bool on) {
        if (m_images->isChecked())
            m_rememberedAnnotations = on;
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PageSetupDialog::followImages(bool on)
{
    m_annotations->setEnabled(on);
    m_annotations->setChecked(on && m_rememberedAnnotations);
}

document::PageSetup PageSetupDialog::pageSetup() const
{
    return { m_header->isChecked(), m_images->isChecked(), m_annotations->isChecked(), m_scaling->currentIndex() };
}

std::optional<document::PageSetup> PageSetupDialog::ask(const document::PageSetup& setup, QWidget* parent)
{
    PageSetupDialog dialog(setup, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.pageSetup();
}
