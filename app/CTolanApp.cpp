#include "app/CTolanApp.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/commands/CommandTable.h"
#include "app/OpenWindow.h"
#include "app/SelectFileBar.h"
#include "app/UnsavedEdits.h"
#include "document/COrvoDoc.h"
#include "app/Command.h"
#include "app/Settings.h"
#include "app/dialogs/PreviewFileDialog.h"
#include "document/FileNameOrder.h"
#include "document/PastedPicture.h"
#include "view/COrvoView.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMdiArea>
#include <QTextDocument>
#include <QTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include <clocale>
#include <cmath>

CTolanApp::CTolanApp()
{
    // Qt adopts the user's locale at start; numbers read from and written to
    // files must not follow it (a decimal comma would corrupt them).
    std::setlocale(LC_NUMERIC, "C");
    if (auto store = settings::open()) {
        m_currentDirectory = settings::readString(*store, settings::SettingsGroup, settings::CurrentWorkingDirectory);
        m_options = settings::readUserOptions(*store);
    }
}

CTolanApp::~CTolanApp()
{
    // The main frame goes first so that nothing it changes is lost.
    m_mainFrame.reset();
    m_pending.clear();
    if (auto store = settings::open()) {
        settings::writeString(*store, settings::SettingsGroup, settings::CurrentWorkingDirectory, m_currentDirectory);
        settings::writeUserOptions(*store, m_options);
        store->sync();
    }
}

bool CTolanApp::start(const QStringList& arguments)
{
    QStringList files = arguments.mid(1);
    m_quitAfterPaint = files.removeAll(QString::fromLatin1(QuitAfterPaintOption)) > 0;
    m_mainFrame = std::make_unique<CMainFrame>(m_options);
    connectCommands();
    if (!openCommandLineFiles(files))
        return false;
    if (m_quitAfterPaint)
        watchFirstPaint();
    // Without a window manager a maximise request is ignored; the screen's
    // size then stands in for it.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_mainFrame->setGeometry(screen->availableGeometry());
    m_mainFrame->showMaximized();
    return true;
}

bool CTolanApp::openCommandLineFiles(const QStringList& files)
{
    // Each file opens as a document of its own, in the order given, so the
    // last one ends up on top; one that fails says why and the rest go on.
    int opened = 0;
    for (const QString& file : files)
        opened += openDocumentFile(file) ? 1 : 0;
    return files.isEmpty() || opened > 0;
}

