#include "view/COrvoList.h"

#include "dicom/DicomDataset.h"
#include "dicom/HeaderListing.h"
#include "document/COrvoDoc.h"

#include <QHeaderView>

COrvoList::COrvoList(COrvoDoc& document, QWidget* parent)
    : QTreeWidget(parent)
    , m_document(document)
{
    setObjectName(QStringLiteral("HeaderView"));
    setColumnCount(5);
    setHeaderLabels({ tr("Tag"), tr("Tag Name"), tr("VR"), tr("Length"), tr("Value") });
    const int widths[] = { 100, 200, 50, 100, 200 };
    for (int i = 0; i < 5; ++i)
        setColumnWidth(i, widths[i]);
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPointSize(9);
    setFont(listFont);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(false);
    setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid rgb(208,208,208);"
                                 " border-bottom: 1px solid rgb(208,208,208); }"));
    connect(&m_document, &COrvoDoc::changed, this, [this] {
        if (isVisible())
            fill();
    });
}

void COrvoList::fill()
{
    clear();
    const dicom::DicomDataset* dataset = m_document.dataset();
    m_shownDataset = dataset;
    if (!dataset)
        return;
    QList<QTreeWidgetItem*> items;
    for (const dicom::HeaderRow& row : dicom::headerRows(*dataset)) {
        // Two blanks set the value off from the column rule, as in the copies.
        items.append(new QTreeWidgetItem(QStringList { QString::fromStdString(row.tag),
            QString::fromStdString(row.name), QString::fromStdString(row.vr), QString::fromStdString(row.length),
            QStringLiteral("  ") + QString::fromLatin1(row.value.data(), static_cast<qsizetype>(row.value.size())) }));
    }
    addTopLevelItems(items);
}
