#include "app/dialogs/HeaderTable.h"

#include "dicom/HeaderListing.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTabBar>
#include <QTableWidget>

#include <algorithm>
#include <array>

namespace headertable {

namespace {

struct CategoryTab {
    const char* label;
    dicom::HeaderCategory category;
};

constexpr std::array CategoryTabs = {
    CategoryTab { QT_TRANSLATE_NOOP("HeaderTable", "All"), dicom::HeaderCategory::All },
    CategoryTab { QT_TRANSLATE_NOOP("HeaderTable", "Patient"), dicom::HeaderCategory::Patient },
    CategoryTab { QT_TRANSLATE_NOOP("HeaderTable", "Study"), dicom::HeaderCategory::Study },
    CategoryTab { QT_TRANSLATE_NOOP("HeaderTable", "Physician"), dicom::HeaderCategory::Physician },
    CategoryTab { QT_TRANSLATE_NOOP("HeaderTable", "Image"), dicom::HeaderCategory::Image },
};

// Row texts hold the file's bytes, which are Latin-1 unless a character set says otherwise.
QString fromBytes(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QTabBar* makeCategoryTabs(QWidget* parent)
{
    auto* tabs = new QTabBar(parent);
    for (const CategoryTab& tab : CategoryTabs)
        tabs->addTab(QCoreApplication::translate("HeaderTable", tab.label));
    return tabs;
}

QTableWidget* makeTable(QWidget* parent, int nameWidth)
{
    auto* table = new QTableWidget(0, ColumnCount, parent);
    table->setHorizontalHeaderLabels({ QCoreApplication::translate("HeaderTable", "Tag"),
                                       QCoreApplication::translate("HeaderTable", "Tag Name"),
                                       QCoreApplication::translate("HeaderTable", "Value") });
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPointSize(9);
    table->setFont(listFont);
    const int tagWidth = QFontMetrics(listFont).horizontalAdvance(QStringLiteral("0x0000, 0x0000")) + 12;
    table->setColumnWidth(TagColumn, std::max(TagWidth, tagWidth));
    table->setColumnWidth(NameColumn, nameWidth);
    table->setColumnWidth(ValueColumn, ValueWidth);
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(listFont).height() + 4);
    table->verticalHeader()->hide();
    table->setShowGrid(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    return table;
}

void fill(QTableWidget& table, const dicom::DicomDataset* dataset, int tab)
{
    table.clearSelection();
    table.setRowCount(0);
    if (!dataset || tab < 0 || tab >= static_cast<int>(CategoryTabs.size()))
        return;
    const auto rows = dicom::headerRows(*dataset, CategoryTabs[static_cast<std::size_t>(tab)].category);
    table.setRowCount(static_cast<int>(rows.size()));
    int at = 0;
    for (const dicom::HeaderRow& row : rows) {
        table.setItem(at, TagColumn, new QTableWidgetItem(QString::fromStdString(row.tag)));
        table.setItem(at, NameColumn, new QTableWidgetItem(QString::fromStdString(row.name)));
        table.setItem(at, ValueColumn, new QTableWidgetItem(fromBytes(row.value)));
        ++at;
    }
}

} // namespace headertable