void CTolanApp::watchFirstPaint()
{
    const CChildFrame* child = m_mainFrame->activeChild();
    if (!child) {
        QTimer::singleShot(0, this, &CTolanApp::firstFramePainted);
        return;
    }
    // Queued, so the paint finishes and reaches the screen before anyone quits.
    connect(child->imageView(), &COrvoView::framePainted, this, &CTolanApp::firstFramePainted,
        static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
}

void CTolanApp::connectCommands()
{
    CMainFrame& frame = *m_mainFrame;
    connect(&frame, &CMainFrame::openRequested, this, &CTolanApp::openDocumentFile);
    connect(&frame, &CMainFrame::openAsOneRequested, this, &CTolanApp::openAsOne);
    connect(&frame, &CMainFrame::openUnlistedRequested, this, [this](const QString& path, const QString& title) {
        m_pending.files = QStringList { path };
        m_pending.title = title;
        m_pending.privateCopy = true;
        newDocument();
    });
    connect(&frame, &CMainFrame::navigationRequested, this, &CTolanApp::navigateToFile);
    connect(&frame, &CMainFrame::currentDirectoryChosen, this, &CTolanApp::setCurrentDirectory);
    connect(&frame, &CMainFrame::picturePasted, this, &CTolanApp::pastePicture);
    CommandTable& table = frame.commands();
    table.add(Command::New, [this] { newDocument(); });
    table.add(Command::Open, [this] { openFiles(); });
    table.add(Command::About, [this] { showAbout(); });
    const auto hasWindow = [&frame] { return frame.activeChild() != nullptr; };
    table.add(Command::Reload, [this] { reopenActiveDocument(true); }, hasWindow);
    table.add(Command::Duplicate, [this] { reopenActiveDocument(false); }, hasWindow);
    table.add(Command::NewWindow, [this] { reopenActiveDocument(false); }, hasWindow);
    frame.updateCommandStates();
}

void CTolanApp::setCurrentDirectory(const QString& directory)
{
    // Stored with the options at shutdown: each write of the settings file
    // syncs it to disk, which would hold up every open.
    m_currentDirectory = directory;
}

std::shared_ptr<COrvoDoc> CTolanApp::loadDocument(const QString& path)
{
    const QFileInfo info(path);
    OpenWindow window(path, m_mainFrame.get());
    window.show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    auto document = std::make_shared<COrvoDoc>();
    // Store the directory even when the load fails, as File Open does.
    setCurrentDirectory(info.absolutePath());
    if (!info.isFile() || !document->load(info.absoluteFilePath(), m_options)) {
        m_lastOpenMessage = info.isFile() ? document->loadError() : tr("File not found!");
        window.showFailure(m_lastOpenMessage);
        if (m_mainFrame)
            m_mainFrame->fileOpenFailed(info.absoluteFilePath());
        return nullptr;
    }
    window.close();
    m_lastOpenMessage.clear();
    QDir::setCurrent(info.absolutePath());
    return document;
}

bool CTolanApp::openDocumentFile(const QString& path)
{
    auto document = loadDocument(path);
    return document && showDocument(std::move(document))
        && (m_mainFrame->fileOpened(QFileInfo(path).absoluteFilePath()), true);
}

bool CTolanApp::navigateToFile(const QString& path)
{
    CChildFrame* active = m_mainFrame ? m_mainFrame->activeChild() : nullptr;
    if (!active || !hasUnsavedEdits(*m_mainFrame, *active))
        return showNavigatedFile(path, active);
    const QPointer<CChildFrame> window = active;
    askToSaveEdits(
        *m_mainFrame, *active,
        [this, path, window] {
            if (window)
                showNavigatedFile(path, window);
        },
        [this, window] {
            // The select-file bar goes back to the file still shown.
            const QStringList shown = window ? window->document().sourcePaths() : QStringList();
            if (m_mainFrame && !shown.isEmpty())
                m_mainFrame->selectFileBar()->fileOpened(shown.first());
        });
    return false;
}

bool CTolanApp::showNavigatedFile(const QString& path, QPointer<CChildFrame> window)
{
    auto document = loadDocument(path);
    if (!document)
        return false;
    // The opening window runs events, in which the window may have gone.
    if (!window) {
        if (!showDocument(std::move(document)))
            return false;
    } else {
        // A new window each step would leave one window a file, each hiding
        // the others, and cost more than the file's load.
        window->replaceDocument(std::move(document));
        window->imageView()->setBackgroundColour(m_options.docBgColor);
    }
    m_mainFrame->fileOpened(QFileInfo(path).absoluteFilePath());
    return true;
}

bool CTolanApp::showDocument(std::shared_ptr<COrvoDoc> document)
{
    if (!m_mainFrame)
        return false;
    auto* child = new CChildFrame(std::move(document));
    child->imageView()->setBackgroundColour(m_options.docBgColor);
    m_mainFrame->addChildFrame(child);
    return true;
}

void CTolanApp::reopenActiveDocument(bool closeOld)
{
    // The failure message runs its own event loop, in which the window may go.
    QPointer<CChildFrame> child = m_mainFrame ? m_mainFrame->activeChild() : nullptr;
    if (!child)
        return;
    m_pending.files = child->document().sourcePaths();
    m_pending.title = child->document().fileTitle();
    m_pending.privateCopy = child->document().sourceIsPrivateCopy();
    const int before = static_cast<int>(m_mainFrame->mdiArea()->subWindowList().size());
    newDocument();
    const bool created = m_mainFrame->mdiArea()->subWindowList().size() > before;
    // The old window goes only once the new one holds frames; its edits
    // are what Reload was asked to drop.
    if (closeOld && created && child)
        child->closeWithoutAsking();
    else if (!closeOld && created)
        m_mainFrame->mdiArea()->tileSubWindows();
}

void CTolanApp::newDocument()
{
    if (!m_pending.files.isEmpty()) {
        std::vector<std::string> paths;
        for (const QString& file : m_pending.files)
            paths.push_back(file.toStdString());
        document::sortPathsByFileName(paths);
        m_pending.files.clear();
        for (const auto& p : paths)
            m_pending.files.append(QString::fromStdString(p));
    }
    if (!m_pending.files.isEmpty())
        return newDocumentOfFiles();
    if (!m_pending.pictures.empty())
        return newDocumentOfPictures();
    m_pending.clear();
    // Nothing pending: an empty document, named as new documents are.
    auto document = std::make_shared<COrvoDoc>();
    document->setFileTitle(nextNewTitle());
    showDocument(std::move(document));
}

QString CTolanApp::nextNewTitle()
{
    return QStringLiteral("Dicom%1").arg(++m_newDocumentCount);
}

void CTolanApp::newDocumentOfFiles()
{
    auto document = std::make_shared<COrvoDoc>();
    QProgressDialog progress(QString(), QString(), 0, static_cast<int>(m_pending.files.size()) - 1,
        m_mainFrame.get(), Qt::FramelessWindowHint);
    progress.setMinimumDuration(500);
    const bool loaded = document->loadFiles(m_pending.files, m_pending.title, m_options,
        [&progress](int index, int) { progress.setValue(index); });
    progress.close();
    const QString first = m_pending.files.first();
    document->setSourceIsPrivateCopy(loaded && m_pending.privateCopy);
    m_pending.clear();
    if (!loaded) {
        OpenWindow window(first, m_mainFrame.get());
        m_lastOpenMessage = document->loadError();
        window.showFailure(m_lastOpenMessage);
        return;
    }
    showDocument(std::move(document));
}

void CTolanApp::newDocumentOfPictures()
{
    std::vector<std::vector<std::uint8_t>> bitmaps;
    for (const QImage& picture : m_pending.pictures)
        bitmaps.push_back(document::packedBitmap(picture));
    m_pending.clear();
    auto document = std::make_shared<COrvoDoc>();
    bool made = false;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        OpenWindow window(tr("Creating Dicom file..."), m_mainFrame.get());
        window.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        made = document->loadPictures(bitmaps, nextNewTitle(), m_options);
        QApplication::restoreOverrideCursor();
    }
    if (!made) {
        m_lastOpenMessage = document->loadError();
        QMessageBox::critical(m_mainFrame.get(), CMainFrame::programName(), m_lastOpenMessage);
        return;
    }
    m_lastOpenMessage.clear();
    showDocument(std::move(document));
}

