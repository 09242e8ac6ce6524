// The controls of "Open Multiple Files" and where they sit.

#include "app/dialogs/OpenMultipleDialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

struct ListColumn {
    const char* title;
    int width; // 0: takes the rest
};

constexpr ListColumn ListColumns[] = {
    { "Patient Name", 160 }, { "Study ID", 80 }, { "Study Date", 90 },
    { "Modality", 70 }, { "Frames", 60 }, { "File Name", 0 },
};

constexpr int KeyColumns = 3;

} // namespace

void OpenMultipleDialog::buildLayout()
{
    auto* layout = new QVBoxLayout(this);

    auto* folderRow = new QHBoxLayout;
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("FolderField"));
    m_browse = new QPushButton(tr("Directory..."), this);
    m_start = new QPushButton(tr("Start"), this);
    m_start->setObjectName(QStringLiteral("StartButton"));
    // Return in the folder field starts the scan.
    m_start->setDefault(true);
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browse);
    folderRow->addWidget(m_start);
    layout->addLayout(folderRow);

    auto* optionsRow = new QHBoxLayout;
    m_subdirectories = new QCheckBox(tr("Search Subdirectories"), this);
    m_icons = new QCheckBox(tr("Load Icons"), this);
    optionsRow->addWidget(m_subdirectories);
    optionsRow->addWidget(m_icons);
    optionsRow->addStretch(1);
    layout->addLayout(optionsRow);

    auto* keysBox = new QGroupBox(tr(" Group by "), this);
    auto* keysGrid = new QGridLayout(keysBox);
    int at = 0;
    for (const dicom::GroupKeyInfo& key : dicom::groupKeys()) {
        auto* box = new QCheckBox(QString::fromUtf8(key.label.data(), static_cast<qsizetype>(key.label.size())), keysBox);
        box->setChecked(true);
        keysGrid->addWidget(box, at / KeyColumns, at % KeyColumns);
        m_keyBoxes.push_back(box);
        ++at;
    }
    layout->addWidget(keysBox);

    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(new QLabel(tr("File Groups:"), this));
    m_groupList = new QComboBox(this);
    m_groupList->setObjectName(QStringLiteral("FileGroups"));
    m_groupList->setMinimumContentsLength(6);
    groupRow->addWidget(m_groupList);
    groupRow->addSpacing(16);
    groupRow->addWidget(new QLabel(tr("Show groups with more than"), this));
    m_minimum = new QSpinBox(this);
    m_minimum->setRange(1, 99999);
    m_minimum->setValue(1);
    groupRow->addWidget(m_minimum);
    groupRow->addWidget(new QLabel(tr("images"), this));
    groupRow->addStretch(1);
    layout->addLayout(groupRow);

    m_list = new QTableWidget(0, static_cast<int>(std::size(ListColumns)), this);
    m_list->setObjectName(QStringLiteral("FileList"));
    QStringList titles;
    for (const ListColumn& column : ListColumns)
        titles.append(tr(column.title));
    m_list->setHorizontalHeaderLabels(titles);
    for (int i = 0; i < static_cast<int>(std::size(ListColumns)); ++i) {
        if (ListColumns[i].width > 0)
            m_list->setColumnWidth(i, ListColumns[i].width);
    }
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->setVisible(false);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->setIconSize(QSize(IconSide, IconSide));
    m_list->setMinimumSize(560, 200);
    layout->addWidget(m_list, 1);

    auto* bottom = new QHBoxLayout;
    m_preview = new QPushButton(this);
    m_preview->setObjectName(QStringLiteral("PreviewButton"));
    m_preview->setIconSize(QSize(IconSide, IconSide));
    m_preview->setFixedSize(IconSide + 12, IconSide + 12);
    bottom->addWidget(m_preview);
    auto* right = new QVBoxLayout;
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("PathField"));
    m_path->setReadOnly(true);
    right->addWidget(m_path);
    auto* buttons = new QHBoxLayout;
    m_openAll = new QPushButton(tr("Open all"), this);
    m_openSelected = new QPushButton(tr("Open Selected"), this);
    m_viewHeader = new QPushButton(tr("View Header..."), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(m_openAll);
    buttons->addWidget(m_openSelected);
    buttons->addWidget(m_viewHeader);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    right->addLayout(buttons);
    bottom->addLayout(right, 1);
    layout->addLayout(bottom);

    // A line edit rather than a label: a long path does not widen the dialog.
    m_status = new QLineEdit(this);
    m_status->setObjectName(QStringLiteral("StatusField"));
    m_status->setReadOnly(true);
    m_status->setFrame(false);
    layout->addWidget(m_status);
}
