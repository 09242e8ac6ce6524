#include "app/CMainFrame.h"

#include "app/CChildFrame.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Commands.h"

#include "app/MainFrameActions.h"
#include "app/MdiBackground.h"
#include "app/RecentFileList.h"
#include "app/SelectFileBar.h"
#include "app/Settings.h"
#include "app/StatusPanes.h"
#include "app/UnsavedEdits.h"
#include "document/COrvoDoc.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

CMainFrame::CMainFrame(document::UserOptions& options, QWidget* parent)
    : QMainWindow(parent)
    , m_options(options)
{
    setWindowTitle(programName());
    setObjectName(QStringLiteral("MainFrame"));
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    m_actions = std::make_unique<MainFrameActions>(*this);
    m_commands = std::make_unique<CommandTable>([this](Command id) { return action(id); }, *this,
        [this] { updateCommandStates(); });
    m_statusPanes = std::make_unique<StatusPanes>(*statusBar());
    m_recentFiles = new RecentFileList(*m_actions->recentFilesAnchor(), m_actions->recentFilesSeparator(), this);
    if (auto store = settings::open())
        m_recentFiles->load(*store);
    createToolBars();
    connectCommands();
    restoreBars();
    applyOptions();
    setAcceptDrops(true);
    resize(1024, 768);
    updateCommandStates();
}

CMainFrame::~CMainFrame()
{
    // The program may end without the window being closed.
    saveBarsAndRecentFiles();
    // The document windows go after this object's own destructor has run;
    // their last signals must not reach it.
    // A window closed but not yet deleted has left subWindowList() already.
    for (QMdiSubWindow* window : m_mdiArea->findChildren<QMdiSubWindow*>())
        window->disconnect(this);
    m_mdiArea->disconnect(this);
    // The bars hide as the window goes, after the command table they report to.
    for (QToolBar* bar : findChildren<QToolBar*>())
        bar->disconnect(this);
    for (QDockWidget* bar : findChildren<QDockWidget*>())
        bar->disconnect(this);
}

QAction* CMainFrame::action(Command command) const { return m_actions->action(command); }

void CMainFrame::applyOptions()
{
    const auto c = m_options.mainBgColor;
    MdiBackground::apply(*m_mdiArea, QColor(document::redOf(c), document::greenOf(c), document::blueOf(c)),
                         m_options.bgImage ? MdiBackground::Pictures::On : MdiBackground::Pictures::Off);
}

void CMainFrame::connectCommands()
{
    connect(m_selectFileBar, &SelectFileBar::openRequested, this, &CMainFrame::navigationRequested);
    connect(m_selectFileBar, &SelectFileBar::navigationChanged, this, &CMainFrame::updateCommandStates);
    connect(m_recentFiles, &RecentFileList::openRequested, this, &CMainFrame::openRequested);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] {
        childActivated();
        updateCommandStates();
        refreshStatusPanes();
        emit activeDocumentChanged();
    });
    connect(m_zoomList, &QComboBox::textActivated, this, &CMainFrame::chooseZoom);
    addWindowCommands(*m_commands, *this);
    addDocumentCommands(*m_commands, *this);
    addToolCommands(*m_commands, *this);
    addEditCommands(*m_commands, *this);
    addSelectionCommands(*m_commands, *this);
    addZoomCommands(*m_commands, *this);
    addFrameListCommands(*m_commands, *this);
    addImageInfoCommands(*m_commands, *this);
    addOverlayCommands(*m_commands, *this);
    addGeometryCommands(*m_commands, *this);
    addIntensityCommands(*m_commands, *this);
    addPaletteCommands(*m_commands, *this);
    addSaveCommands(*m_commands, *this);
    addAnonymizeCommands(*m_commands, *this);
    addExportCommands(*m_commands, *this);
    addHtmlExportCommands(*m_commands, *this);
    addPrintCommands(*m_commands, *this);
    addClipboardCommands(*m_commands, *this);
    addAviCommands(*m_commands, *this);
    addDirectoryCommands(*m_commands, *this);
    addBatchConvertCommands(*m_commands, *this);
    addOpenCommands(*m_commands, *this);
    addOpenMultipleCommands(*m_commands, *this);
    addPreferencesCommands(*m_commands, *this);
    addSystemInfoCommands(*m_commands, *this);
    addCalculatorCommands(*m_commands, *this);
    addInternetCommands(*m_commands, *this);
}

void CMainFrame::updateCommandStates()
{
    m_commands->update();
    m_zoomList->setEnabled(m_mdiArea->activeSubWindow() != nullptr);
}

void CMainFrame::fileOpened(const QString& path)
{
    m_selectFileBar->fileOpened(path);
    // Written with the bars when the frame closes: a settings file write
    // costs more than the open itself on some disks.
    m_recentFiles->add(path);
    updateCommandStates();
}

void CMainFrame::selectDirectory(const QString& directory)
{
    const QString path = QDir(directory).absolutePath();
    QDir::setCurrent(path);
    if (m_selectFileBar->addDirectory(path))
        emit currentDirectoryChosen(path);
}

void CMainFrame::fileOpenFailed(const QString& path)
{
    // As the framework does for its recent list: an entry that cannot be
    // opened would fail the same way every time.
    m_recentFiles->remove(QFileInfo(path).absoluteFilePath());
    // The bar goes back to the file that is still shown, so that what it
    // says and what the window shows agree.
    if (const CChildFrame* child = activeChild()) {
        const QStringList shown = child->document().sourcePaths();
        if (!shown.isEmpty())
            m_selectFileBar->fileOpened(shown.first());
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    if (openDroppedUrls(event->mimeData()->urls()) > 0)
        event->acceptProposedAction();
}

int CMainFrame::openDroppedUrls(const QList<QUrl>& urls)
{
    QStringList files;
    for (const QUrl& url : urls) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files.append(url.toLocalFile());
    }
    // The drop ends first: a failed open shows its message for a while, and
    // the dragging program would wait for the drop all that time.
    if (!files.isEmpty()) {
        QMetaObject::invokeMethod(this, [this, files] {
            for (const QString& file : files)
                emit openRequested(file);
        }, Qt::QueuedConnection);
    }
    return static_cast<int>(files.size());
}

void CMainFrame::restoreBars()
{
    auto store = settings::open();
    if (!store)
        return;
    store->beginGroup(QString::fromLatin1(settings::BarsGroup));
    const QByteArray state = store->value(QStringLiteral("State")).toByteArray();
    store->endGroup();
    if (!state.isEmpty())
        restoreState(state);
}

void CMainFrame::saveBarsAndRecentFiles()
{
    if (m_barsSaved)
        return;
    m_barsSaved = true;
    auto store = settings::open();
    if (!store)
        return;
    store->beginGroup(QString::fromLatin1(settings::BarsGroup));
    store->setValue(QStringLiteral("State"), saveState());
    store->endGroup();
    m_recentFiles->save(*store);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // One question at a time: the window closes, and this close runs again,
    // once the answer lets it.
    if (CChildFrame* edited = firstWindowWithUnsavedEdits(*this)) {
        event->ignore();
        const QPointer<CChildFrame> window = edited;
        askToSaveEdits(*this, *edited, [this, window] {
            if (window)
                window->closeWithoutAsking();
            if (!window || window->isHidden())
                close();
        });
        return;
    }
    m_mdiArea->closeAllSubWindows();
    if (!m_mdiArea->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    saveBarsAndRecentFiles();
    QMainWindow::closeEvent(event);
}