void CTolanApp::pastePicture(const QImage& picture)
{
    m_pending.clear();
    m_pending.pictures.push_back(picture);
    newDocument();
}

void CTolanApp::openFiles()
{
    const auto choice = PreviewFileDialog::choose(QApplication::activeWindow(), m_currentDirectory);
    if (!choice)
        return;
    const QStringList& chosen = choice->files;
    setCurrentDirectory(QFileInfo(chosen.first()).absolutePath());
    if (chosen.size() == 1) {
        openDocumentFile(chosen.first());
    } else if (choice->asOne) {
        openAsOne(chosen, tr("(Multiple files)"));
    } else {
        // Last reported first, so the window of the first file ends up on top.
        for (auto path = chosen.crbegin(); path != chosen.crend(); ++path)
            openDocumentFile(*path);
    }
}

void CTolanApp::openAsOne(const QStringList& paths, const QString& title)
{
    if (paths.isEmpty())
        return;
    m_pending.files = paths;
    m_pending.title = title;
    if (m_mainFrame)
        m_mainFrame->fileOpened(paths.first());
    newDocument();
    m_pending.clear();
}

void CTolanApp::showAbout()
{
    QDialog about(m_mainFrame.get());
    about.setWindowTitle(tr("About Tolan Viewer"));
    auto* layout = new QVBoxLayout(&about);
    layout->addWidget(new QLabel(QStringLiteral("Tolan Viewer %1").arg(QApplication::applicationVersion()), &about));
    auto* build = new QLabel(QString::asprintf("Build %04d", BuildNumber), &about);
    build->setObjectName(QStringLiteral("BuildNumber"));
    layout->addWidget(build);
    auto* disclaimer = new QTextEdit(&about);
    disclaimer->setObjectName(QStringLiteral("Disclaimer"));
    disclaimer->setReadOnly(true);
    disclaimer->setAcceptRichText(false);
    disclaimer->setPlainText(QStringLiteral(
        "Disclaimer\r\n"
        "This program is not a medical device and must not be used for diagnosis.\r\n\r\n"
        "JPEG decoding uses the Independent JPEG Group's library and a lossless JPEG "
        "decoder of this program's own.\r\n\r\n"
        "Warning: this program is protected by copyright law. Unauthorised reproduction "
        "or distribution of it, or of any part of it, may result in severe penalties."));
    // Some 60 characters wide and as tall as the text then is: it reads
    // without scrolling.
    const int textWidth = disclaimer->fontMetrics().averageCharWidth() * 60;
    disclaimer->document()->setTextWidth(textWidth);
    const int textHeight = static_cast<int>(std::ceil(disclaimer->document()->size().height()));
    const int frame = 2 * disclaimer->frameWidth();
    disclaimer->setMinimumSize(textWidth + frame, textHeight + frame);
    layout->addWidget(disclaimer);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    layout->addWidget(buttons);
    about.exec();
}
