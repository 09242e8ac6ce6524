#include "app/dialogs/DicomTagsDialog.h"

#include "app/dialogs/HeaderTable.h"

#include "dicom/DicomDataset.h"
#include "dicom/HeaderListing.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr int NameWidth = 250;


QString withoutQuotes(QString text)
{
    if (text.startsWith(QLatin1Char('"')))
        text.remove(0, 1);
    if (text.endsWith(QLatin1Char('"')))
        text.chop(1);
    return text;
}

// Cuts between characters: a surrogate pair stays whole or goes whole.
QString cutTo(QString text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    text.truncate(length);
    return text;
}

} // namespace

DicomTagsDialog::DicomTagsDialog(const dicom::DicomDataset& dataset, QWidget* parent, const QString& caption)
    : QDialog(parent)
    , m_dataset(dataset)
{
    setWindowTitle(caption.isEmpty() ? tr("Dicom Tags") : caption);
    setModal(true);

    m_tabs = headertable::makeCategoryTabs(this);
    m_list = headertable::makeTable(this, NameWidth);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(m_list->columnWidth(0) + NameWidth + headertable::ValueWidth + 60, 420);

    connect(m_tabs, &QTabBar::currentChanged, this, &DicomTagsDialog::fill);
    connect(m_list, &QTableWidget::itemSelectionChanged, this,
            [this] { m_ok->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fill(0);
}

void DicomTagsDialog::fill(int tab)
{
    headertable::fill(*m_list, &m_dataset, tab);
    m_ok->setEnabled(false);
}

QString DicomTagsDialog::pickedValue() const
{
    const QTableWidgetItem* value = m_list->item(m_list->currentRow(), headertable::ValueColumn);
    if (!value || !value->isSelected())
        return {};
    return cutTo(withoutQuotes(value->text()), MaxValueLength);
}

std::optional<QString> DicomTagsDialog::pickValue(const dicom::DicomDataset& dataset, QWidget* parent,
                                                   const QString& caption)
{
    DicomTagsDialog dialog(dataset, parent, caption);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.pickedValue();
}
