#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CFolderFrame.h"
#include "app/CFolderTabCtrl.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/OpenWindow.h"
#include "app/SelectFileBar.h"
#include "app/StatusPanes.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/COrvoList.h"
#include "view/COrvoView.h"
#include "tests/view/DocumentFacts.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

class OpenDocumentTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!QFileInfo::exists(testFile("syntax/ct1-ile.dcm")))
            QSKIP("test data folder not found");
    }

    void commandLineFileShowsItsFirstFrame()
    {
        ScratchSettings scratch;
        // The view's background is the user's "DocBgColor" (0x00BBGGRR).
        QSettings(scratch.iniPath(), QSettings::IniFormat).setValue(QStringLiteral("UserOptions/DocBgColor"), 0x00302010);
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("syntax/ct1-ile.dcm") }));
        CMainFrame* frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        CChildFrame* child = frame->activeChild();
        QVERIFY(child);
        QVERIFY(child->isMaximized());
        QTRY_VERIFY(child->imageView()->displayedImageRect().width() == 512);
        const QRect shown = child->imageView()->displayedImageRect();
        const QSize area = child->imageView()->viewport()->size();
        QCOMPARE(shown.left(), std::max(0, (area.width() - 512) / 2));
        QCOMPARE(shown.top(), std::max(0, (area.height() - 512) / 2));
        QCOMPARE(child->imageView()->backgroundColour(), QColor(0x10, 0x20, 0x30));

        const StatusPanes& panes = frame->statusPanes();
        const qint64 size = QFileInfo(testFile("syntax/ct1-ile.dcm")).size();
        QCOMPARE(panes.text(StatusPanes::FileSize), QStringLiteral("%1KB").arg(size / 1024));
        QCOMPARE(panes.text(StatusPanes::FrameSize), QStringLiteral("512x512"));
        QCOMPARE(panes.text(StatusPanes::FrameCount), QStringLiteral("001"));
        QCOMPARE(panes.text(StatusPanes::FrameNumber), QStringLiteral("   1"));
        QCOMPARE(panes.text(StatusPanes::FileDate), child->document().fileDate());

        frame->showCursor(10, 20);
        QCOMPARE(panes.text(StatusPanes::CursorX), QStringLiteral("0010"));
        QCOMPARE(panes.text(StatusPanes::CursorY), QStringLiteral("0020"));
        QVERIFY(!panes.text(StatusPanes::PixelValue).isEmpty());
        frame->showCursor(-1, -1);
        QVERIFY(panes.text(StatusPanes::PixelValue).isEmpty());

        // The select-file bar knows the file and its place in the directory.
        const SelectFileBar* bar = frame->selectFileBar();
        QTRY_VERIFY(!bar->isScanning());
        QCOMPARE(bar->fileList()->currentText(), QStringLiteral("ct1-ile.dcm"));
        QCOMPARE(bar->positionText(),
            QStringLiteral("%1/%2").arg(bar->currentIndex() + 1).arg(bar->files().size()));
    }

    void quitAfterPaintWaitsForTheFirstFrameOnScreen()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QSignalSpy painted(&app, &CTolanApp::firstFramePainted);
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), QString::fromLatin1(CTolanApp::QuitAfterPaintOption),
            testFile("syntax/ct1-ile.dcm") }));
        QVERIFY(app.quitAfterPaint());
        // The option is no file to open.
        QCOMPARE(app.mainFrame()->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(painted.count(), 0);
        QVERIFY(painted.wait());
        QCOMPARE(app.mainFrame()->activeChild()->imageView()->displayedImageRect().size(), QSize(512, 512));
        app.mainFrame()->activeChild()->imageView()->viewport()->repaint();
        QTest::qWait(20);
        QCOMPARE(painted.count(), 1);
    }

    void zoomListEntriesSetTheZoomAndRefusedTextsGiveWay()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("syntax/ct1-ile.dcm") }));
        CMainFrame* frame = app.mainFrame();
        QComboBox* list = frame->zoomList();
        COrvoDoc& doc = frame->activeChild()->document();
        QVERIFY(!frame->action(Command::ZoomBack)->isEnabled());
        emit list->textActivated(QStringLiteral("200.00%"));
        QCOMPARE(doc.zoom(), 2.0F);
        QVERIFY(frame->action(Command::ZoomBack)->isEnabled());
        QVERIFY(frame->action(Command::ZoomActualSize)->isEnabled());
        emit list->textActivated(QStringLiteral("-5%"));
        QCOMPARE(doc.zoom(), 2.0F);
        QCOMPARE(list->currentText(), QStringLiteral("200.00%"));
        emit list->textActivated(QStringLiteral("fit"));
        const QSize client = frame->activeChild()->imageView()->maximumViewportSize();
        QCOMPARE(doc.zoom(), std::min((client.width() - 2) / 512.0F, (client.height() - 2) / 512.0F));
    }

    void toolCommandsChooseTheActiveViewsTool()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("syntax/ct1-ile.dcm") }));
        CMainFrame* frame = app.mainFrame();
        QAction* levelWindow = frame->action(Command::LevelWindowTool);
        QVERIFY(levelWindow->isEnabled());
        QVERIFY(frame->action(Command::PanHandTool)->isChecked());
        levelWindow->trigger();
        QCOMPARE(frame->activeChild()->imageView()->currentTool(), viewmodel::Tool::LevelWindow);
        QVERIFY(levelWindow->isChecked());
        QVERIFY(!frame->action(Command::PanHandTool)->isChecked());

        // A drag is one step that Edit takes back and forth.
        COrvoView* view = frame->activeChild()->imageView();
        const imaging::Window before = frame->activeChild()->document().frame()->window();
        QVERIFY(!frame->action(Command::Undo)->isEnabled());
        const QPoint from = view->displayedImageRect().center();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), from + QPoint(0, 20));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, from + QPoint(0, 20));
        QVERIFY(frame->activeChild()->document().frame()->window() != before);
        QVERIFY(frame->action(Command::Undo)->isEnabled());
        frame->action(Command::Undo)->trigger();
        QCOMPARE(frame->activeChild()->document().frame()->window(), before);
        QVERIFY(!frame->action(Command::Undo)->isEnabled());
        QVERIFY(frame->action(Command::Redo)->isEnabled());
    }

    void headerTabListsTheDataSet()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("syntax/ct1-ile.dcm") }));
        CChildFrame* child = app.mainFrame()->activeChild();
        QVERIFY(child);
        CFolderTabCtrl* tabs = child->folderFrame()->tabStrip();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(child->mode(), CChildFrame::Mode::Header);
        QVERIFY(child->headerView()->isVisible());
        QVERIFY(!child->imageView()->isVisible());
        QVERIFY(child->headerView()->topLevelItemCount() > 10);
        QVERIFY(app.mainFrame()->action(Command::Header)->isChecked());
        app.mainFrame()->action(Command::SingleFrame)->trigger();
        QCOMPARE(tabs->selectedTab(), 0);
        QVERIFY(child->imageView()->isVisible());
    }

    void framesOfAMultiFrameFileAreSteppedAndShareOperations()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("multiframe/emri-10f-ele.dcm") }));
        CMainFrame* frame = app.mainFrame();
        const COrvoDoc& doc = frame->activeChild()->document();
        QCOMPARE(doc.frameCount(), 10);
        QVERIFY(!frame->action(Command::PreviousFrame)->isEnabled());
        // Right steps a frame in the image view, and is the list's own in the header.
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->activeChild()->showHeader();
        frame->activeChild()->headerView()->setFocus();
        QTest::keyClick(frame->activeChild()->headerView(), Qt::Key_Right);
        QCOMPARE(doc.currentFrameIndex(), 0);
        frame->activeChild()->showImage();
        frame->activeChild()->imageView()->setFocus();
        QTest::keyClick(frame->activeChild()->imageView(), Qt::Key_Right);
        QCOMPARE(doc.currentFrameIndex(), 1);
        frame->action(Command::FirstFrame)->trigger();
        // The movie command starts the movie and, again, stops it at the frame it left.
        QAction* movie = frame->action(Command::Movie);
        QVERIFY(movie->isEnabled());
        movie->trigger();
        QVERIFY(movie->isChecked());
        QTRY_VERIFY(doc.currentFrameIndex() != 0);
        movie->trigger();
        QVERIFY(!movie->isChecked());
        QCOMPARE(doc.currentFrameIndex(), 0);
        frame->action(Command::NextFrame)->trigger();
        QCOMPARE(doc.currentFrameIndex(), 1);
        QCOMPARE(frame->statusPanes().text(StatusPanes::FrameNumber), QStringLiteral("   2"));
        frame->action(Command::LastFrame)->trigger();
        QCOMPARE(frame->statusPanes().text(StatusPanes::FrameNumber), QStringLiteral("  10"));
        QVERIFY(!frame->action(Command::NextFrame)->isEnabled());
        QVERIFY(frame->action(Command::FirstFrame)->isEnabled());

        QAction* applyToAll = frame->action(Command::ApplyToAll);
        QVERIFY(applyToAll->isEnabled());
        QVERIFY(!applyToAll->isChecked());
        applyToAll->trigger();
        QVERIFY(doc.applyToAll());
        QVERIFY(applyToAll->isChecked());
        applyToAll->trigger();
        QVERIFY(!doc.applyToAll());
    }

    void rejectedFileShowsTheReaderMessageAndNoWindow()
    {
        ScratchSettings scratch;
        const QString junk = scratch.path() + QStringLiteral("/junk.dcm");
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x01\x02\x03", 3); // three bytes: not even one tag
        file.close();
        COrvoDoc probe;
        QVERIFY(!probe.load(junk, {}));

        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!app.openDocumentFile(junk));
        QVERIFY(clock.elapsed() >= OpenWindow::FailureDisplayMs - 50);
        QCOMPARE(app.lastOpenMessage(), probe.loadError());
        QVERIFY(app.mainFrame()->mdiArea()->subWindowList().isEmpty());
    }

    void twoFilesOpenedAsOneFollowFileNameOrder()
    {
        ScratchSettings scratch;
        QDir dir(scratch.path());
        QVERIFY(QFile::copy(testFile("grey/ct-8bit-ile.dcm"), dir.filePath(QStringLiteral("IMG10"))));
        QVERIFY(QFile::copy(testFile("multiframe/emri-10f-ele.dcm"), dir.filePath(QStringLiteral("IMG9"))));
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        app.pending().files = { dir.filePath(QStringLiteral("IMG10")), dir.filePath(QStringLiteral("IMG9")) };
        app.pending().title = QStringLiteral("(Multiple files)");
        app.newDocument();
        CChildFrame* child = app.mainFrame()->activeChild();
        QVERIFY(child);
        const COrvoDoc& doc = child->document();
        QCOMPARE(doc.frameCount(), 11);
        QCOMPARE(doc.sourcePaths().first(), dir.filePath(QStringLiteral("IMG9")));
        // IMG9's ten frames come first, then IMG10's single one.
        QCOMPARE(testfacts::frameWidth(doc, 0), testfacts::frameWidth(doc, 9));
        QCOMPARE(testfacts::frameWidth(doc, 10), 512);
        QVERIFY(app.pending().files.isEmpty());
        QCOMPARE(child->windowTitle(), QStringLiteral("(Multiple files)"));
    }

    void nextFileOnTheLastFileDoesNothing()
    {
        ScratchSettings scratch;
        QDir dir(scratch.path());
        QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), dir.filePath(QStringLiteral("a1.dcm"))));
        QVERIFY(QFile::copy(testFile("syntax/ct1-ele.dcm"), dir.filePath(QStringLiteral("a2.dcm"))));
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), dir.filePath(QStringLiteral("a1.dcm")) }));
        CMainFrame* frame = app.mainFrame();
        QTRY_VERIFY(frame->action(Command::NextFile)->isEnabled());
        frame->action(Command::NextFile)->trigger();
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(frame->selectFileBar()->positionText(), QStringLiteral("2/2"));
        QVERIFY(!frame->action(Command::NextFile)->isEnabled());
        frame->selectFileBar()->next();
        frame->action(Command::LastFile)->trigger();
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(frame->selectFileBar()->positionText(), QStringLiteral("2/2"));
    }

    // Going back to a window whose frame is larger than it fits the frame
    // in again; the main window losing and regaining the focus does not.
    void activatingAWindowFitsALargeFrame()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("syntax/ct1-ile.dcm") }));
        CMainFrame* frame = app.mainFrame();
        frame->showNormal();
        frame->resize(500, 400);
        QVERIFY(app.openDocumentFile(testFile("syntax/ct1-ile.dcm")));
        const QList<QMdiSubWindow*> windows = frame->mdiArea()->subWindowList();
        QCOMPARE(windows.size(), 2);
        auto* first = qobject_cast<CChildFrame*>(windows.first());
        frame->mdiArea()->setActiveSubWindow(first);
        QTRY_VERIFY(first->document().zoom() < 1.0F);
        first->imageView()->setZoomFactor(2.0F);
        frame->mdiArea()->setActiveSubWindow(first);
        QCOMPARE(first->document().zoom(), 2.0F);
        frame->mdiArea()->setActiveSubWindow(windows.last());
        frame->mdiArea()->setActiveSubWindow(first);
        QTRY_VERIFY(first->document().zoom() < 1.0F);
    }

    // Stepping shows each file in the active window, also one opened from
    // the command line, so a folder walked back and forth leaves one window.
    void steppingThroughAFolderKeepsOneWindow()
    {
        ScratchSettings scratch;
        QDir dir(scratch.path());
        for (const char* name : { "b1.dcm", "b2.dcm", "b3.dcm", "b4.dcm" })
            QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), dir.filePath(QString::fromLatin1(name))));
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), dir.filePath(QStringLiteral("b1.dcm")) }));
        CMainFrame* frame = app.mainFrame();
        const QPointer<CChildFrame> window = frame->activeChild();
        QTRY_VERIFY(frame->action(Command::NextFile)->isEnabled());
        for (int step = 0; step < 3; ++step)
            frame->action(Command::NextFile)->trigger();
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(frame->activeChild(), window.data());
        QCOMPARE(window->windowTitle(), QStringLiteral("b4.dcm"));
        QVERIFY(window->imageView()->actions().contains(frame->action(Command::NextFrame)));
        frame->action(Command::FirstFile)->trigger();
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(window->windowTitle(), QStringLiteral("b1.dcm"));
    }

    // A step away from unsaved edits asks first: Cancel keeps the document
    // and the bar's place, No shows the next file in the same window.
    void steppingAwayFromEditsAsksFirst()
    {
        ScratchSettings scratch;
        QDir dir(scratch.path());
        for (const char* name : { "b1.dcm", "b2.dcm" })
            QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), dir.filePath(QString::fromLatin1(name))));
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), dir.filePath(QStringLiteral("b1.dcm")) }));
        CMainFrame* frame = app.mainFrame();
        QTRY_VERIFY(frame->action(Command::NextFile)->isEnabled());
        frame->action(Command::Rotate90Clockwise)->trigger();
        QVERIFY(frame->activeChild()->document().isModified());
        const auto answer = [frame](QMessageBox::StandardButton button) {
            QMessageBox* box = nullptr;
            for (QMessageBox* shown : frame->findChildren<QMessageBox*>(QStringLiteral("SaveChangesPrompt")))
                box = shown->isVisible() ? shown : box;
            QVERIFY(box);
            QCOMPARE(box->text(), QStringLiteral("Save changes to b1.dcm?"));
            box->button(button)->click();
        };
        frame->action(Command::NextFile)->trigger();
        answer(QMessageBox::Cancel);
        QCOMPARE(frame->activeChild()->windowTitle(), QStringLiteral("b1.dcm"));
        QVERIFY(frame->activeChild()->document().isModified());
        QCOMPARE(frame->selectFileBar()->positionText(), QStringLiteral("1/2"));
        frame->action(Command::NextFile)->trigger();
        answer(QMessageBox::No);
        QTRY_COMPARE(frame->activeChild()->windowTitle(), QStringLiteral("b2.dcm"));
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(frame->selectFileBar()->positionText(), QStringLiteral("2/2"));
    }
};

TV_REGISTER_TEST(OpenDocumentTest);
#include "OpenDocumentTest.moc"
