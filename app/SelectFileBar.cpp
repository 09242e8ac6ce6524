#include "app/SelectFileBar.h"

#include "dicom/DicomDataset.h"
#include "dicom/DicomReader.h"
#include "dicom/PixelModule.h"
#include "document/DirectoryScan.h"
#include "document/FileNameOrder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <string>

namespace {

QString withTrailingSlash(QString directory)
{
    directory = QDir::cleanPath(QDir(directory).absolutePath());
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');
    return directory;
}

// Long paths are cut so the tooltip stays on the screen.
QString tipText(const QString& text, const QString& fallback)
{
    if (text.isEmpty())
        return fallback;
    return text.size() > 80 ? text.left(76) : text;
}

// A path too long for `width` loses its middle: the name of the last folder,
// the one the user is in, stays whole as long as it fits.
QString shortenedPath(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const QChar separator = QDir::separator();
    const qsizetype last = path.lastIndexOf(separator, path.endsWith(separator) ? -2 : -1);
    const QString head = path.left(last + 1);
    const QString tail = path.mid(last + 1);
    const int room = width - metrics.horizontalAdvance(tail);
    if (last < 0 || room < metrics.horizontalAdvance(QStringLiteral("\u2026")) * 2)
        return metrics.elidedText(path, Qt::ElideLeft, width);
    return metrics.elidedText(head, Qt::ElideMiddle, room) + tail;
}

// The folder list, showing its paths as shortenedPath() gives them.
class FolderList : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        option.currentText = shortenedPath(option.currentText, fontMetrics(), field.width());
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    }
};

} // namespace

SelectFileBar::SelectFileBar(QWidget* parent)
    : QToolBar(tr("Select file in current dirctory"), parent)
    , m_filter(&SelectFileBar::readsHeader)
{
    setObjectName(QStringLiteral("SelectFileBar"));
    m_directoryList = new FolderList(this);
    m_directoryList->setObjectName(QStringLiteral("CurrentDirectory"));
    m_directoryList->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
    m_directoryList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_directoryList->view()->setTextElideMode(Qt::ElideMiddle);
    m_fileList = new QComboBox(this);
    m_fileList->setObjectName(QStringLiteral("CurrentFile"));
    m_fileList->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
    m_fileList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("CurrentFileNumberOfFiles"));
    m_position->setToolTip(tr("Current File / Number of Files"));
    m_position->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000/00000")));
    addWidget(m_directoryList);
    addWidget(m_fileList);
    addWidget(m_position);

    connect(m_directoryList, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(m_entries.size())
            && needsScan(m_entries[static_cast<std::size_t>(index)]))
            scan(index);
        showEntry();
        if (QWidget* top = window())
            top->setFocus();
        emit navigationChanged();
    });
    connect(m_fileList, &QComboBox::activated, this, [this](int index) {
        setCurrent(index);
        applyCurrent();
        if (QWidget* top = window())
            top->setFocus();
    });
    showPosition();
    updateToolTips();
}

SelectFileBar::~SelectFileBar()
{
    if (m_scan.waitCursor)
        QApplication::restoreOverrideCursor();
    stopWorkers();
}

void SelectFileBar::stopWorkers()
{
    if (m_scan.cancel)
        m_scan.cancel->store(true);
    for (auto& worker : m_workers)
        worker.thread.join();
    m_workers.clear();
}

bool SelectFileBar::readsHeader(const QString& path)
{
    // The pixel stage checks the image attributes and the transfer syntax
    // without decoding any pixel, so a file listed here is one that can open.
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    options.pixelStage = &dicom::readPixelStage;
    dicom::DicomDataset dataset;
    return dicom::DicomReader(std::move(options)).read(QFile::encodeName(path).toStdString(), dataset);
}

SelectFileBar::DirectoryEntry* SelectFileBar::selectedEntry()
{
    const int i = m_directoryList->currentIndex();
    return i >= 0 && i < static_cast<int>(m_entries.size()) ? &m_entries[static_cast<std::size_t>(i)] : nullptr;
}

const SelectFileBar::DirectoryEntry* SelectFileBar::selectedEntry() const
{
    return const_cast<SelectFileBar*>(this)->selectedEntry();
}

