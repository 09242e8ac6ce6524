#include "app/SelectFileBar.h"

#include "document/DirectoryScan.h"
#include "document/FileNameOrder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

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

} // namespace

SelectFileBar::SelectFileBar(QWidget* parent)
    : QToolBar(tr("Select file in current dirctory"), parent)
    , m_filter(&SelectFileBar::looksLikeDicom)
{
    setObjectName(QStringLiteral("SelectFileBar"));
    m_directoryList = new QComboBox(this);
    m_directoryList->setObjectName(QStringLiteral("CurrentDirectory"));
    m_directoryList->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
    m_directoryList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
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

    connect(m_directoryList, &QComboBox::activated, this, [this](int) {
        fillFileList();
        showPosition();
        updateToolTips();
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

bool SelectFileBar::looksLikeDicom(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(132);
    if (head.size() == 132 && head.mid(128, 4) == "DICM")
        return true;
    // A data set without the Part 10 preamble starts with a group 0x0002 or
    // 0x0008 element in little endian (PS3.5 7.1).
    if (head.size() < 8)
        return false;
    const auto group = static_cast<quint16>(static_cast<quint8>(head[0]) | (static_cast<quint8>(head[1]) << 8));
    return group == 0x0002 || group == 0x0008;
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

void SelectFileBar::scan(DirectoryEntry& entry)
{
    if (m_scanning)
        return;
    m_scanning = true;
    ++m_scanCount;
    const QString keep = entry.current >= 0 ? entry.files.value(entry.current) : QString();
    const QString directory = entry.path;
    entry.files.clear();
    entry.current = -1;
    entry.stamp = document::directoryStamp(directory.toStdString());

    std::error_code error;
    const auto names = document::listRegularFiles(directory.toStdString(), error);
    std::vector<std::string> accepted;
    for (const auto& name : names) {
        // A slow disk must not freeze the window while the headers are probed.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!m_filter || m_filter(directory + QString::fromStdString(name)))
            accepted.push_back(name);
    }
    document::sortFileNames(accepted);
    for (const auto& name : accepted)
        entry.files.append(QString::fromStdString(name));
    entry.scanned = true;
    if (!keep.isEmpty())
        entry.current = static_cast<int>(entry.files.indexOf(keep));
    m_scanning = false;
}

void SelectFileBar::addDirectory(const QString& directory)
{
    const int index = selectOrAdd(directory);
    DirectoryEntry& entry = m_entries[static_cast<std::size_t>(index)];
    if (!entry.scanned || entry.stamp != document::directoryStamp(entry.path.toStdString()))
        scan(entry);
    fillFileList();
    showPosition();
    updateToolTips();
    emit navigationChanged();
}

void SelectFileBar::fileOpened(const QString& path)
{
    const QFileInfo info(path);
    const int index = selectOrAdd(info.absolutePath());
    DirectoryEntry& entry = m_entries[static_cast<std::size_t>(index)];
    // Rescanning on every Next File would make stepping through a large
    // directory slow; only a change on disk makes the list stale.
    if (!entry.scanned || entry.stamp != document::directoryStamp(entry.path.toStdString()))
        scan(entry);
    const QString name = info.fileName();
    int found = static_cast<int>(entry.files.indexOf(name));
    if (found < 0) {
        entry.files.append(name);
        found = static_cast<int>(entry.files.size()) - 1;
    }
    entry.current = found;
    fillFileList();
    showPosition();
    updateToolTips();
    emit navigationChanged();
}

void SelectFileBar::refresh()
{
    DirectoryEntry* entry = selectedEntry();
    if (!entry)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    scan(*entry);
    QApplication::restoreOverrideCursor();
    fillFileList();
    showPosition();
    updateToolTips();
    emit navigationChanged();
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
    m_directoryList->setToolTip(tipText(m_directoryList->currentText(), tr("Current Directory")));
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
