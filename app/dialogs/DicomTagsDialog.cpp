#include "app/dialogs/DicomTagsDialog.h"

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

struct CategoryTab {
    const char* label;
    dicom::HeaderCategory category;
};

// "All" comes first: the dialog opens on it.
constexpr std::array CategoryTabs = {
    CategoryTab { QT_TRANSLATE_NOOP("DicomTagsDialog", "All"), dicom::HeaderCategory::All },
    CategoryTab { QT_TRANSLATE_NOOP("DicomTagsDialog", "Patient"), dicom::HeaderCategory::Patient },
    CategoryTab { QT_TRANSLATE_NOOP("DicomTagsDialog", "Study"), dicom::HeaderCategory::Study },
    CategoryTab { QT_TRANSLATE_NOOP("DicomTagsDialog", "Physician"), dicom::HeaderCategory::Physician },
    CategoryTab { QT_TRANSLATE_NOOP("DicomTagsDialog", "Image"), dicom::HeaderCategory::Image },
};

enum Column { TagColumn, NameColumn, ValueColumn, ColumnCount };
constexpr std::array<int, ColumnCount> ColumnWidths = { 100, 250, 400 };

// Row texts hold the file's bytes, which are Latin-1 unless a character set says otherwise.
QString fromBytes(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

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

    m_tabs = new QTabBar(this);
    for (const CategoryTab& tab : CategoryTabs)
        m_tabs->addTab(tr(tab.label));

    m_list = new QTableWidget(0, ColumnCount, this);
    m_list->setHorizontalHeaderLabels({ tr("Tag"), tr("Tag Name"), tr("Value") });
    // The header view's font and row height, so a tag fits the Tag column as it does there.
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPointSize(9);
    m_list->setFont(listFont);
    for (int column = 0; column < ColumnCount; ++column)
        m_list->setColumnWidth(column, ColumnWidths[static_cast<std::size_t>(column)]);
    // Where the font stands in for a wider one, the column grows so that no tag is cut.
    const int tagWidth = QFontMetrics(listFont).horizontalAdvance(QStringLiteral("0x0000, 0x0000")) + 12;
    m_list->setColumnWidth(0, std::max(ColumnWidths[0], tagWidth));
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(listFont).height() + 4);
    m_list->verticalHeader()->hide();
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(ColumnWidths[0] + ColumnWidths[1] + ColumnWidths[2] + 60, 420);

    connect(m_tabs, &QTabBar::currentChanged, this, &DicomTagsDialog::fill);
    connect(m_list, &QTableWidget::itemSelectionChanged, this,
            [this] { m_ok->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fill(0);
}

void DicomTagsDialog::fill(int tab)
{
    m_list->clearSelection();
    m_list->setRowCount(0);
    m_ok->setEnabled(false);
    if (tab < 0 || tab >= static_cast<int>(CategoryTabs.size()))
        return;
    const auto rows = dicom::headerRows(m_dataset, CategoryTabs[static_cast<std::size_t>(tab)].category);
    m_list->setRowCount(static_cast<int>(rows.size()));
    int at = 0;
    for (const dicom::HeaderRow& row : rows) {
        m_list->setItem(at, TagColumn, new QTableWidgetItem(QString::fromStdString(row.tag)));
        m_list->setItem(at, NameColumn, new QTableWidgetItem(QString::fromStdString(row.name)));
        m_list->setItem(at, ValueColumn, new QTableWidgetItem(fromBytes(row.value)));
        ++at;
    }
}

QString DicomTagsDialog::pickedValue() const
{
    const QTableWidgetItem* value = m_list->item(m_list->currentRow(), ValueColumn);
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
