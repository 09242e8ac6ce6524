#include "app/dialogs/OpenFileDialog.h"

#include "app/dialogs/HeaderPreview.h"
#include "dicom/DicomDataset.h"
#include "dicom/HeaderListing.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

struct CategoryTab {
    const char* label;
    dicom::HeaderCategory category;
};

constexpr std::array CategoryTabs = {
    CategoryTab { QT_TRANSLATE_NOOP("OpenFileDialog", "All"), dicom::HeaderCategory::All },
    CategoryTab { QT_TRANSLATE_NOOP("OpenFileDialog", "Patient"), dicom::HeaderCategory::Patient },
    CategoryTab { QT_TRANSLATE_NOOP("OpenFileDialog", "Study"), dicom::HeaderCategory::Study },
    CategoryTab { QT_TRANSLATE_NOOP("OpenFileDialog", "Physician"), dicom::HeaderCategory::Physician },
    CategoryTab { QT_TRANSLATE_NOOP("OpenFileDialog", "Image"), dicom::HeaderCategory::Image },
};

enum Column { TagColumn, NameColumn, ValueColumn, ColumnCount };
constexpr std::array<int, ColumnCount> ColumnWidths = { 100, 200, 400 };
constexpr int ThumbnailSide = OpenFileDialog::PreviewSide - 8; // inside the button's frame

// Row texts hold the file's bytes, which are Latin-1 unless a character set says otherwise.
QString fromBytes(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

OpenFileDialog::OpenFileDialog(const QString& folder, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Open File"));
    m_reader = new HeaderPreviewReader(this);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);

    m_tabs = new QTabBar(this);
    for (const CategoryTab& tab : CategoryTabs)
        m_tabs->addTab(tr(tab.label));
    m_list = new QTableWidget(0, ColumnCount, this);
    m_list->setHorizontalHeaderLabels({ tr("Tag"), tr("Tag Name"), tr("Value") });
    // The header view's font and row height; where the font stands in for a
    // wider one, the Tag column grows so that no tag is cut.
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPointSize(9);
    m_list->setFont(listFont);
    for (int column = 0; column < ColumnCount; ++column)
        m_list->setColumnWidth(column, ColumnWidths[static_cast<std::size_t>(column)]);
    const int tagWidth = QFontMetrics(listFont).horizontalAdvance(QStringLiteral("0x0000, 0x0000")) + 12;
    m_list->setColumnWidth(TagColumn, std::max(ColumnWidths[TagColumn], tagWidth));
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(listFont).height() + 4);
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);

    m_previewIcon = new QCheckBox(tr("Enable Preview Icon"), this);
    m_previewIcon->setChecked(true);
    m_preview = new QPushButton(this);
    m_preview->setFixedSize(PreviewSide, PreviewSide);
    m_preview->setIconSize(QSize(ThumbnailSide, ThumbnailSide));
    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    m_open = buttons->addButton(tr("Open"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    m_open->setEnabled(false);

    auto* header = new QWidget(this);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->setSpacing(0);
    headerLayout->addWidget(m_tabs);
    headerLayout->addWidget(m_list);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_tree);
    splitter->addWidget(header);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({ 260, ColumnWidths[0] + ColumnWidths[1] + ColumnWidths[2] + 20 });

    auto* side = new QVBoxLayout;
    side->addWidget(m_previewIcon);
    side->addWidget(m_preview);
    side->addStretch();
    side->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(side);
    resize(1100, 560);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionChanged(current); });
    connect(m_tree, &QTreeView::activated, this, [this] {
        if (!selectedFile().isEmpty())
            accept();
    });
    connect(m_tabs, &QTabBar::currentChanged, this, &OpenFileDialog::fill);
    connect(m_previewIcon, &QCheckBox::toggled, this, &OpenFileDialog::readSelected);
    connect(m_reader, &HeaderPreviewReader::ready, this, &OpenFileDialog::showHeader);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    selectPath(folder.isEmpty() ? QDir::currentPath() : folder);
    if (const QModelIndex start = m_tree->currentIndex(); start.isValid())
        m_tree->expand(start);
}

void OpenFileDialog::selectPath(const QString& path)
{
    const QModelIndex index = m_model->index(QFileInfo(path).absoluteFilePath());
    if (!index.isValid())
        return;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
}

QString OpenFileDialog::selectedFile() const
{
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid() || m_model->isDir(current))
        return {};
    return m_model->filePath(current);
}

QString OpenFileDialog::listedFile() const
{
    return m_listedFile;
}

void OpenFileDialog::selectionChanged(const QModelIndex& current)
{
    Q_UNUSED(current);
    m_open->setEnabled(!selectedFile().isEmpty());
    readSelected();
}

void OpenFileDialog::readSelected()
{
    const QString file = selectedFile();
    if (file.isEmpty()) {
        m_reader->cancel();
        showHeader(HeaderPreview {});
        return;
    }
    setCursor(Qt::BusyCursor);
    m_reader->request(file, m_previewIcon->isChecked() ? ThumbnailSide : 0);
}

void OpenFileDialog::showHeader(const HeaderPreview& preview)
{
    unsetCursor();
    // A file that cannot be read lists nothing.
    m_header = preview.header;
    m_listedFile = m_header ? preview.path : QString();
    m_preview->setIcon(preview.thumbnail.isNull() ? QIcon() : QIcon(QPixmap::fromImage(preview.thumbnail)));
    fill(m_tabs->currentIndex());
}

void OpenFileDialog::fill(int tab)
{
    m_list->clearSelection();
    m_list->setRowCount(0);
    if (!m_header || tab < 0 || tab >= static_cast<int>(CategoryTabs.size()))
        return;
    const auto rows = dicom::headerRows(*m_header, CategoryTabs[static_cast<std::size_t>(tab)].category);
    m_list->setRowCount(static_cast<int>(rows.size()));
    int at = 0;
    for (const dicom::HeaderRow& row : rows) {
        m_list->setItem(at, TagColumn, new QTableWidgetItem(QString::fromStdString(row.tag)));
        m_list->setItem(at, NameColumn, new QTableWidgetItem(QString::fromStdString(row.name)));
        m_list->setItem(at, ValueColumn, new QTableWidgetItem(fromBytes(row.value)));
        ++at;
    }
}

std::optional<QString> OpenFileDialog::choose(const QString& folder, QWidget* parent)
{
    OpenFileDialog dialog(folder, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString file = dialog.selectedFile();
    if (file.isEmpty())
        return std::nullopt;
    return file;
}
