#include "app/dialogs/ScanFileList.h"

#include "app/FileThumbnail.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSizePolicy>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <mutex>
#include <utility>

namespace {

enum Column { IconColumn, NameColumn, StudyIdColumn, DateColumn, ModalityColumn, FramesColumn, FileColumn };

// A text cut to the cell bound, on one line: control characters (a name
// with a line break, a NUL) become blanks.
QString bounded(QString text)
{
    const bool cut = text.size() > ScanFileList::MaxCellLength;
    if (cut)
        text.truncate(ScanFileList::MaxCellLength);
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    if (cut)
        text += QStringLiteral("...");
    return text;
}

QString systemText(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

std::filesystem::path systemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

struct ScanFileList::WalkProgress {
    std::mutex mutex;
    std::uint64_t files = 0;
    std::string folder;
    std::string name;
};

QString ScanFileList::cellText(const std::string& value)
{
    // Only the first bytes can show: the rest is not decoded at all.
    const auto length = std::min<std::size_t>(value.size(), MaxCellLength + 1);
    return bounded(QString::fromLatin1(value.data(), static_cast<qsizetype>(length)));
}

ScanFileList::ScanFileList(QWidget* parent)
    : QWidget(parent)
{
    m_directoryButton = new QPushButton(tr("Directory..."), this);
    m_folderField = new QLineEdit(this);
    m_scanButton = new QPushButton(this);
    m_subdirectories = new QCheckBox(tr("Search Subdirectories"), this);
    m_icons = new QCheckBox(tr("Load Icons"), this);
    m_folders = new QComboBox(this);
    m_folders->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_folders->setMinimumContentsLength(30);
    m_folders->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setIconSize(QSize(IconSide, IconSide));
    m_list->setHeaderLabels({tr("Icon"), tr("Patient Name"), tr("ID"), tr("Study Date"), tr("Modality"), tr("Frames"),
                             tr("File Name")});
    const int widths[] = {68, 180, 100, 100, 70, 70};
    for (int column = IconColumn; column < FileColumn; ++column)
        m_list->setColumnWidth(column, widths[column]);
    m_list->header()->setStretchLastSection(true);
    m_status = new QLabel(this);
    m_status->setTextFormat(Qt::PlainText);
    // A long path in the status line is cut by the label, never widens the dialog.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    updateScanButton();
    m_walkTimer = new QTimer(this);
    m_walkTimer->setInterval(50);
    connect(m_walkTimer, &QTimer::timeout, this, &ScanFileList::showWalk);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_directoryButton);
    folderRow->addWidget(m_folderField, 1);
    folderRow->addWidget(m_scanButton);
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(m_subdirectories);
    optionRow->addWidget(m_icons);
    optionRow->addWidget(m_folders, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(folderRow);
    layout->addLayout(optionRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);

    connect(m_directoryButton, &QPushButton::clicked, this, &ScanFileList::chooseFolder);
    connect(m_scanButton, &QPushButton::clicked, this, &ScanFileList::scanButtonClicked);
    connect(m_folders, &QComboBox::activated, this, &ScanFileList::showRecord);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &ScanFileList::selectionChanged);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        emit fileActivated(m_shownFolder + item->data(IconColumn, Qt::UserRole).toString());
    });
}

ScanFileList::~ScanFileList()
{
    m_scan.cancel();
    m_scan.wait();
}

QString ScanFileList::folder() const
{
    return m_folderField->text();
}

void ScanFileList::setFolder(const QString& folder)
{
    m_folderField->setText(folder);
}

void ScanFileList::setFilter(std::function<bool(const dicom::DicomDataset&)> filter)
{
    m_filter = std::move(filter);
}

void ScanFileList::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Directory..."), m_folderField->text());
    if (folder.isEmpty())
        return;
    setFolder(folder);
    startScan();
}

void ScanFileList::scanButtonClicked()
{
    if (m_scanning)
        stopScan();
    else
        startScan();
}

void ScanFileList::startScan()
{
    stopScan();
    m_scan.wait();
    if (m_folderField->text().trimmed().isEmpty() || (m_beforeScan && !m_beforeScan()))
        return;
    const std::uint64_t generation = ++m_generation;
    // As the scan names its folders: absolute, ending in "/".
    m_root = withSlash(QDir(m_folderField->text().trimmed()).absolutePath());
    m_recursive = m_subdirectories->isChecked();
    m_scanning = true;
    for (auto& record : m_records)
        record.touched = false;
    m_status->clear();
    updateScanButton();

    dicom::ScanOptions options;
    options.recursive = m_recursive;
    options.accept = m_filter;
    // Every file met counts, the ones the filter turns down too.
    m_walk = std::make_shared<WalkProgress>();
    m_walkShown = 0;
    options.walked = [walk = m_walk](const dicom::FoundFile& file) {
        const std::lock_guard lock(walk->mutex);
        ++walk->files;
        walk->folder = file.folder;
        walk->name = file.name;
    };
    m_walkTimer->start();
    if (m_icons->isChecked()) {
        // The full read and the thumbnail run on the scan's workers; a file
        // whose full read fails is not listed.
        options.prepare = [this](dicom::ScanRecord& record) {
            if (m_scan.cancelled())
                return false; // stopping: no full read to wait for
            QImage icon = fileThumbnail(systemText(record.path()), IconSide);
            if (icon.isNull())
                return false;
            record.extra = std::move(icon);
            return true;
        };
    }
    m_scan.start(
        systemPath(m_root), std::move(options),
        [this, generation](dicom::ScanRecord&& record) {
            QMetaObject::invokeMethod(
                this, [this, generation, record = std::move(record)] { addRecord(generation, record); },
                Qt::QueuedConnection);
        },
        [this, generation](const dicom::ScanCounts& counts, bool cancelled) {
            QMetaObject::invokeMethod(
                this, [this, generation, counts, cancelled] { finishScan(generation, counts, cancelled); },
                Qt::QueuedConnection);
        });
}

