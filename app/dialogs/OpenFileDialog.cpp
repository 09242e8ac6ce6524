#include "app/dialogs/OpenFileDialog.h"

#include "app/dialogs/DialogSize.h"
#include "app/dialogs/HeaderTable.h"

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

constexpr int NameWidth = 200;
constexpr int ThumbnailSide = OpenFileDialog::PreviewSide - 8; // inside the button's frame

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

    m_tabs = headertable::makeCategoryTabs(this);
    m_list = headertable::makeTable(this, NameWidth);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

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
    splitter->setSizes({ 260, m_list->columnWidth(0) + NameWidth + headertable::ValueWidth + 20 });

    auto* side = new QVBoxLayout;
    side->addWidget(m_previewIcon);
    side->addWidget(m_preview);
    side->addStretch();
    side->addWidget(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(side);
    dialogsize::fitToScreen(*this);

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
    headertable::fill(*m_list, m_header.get(), tab);
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