int SelectFileBar::selectOrAdd(const QString& directory)
{
    const QString path = withTrailingSlash(directory);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].path == path) {
            m_directoryList->setCurrentIndex(static_cast<int>(i));
            return static_cast<int>(i);
        }
    }
    m_entries.push_back(DirectoryEntry { path, {}, -1, {}, false });
    m_directoryList->addItem(QDir::toNativeSeparators(path));
    m_directoryList->setCurrentIndex(static_cast<int>(m_entries.size()) - 1);
    return static_cast<int>(m_entries.size()) - 1;
}

bool SelectFileBar::needsScan(const DirectoryEntry& entry) const
{
    return !entry.scanned || entry.stamp != document::directoryStamp(entry.path.toStdString());
}

void SelectFileBar::scan(int index, bool waitCursor)
{
    // A newer request replaces a scan still running; the directory it left
    // unfinished is scanned again when it is next needed.
    if (m_scan.entry >= 0) {
        m_entries[static_cast<std::size_t>(m_scan.entry)].scanned = false;
        m_scan.cancel->store(true);
    }
    if (m_scan.waitCursor)
        QApplication::restoreOverrideCursor();
    ++m_scanCount;
    DirectoryEntry& entry = m_entries[static_cast<std::size_t>(index)];
    entry.stamp = document::directoryStamp(entry.path.toStdString());
    entry.scanned = true;
    std::error_code error;
    auto names = std::make_shared<const std::vector<std::string>>(
        document::listRegularFiles(entry.path.toStdString(), error));
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_scan = PendingScan { index, waitCursor, cancel };
    if (waitCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    // Probing reads every file's header: on the interface thread a slow disk
    // or a large folder would freeze the window, so both cores probe while
    // the window goes on, and the result comes back queued.
    std::erase_if(m_workers, [](Worker& worker) {
        if (!worker.done->load())
            return false;
        worker.thread.join();
        return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_workers.push_back({ std::thread([this, names, cancel, done, filter = m_filter, directory = entry.path] {
        std::vector<char> accepted(names->size(), 0);
        std::atomic<std::size_t> next {0};
        const auto probe = [&] {
            for (std::size_t i = next++; i < names->size() && !cancel->load(); i = next++)
                accepted[i] = !filter || filter(directory + QString::fromStdString((*names)[i]));
        };
        std::thread second(probe);
        probe();
        second.join();
        std::vector<std::string> kept;
        for (std::size_t i = 0; i < names->size(); ++i) {
            if (accepted[i])
                kept.push_back((*names)[i]);
        }
        QMetaObject::invokeMethod(this, [this, cancel, kept = std::move(kept)]() mutable {
            finishScan(cancel, std::move(kept));
        }, Qt::QueuedConnection);
        done->store(true);
    }), done });
}

void SelectFileBar::finishScan(const std::shared_ptr<std::atomic<bool>>& job, std::vector<std::string> accepted)
{
    if (job != m_scan.cancel || m_scan.entry < 0)
        return; // replaced by a newer scan
    DirectoryEntry& entry = m_entries[static_cast<std::size_t>(m_scan.entry)];
    const QString keep = entry.current >= 0 ? entry.files.value(entry.current) : QString();
    document::sortFileNames(accepted);
    entry.files.clear();
    for (const auto& name : accepted)
        entry.files.append(QString::fromStdString(name));
    entry.current = -1;
    if (!keep.isEmpty()) {
        // The open file stays listed even when the probe passes it over.
        entry.current = static_cast<int>(entry.files.indexOf(keep));
        if (entry.current < 0) {
            entry.files.append(keep);
            entry.current = static_cast<int>(entry.files.size()) - 1;
        }
    }
    if (m_scan.waitCursor)
        QApplication::restoreOverrideCursor();
    const bool shown = selectedEntry() == &entry;
    m_scan = {};
    if (shown)
        showEntry();
    emit navigationChanged();
    emit scanFinished();
}

bool SelectFileBar::addDirectory(const QString& directory)
{
    const std::size_t known = m_entries.size();
    const int index = selectOrAdd(directory);
    if (needsScan(m_entries[static_cast<std::size_t>(index)]))
        scan(index, true);
    showEntry();
    emit navigationChanged();
    return m_entries.size() > known;
}

void SelectFileBar::fileOpened(const QString& path)
{
    const QFileInfo info(path);
    const int index = selectOrAdd(info.absolutePath());
    DirectoryEntry& entry = m_entries[static_cast<std::size_t>(index)];
    const QString name = info.fileName();
    int found = static_cast<int>(entry.files.indexOf(name));
    if (found < 0) {
        entry.files.append(name);
        found = static_cast<int>(entry.files.size()) - 1;
    }
    entry.current = found;
    // Rescanning on every Next File would make stepping through a large
    // directory slow; only a change on disk makes the list stale.
    if (needsScan(entry))
        scan(index);
    showEntry();
    emit navigationChanged();
}

void SelectFileBar::refresh()
{
    const int index = m_directoryList->currentIndex();
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    scan(index, true);
}

void SelectFileBar::showEntry()
{
    fillFileList();
    showPosition();
    updateToolTips();
}

void SelectFileBar::fillFileList()
{
    m_fileList->clear();
    const DirectoryEntry* entry = selectedEntry();
    if (!entry)
        return;
    m_fileList->addItems(entry->files);
    m_fileList->setCurrentIndex(entry->current);
}

void SelectFileBar::showPosition() { m_position->setText(positionText()); }

QString SelectFileBar::positionText() const
{
    const DirectoryEntry* entry = selectedEntry();
    const int count = entry ? static_cast<int>(entry->files.size()) : 0;
    const int current = entry ? entry->current : -1;
    return QString::asprintf("%d/%d", current + 1, count);
}

void SelectFileBar::updateToolTips()
{
    // The whole path: the list itself may show it shortened.
    const QString directory = m_directoryList->currentText();
    m_directoryList->setToolTip(directory.isEmpty() ? tr("Current Directory") : directory);
    m_fileList->setToolTip(tipText(m_fileList->currentText(), tr("Current File")));
}

void SelectFileBar::setCurrent(int index)
{
    DirectoryEntry* entry = selectedEntry();
    if (!entry || index < -1 || index >= static_cast<int>(entry->files.size()))
        return;
    entry->current = index;
    m_fileList->setCurrentIndex(index);
    showPosition();
    updateToolTips();
}

void SelectFileBar::applyCurrent()
{
    const DirectoryEntry* entry = selectedEntry();
    emit navigationChanged();
    if (entry && entry->current >= 0 && entry->current < static_cast<int>(entry->files.size()))
        emit openRequested(entry->path + entry->files[entry->current]);
}

bool SelectFileBar::canGoBack() const
{
    const DirectoryEntry* entry = selectedEntry();
    return entry && !entry->files.isEmpty() && entry->current > 0;
}

bool SelectFileBar::canGoForward() const
{
    const DirectoryEntry* entry = selectedEntry();
    return entry && !entry->files.isEmpty() && entry->current < static_cast<int>(entry->files.size()) - 1;
}

void SelectFileBar::first()
{
    if (canGoBack()) {
        setCurrent(0);
        applyCurrent();
    }
}

void SelectFileBar::previous()
{
    if (canGoBack()) {
        setCurrent(selectedEntry()->current - 1);
        applyCurrent();
    }
}

void SelectFileBar::next()
{
    if (canGoForward()) {
        setCurrent(selectedEntry()->current + 1);
        applyCurrent();
    }
}

void SelectFileBar::last()
{
    if (canGoForward()) {
        setCurrent(static_cast<int>(selectedEntry()->files.size()) - 1);
        applyCurrent();
    }
}

QString SelectFileBar::currentDirectory() const
{
    const DirectoryEntry* entry = selectedEntry();
    return entry ? entry->path : QString();
}

QStringList SelectFileBar::files() const
{
    const DirectoryEntry* entry = selectedEntry();
    return entry ? entry->files : QStringList();
}

int SelectFileBar::currentIndex() const
{
    const DirectoryEntry* entry = selectedEntry();
    return entry ? entry->current : -1;
}