void ScanFileList::stopScan()
{
    m_scan.cancel();
}

bool ScanFileList::scanning() const
{
    return m_scanning;
}

dicom::ScanCounts ScanFileList::counts() const
{
    return m_counts;
}

void ScanFileList::addRecord(std::uint64_t generation, const dicom::ScanRecord& record)
{
    if (generation != m_generation)
        return; // queued by a scan replaced since
    const QString folder = withSlash(systemText(record.folder));
    auto found = std::find_if(m_records.begin(), m_records.end(),
                              [&folder](const FolderRecord& known) { return known.path == folder; });
    if (found == m_records.end() || !found->touched) {
        // The first file of a folder in this scan: the folder's earlier
        // files go, its record keeps its place.
        if (found == m_records.end())
            found = m_records.insert(m_records.end(), FolderRecord {folder, {}, false, false});
        found->files.clear();
        found->icons = m_icons->isChecked();
        found->touched = true;
        m_list->clear();
        m_shownFolder = folder;
    }
    FileRow row;
    row.fileName = systemText(record.fileName);
    row.cells = {cellText(record.patientName), cellText(record.studyId), cellText(record.studyDate),
                 cellText(record.modality), QString::number(record.frames), bounded(row.fileName)};
    if (const auto* icon = std::any_cast<QImage>(&record.extra))
        row.icon = *icon;
    found->files.push_back(std::move(row));
    if (m_shownFolder == folder) {
        appendItem(*found, found->files.back());
        m_list->scrollToItem(m_list->topLevelItem(m_list->topLevelItemCount() - 1));
    }
}

void ScanFileList::finishScan(std::uint64_t generation, const dicom::ScanCounts& counts, bool cancelled)
{
    if (generation != m_generation)
        return;
    m_scanning = false;
    m_walkTimer->stop();
    m_counts = counts;
    if (!cancelled) {
        // A folder of this scan's reach that now holds nothing to list goes:
        // its files were deleted, or no longer match.
        std::erase_if(m_records, [this](const FolderRecord& record) {
            const bool inReach = record.path == m_root || (m_recursive && record.path.startsWith(m_root));
            return inReach && !record.touched;
        });
    }
    m_status->setText(tr("Finished!"));
    updateScanButton();
    refillFolderBox();
    emit scanFinished();
}

void ScanFileList::showWalk()
{
    if (!m_walk || !m_scanning)
        return;
    std::uint64_t files = 0;
    QString path;
    {
        const std::lock_guard lock(m_walk->mutex);
        files = m_walk->files;
        if (files != m_walkShown)
            path = bounded(systemText(m_walk->folder)) + bounded(systemText(m_walk->name));
    }
    if (files == m_walkShown)
        return;
    m_walkShown = files;
    m_status->setText(QStringLiteral("Search (%1) : %2").arg(files).arg(path));
}

void ScanFileList::refillFolderBox()
{
    const QSignalBlocker blocker(m_folders);
    m_folders->clear();
    int shown = m_records.empty() ? -1 : 0;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        m_folders->addItem(bounded(m_records[i].path));
        if (m_records[i].path == m_shownFolder)
            shown = static_cast<int>(i);
    }
    if (shown < 0) {
        m_list->clear();
        m_shownFolder.clear();
        return;
    }
    m_folders->setCurrentIndex(shown);
    if (m_records[static_cast<std::size_t>(shown)].path != m_shownFolder)
        showRecord(shown);
}

void ScanFileList::showRecord(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_records.size())
        return;
    const FolderRecord& record = m_records[static_cast<std::size_t>(index)];
    m_list->clear();
    m_shownFolder = record.path;
    for (const FileRow& row : record.files)
        appendItem(record, row);
}

void ScanFileList::appendItem(const FolderRecord& folder, const FileRow& row)
{
    QStringList cells = row.cells;
    cells.prepend(QString());
    auto* item = new QTreeWidgetItem(m_list, cells);
    item->setData(IconColumn, Qt::UserRole, row.fileName);
    item->setToolTip(FileColumn, bounded(folder.path + row.fileName));
    if (!row.icon.isNull()) {
        // The frame as it is in a selected row too, so a selected list still shows its pictures.
        const QPixmap picture = QPixmap::fromImage(row.icon);
        QIcon icon(picture);
        icon.addPixmap(picture, QIcon::Selected);
        item->setIcon(IconColumn, icon);
    }
    if (m_selectNewRows)
        item->setSelected(true);
}

void ScanFileList::updateScanButton()
{
    m_scanButton->setText(m_scanning ? tr("Stop") : tr("Start"));
    m_scanButton->setIcon(style()->standardIcon(m_scanning ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
}

QStringList ScanFileList::selectedPaths() const
{
    QStringList paths;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const auto* item = m_list->topLevelItem(i);
        if (item->isSelected())
            paths << m_shownFolder + item->data(IconColumn, Qt::UserRole).toString();
    }
    return paths;
}

QStringList ScanFileList::allPaths() const
{
    QStringList paths;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        paths << m_shownFolder + m_list->topLevelItem(i)->data(IconColumn, Qt::UserRole).toString();
    return paths;
}
