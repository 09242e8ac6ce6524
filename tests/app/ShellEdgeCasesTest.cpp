#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/MainFrameActions.h"
#include "app/RecentFileList.h"
#include "app/SelectFileBar.h"
#include "app/StatusPanes.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/COrvoView.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QtTest>

// What happens to the shell when files vanish, windows close in the middle of
// work, or the user does things twice.
class ShellEdgeCasesTest : public QObject {
    Q_OBJECT
    static QAction* recentEntry(CMainFrame& frame, int number)
    {
        const QString prefix = QStringLiteral("&%1 ").arg(number);
        for (QAction* item : frame.actions().recentFilesAnchor()->actions()) {
            if (item->text().startsWith(prefix))
                return item;
        }
        return nullptr;
    }

private slots:
    void init()
    {
        if (!QFileInfo::exists(testFile("syntax/ct1-ile.dcm")))
            QSKIP("test data folder not found");
    }

    // A recent entry whose file is gone is dropped from the list, as the
    // framework does, instead of failing the same way on every later try.
    void recentEntryOfAVanishedFileIsDropped()
    {
        ScratchSettings scratch;
        const QString kept = QDir(scratch.path()).filePath(QStringLiteral("kept.dcm"));
        const QString gone = QDir(scratch.path()).filePath(QStringLiteral("gone.dcm"));
        QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), kept));
        QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), gone));
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), kept }));
        QVERIFY(app.openDocumentFile(gone));
        CMainFrame& frame = *app.mainFrame();
        QCOMPARE(frame.recentFiles().paths(), (QStringList { gone, kept }));
        QVERIFY(QFile::remove(gone));

        QAction* first = recentEntry(frame, 1);
        QVERIFY(first);
        first->trigger();
        QCOMPARE(app.lastOpenMessage(), QStringLiteral("File not found!"));
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(frame.recentFiles().paths(), QStringList { kept });

        // Opening from the list rebuilds the list the action belongs to.
        QAction* remaining = recentEntry(frame, 1);
        QVERIFY(remaining);
        remaining->trigger();
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 3);
        QCOMPARE(frame.recentFiles().paths(), QStringList { kept });
    }

    void reloadOfADeletedFileKeepsTheOldDocument()
    {
        ScratchSettings scratch;
        const QString path = QDir(scratch.path()).filePath(QStringLiteral("reload.dcm"));
        QVERIFY(QFile::copy(testFile("multiframe/emri-10f-ele.dcm"), path));
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), path }));
        CMainFrame& frame = *app.mainFrame();
        QPointer<CChildFrame> old = frame.activeChild();
        QVERIFY(old);
        old->document().lastFrame();

        // Still there: Reload gives a fresh document at its first frame.
        frame.action(Command::Reload)->trigger();
        QTRY_VERIFY(!old);
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
        QPointer<CChildFrame> reloaded = frame.activeChild();
        QVERIFY(reloaded);
        QCOMPARE(reloaded->document().frameCount(), 10);
        QCOMPARE(reloaded->document().currentFrameIndex(), 0);
        QCOMPARE(reloaded->windowTitle(), QStringLiteral("reload.dcm"));

        QVERIFY(QFile::remove(path));
        frame.action(Command::Reload)->trigger();
        QCoreApplication::processEvents();
        QVERIFY(reloaded);
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(frame.activeChild(), reloaded.data());
        QCOMPARE(reloaded->document().frameCount(), 10);
        QVERIFY(!app.lastOpenMessage().isEmpty());
    }

    void duplicateGivesAnIndependentSecondDocument()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("multiframe/emri-10f-ele.dcm") }));
        CMainFrame& frame = *app.mainFrame();
        CChildFrame* original = frame.activeChild();
        QVERIFY(original);
        frame.action(Command::Duplicate)->trigger();
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
        CChildFrame* copy = frame.activeChild();
        QVERIFY(copy && copy != original);
        QVERIFY(&copy->document() != &original->document());
        QCOMPARE(copy->document().frameCount(), 10);
        frame.action(Command::LastFrame)->trigger();
        QCOMPARE(copy->document().currentFrameIndex(), 9);
        QCOMPARE(original->document().currentFrameIndex(), 0);
        QCOMPARE(frame.statusPanes().text(StatusPanes::FrameNumber), QStringLiteral("  10"));
        // Closing the copy leaves the original whole and the panes on it.
        copy->close();
        QTRY_COMPARE(frame.mdiArea()->subWindowList().size(), 1);
        frame.mdiArea()->setActiveSubWindow(original);
        QCOMPARE(frame.statusPanes().text(StatusPanes::FrameNumber), QStringLiteral("   1"));
    }

    // The select-file bar probes the directory from the event loop; closing
    // every window, and even the main frame, must not leave it working on
    // freed state.
    void windowsCloseWhileTheDirectoryIsScanned()
    {
        ScratchSettings scratch;
        QDir dir(scratch.path());
        for (int i = 0; i < 3000; ++i)
            writeDicomStub(dir.filePath(QStringLiteral("stub%1").arg(i, 4, 10, QLatin1Char('0'))));
        QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), dir.filePath(QStringLiteral("zz.dcm"))));
        auto app = std::make_unique<CTolanApp>();
        QVERIFY(app->start({ QStringLiteral("tolan-viewer"), dir.filePath(QStringLiteral("zz.dcm")) }));
        CMainFrame& frame = *app->mainFrame();
        QVERIFY(frame.selectFileBar()->isScanning());
        frame.mdiArea()->closeAllSubWindows();
        QCoreApplication::processEvents();
        QVERIFY(frame.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(frame.statusPanes().text(StatusPanes::FrameSize), QStringLiteral(" "));
        QTRY_VERIFY_WITH_TIMEOUT(!frame.selectFileBar()->isScanning(), 30000);
        QCOMPARE(frame.selectFileBar()->positionText(), QStringLiteral("3001/3001"));
        // A second scan is cut short by the end of the program.
        frame.selectFileBar()->refresh();
        QVERIFY(frame.selectFileBar()->isScanning());
        app.reset();
        QCoreApplication::processEvents();
    }

    // Grey 16-bit frames hold signed values; the pane shows the minus sign.
    void signedPixelValueKeepsItsSign()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("grey/mr-12bit-signed-modality-lut.dcm") }));
        CMainFrame& frame = *app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CChildFrame* child = frame.activeChild();
        QVERIFY(child);
        const imaging::FrameImage* image = child->document().frame();
        QVERIFY(image && image->sampleDepth() == 16);
        QPoint negative(-1, -1);
        int value = 0;
        for (int y = 0; y < image->height() && negative.x() < 0; ++y) {
            for (int x = 0; x < image->width(); ++x) {
                const auto sample = image->pixelValue(x, y);
                if (sample && sample->red < 0) {
                    negative = QPoint(x, y);
                    value = sample->red;
                    break;
                }
            }
        }
        QVERIFY2(negative.x() >= 0, "the file has no negative sample");
        COrvoView* view = child->imageView();
        child->document().setZoom(1.0F);
        view->viewport()->grab();
        const QRect shown = view->displayedImageRect();
        QVERIFY(shown.contains(shown.topLeft() + negative));
        QTest::mouseMove(view->viewport(), shown.topLeft() + negative);
        QTRY_COMPARE(frame.statusPanes().text(StatusPanes::PixelValue), QString::number(value));
        QVERIFY(frame.statusPanes().text(StatusPanes::PixelValue).startsWith(QLatin1Char('-')));
        QCOMPARE(frame.statusPanes().text(StatusPanes::CursorX), QString::asprintf("%04d", negative.x()));
    }

    // The folder frame lays out its tabs, bars and views for any size the
    // user drags the window to; the frame keeps its size and stays centred.
    void mainFrameOfAnySizeLaysOutTheDocument_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("tiny") << QSize(40, 30);
        QTest::newRow("narrow") << QSize(120, 900);
        QTest::newRow("huge") << QSize(4000, 3000);
    }

    void mainFrameOfAnySizeLaysOutTheDocument()
    {
        QFETCH(QSize, size);
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("syntax/ct1-ile.dcm") }));
        CMainFrame& frame = *app.mainFrame();
        frame.showNormal();
        frame.resize(size);
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CChildFrame* child = frame.activeChild();
        QVERIFY(child);
        child->showHeader();
        child->showImage();
        COrvoView* view = child->imageView();
        // Opening fits the frame into a small window; the layout is checked
        // at actual size.
        child->document().setZoom(1.0F);
        view->viewport()->grab();
        const QRect shown = view->displayedImageRect();
        QCOMPARE(shown.size(), QSize(512, 512));
        const QSize port = view->viewport()->size();
        QVERIFY(port.width() >= 0 && port.height() >= 0);
        QCOMPARE(shown.left(), port.width() > 512 ? (port.width() - 512) / 2 : -view->horizontalScrollBar()->value());
    }

    // The zoom field follows the document's zoom, with or without a paint.
    void zoomFieldFollowsTheDocument()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("syntax/ct1-ile.dcm") }));
        CMainFrame& frame = *app.mainFrame();
        CChildFrame* child = frame.activeChild();
        QVERIFY(child);
        child->document().setZoom(2.0F);
        QCOMPARE(frame.zoomList()->currentText(), QStringLiteral("200.00%"));
        child->document().setZoom(0.5F);
        QCOMPARE(frame.zoomList()->currentText(), QStringLiteral("50.00%"));
        QCOMPARE(child->imageView()->computeImageRect().size(), QSize(256, 256));
    }
};

TV_REGISTER_TEST(ShellEdgeCasesTest);
#include "ShellEdgeCasesTest.moc"
