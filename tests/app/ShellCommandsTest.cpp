#include "AppTestSupport.h"
#include "ScanFileTestFiles.h"
#include "ViewerFixture.h"

#include "app/dialogs/DirectoryContentsDialog.h"
#include "app/dialogs/ScanFileList.h"
#include "app/dialogs/SearchDialog.h"
#include "app/dialogs/ThresholdDialog.h"
#include "imaging/FrameImage.h"
#include "view/COrvoView.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

COrvoView* imageView(const Viewer& viewer)
{
    return viewer.app.mainFrame()->activeChild()->imageView();
}

} // namespace

// The commands of the shell as a user reaches them: menus, the view's
// context menu, the dialogs they open.
class ShellCommandsTest : public QObject {
    Q_OBJECT
private slots:
    // "P&rint Setup..." sets up the printer that printing and the preview use.
    void printSetupIsThePrinterPrintingUses()
    {
        Viewer viewer(TestFile::Part10);
        QVERIFY(viewer.doc);
        viewer.trigger(Command::PrintSetup);
        auto* setup = viewer.shown<QPageSetupDialog>();
        QVERIFY(setup);
        QPrinter* printer = setup->printer();
        printer->setPageOrientation(QPageLayout::Landscape);
        setup->reject();
        viewer.trigger(Command::Print);
        auto* print = viewer.shown<QPrintDialog>();
        QVERIFY(print);
        QCOMPARE(print->printer(), printer);
        QCOMPARE(print->printer()->pageLayout().orientation(), QPageLayout::Landscape);
        print->reject();
        viewer.trigger(Command::PrintPreview);
        auto* preview = viewer.shown<QPrintPreviewDialog>();
        QVERIFY(preview);
        QCOMPARE(preview->printer(), printer);
        preview->close();
    }

    // The copies of the selection menu run the Edit menu's commands.
    void selectionMenuCopiesReachTheClipboard_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("selection");
        QTest::newRow("Copy ROI") << QStringLiteral("Copy R&OI") << true;
        QTest::newRow("Copy Frame") << QStringLiteral("&Copy Frame\tCtrl+C") << false;
    }
    void selectionMenuCopiesReachTheClipboard()
    {
        QFETCH(QString, item);
        QFETCH(bool, selection);
        Viewer viewer(TestFile::MarkedFrame);
        QVERIFY(viewer.doc);
        QVERIFY(viewer.doc->frame()->selectRectangle(2, 3, 9, 13));
        const auto roi = viewer.doc->frame()->copySelection();
        QVERIFY(roi.has_value());
        const QSize expected = selection ? QSize(roi->width(), roi->height())
                                         : QSize(viewer.doc->frame()->width(), viewer.doc->frame()->height());
        viewer.app.mainFrame()->updateCommandStates();
        QApplication::clipboard()->clear();
        bool enabled = false;
        QTimer::singleShot(0, [&enabled, item] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions()) {
                if (action->text() == item) {
                    enabled = action->isEnabled();
                    menu->setActiveAction(action);
                }
            }
            QTest::keyClick(menu, enabled ? Qt::Key_Return : Qt::Key_Escape);
        });
        COrvoView* view = imageView(viewer);
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(view, &event);
        QVERIFY(enabled);
        QCOMPARE(QApplication::clipboard()->image().size(), expected);
    }

    // "Zoom &Normal" and its button stay usable at 1:1; only the "/" key
    // waits for another factor.
    void zoomNormalStaysEnabledAtActualSize()
    {
        Viewer viewer(TestFile::MarkedFrame);
        QVERIFY(viewer.doc);
        COrvoView* view = imageView(viewer);
        QCOMPARE(viewer.doc->zoom(), 1.0F);
        QVERIFY(viewer.enabled(Command::ZoomActualSize));
        auto* bar = viewer.app.mainFrame()->findChild<QToolBar*>(QStringLiteral("ViewToolbar"));
        QVERIFY(bar && bar->widgetForAction(viewer.app.mainFrame()->action(Command::ZoomActualSize))->isEnabled());
        view->setZoomFactor(2.0F);
        viewer.trigger(Command::ZoomActualSize);
        QCOMPARE(viewer.doc->zoom(), 1.0F);
        QVERIFY(viewer.enabled(Command::ZoomActualSize));
        QVERIFY(!view->canZoom(COrvoView::ZoomCommand::ActualSize));
    }

    // "Directory Contents" and "Search..." start in the folder of the file
    // opened last, not in the one stored when the program started.
    void folderDialogsStartWhereTheUserIs()
    {
        Viewer viewer(TestFile::Part10);
        QVERIFY(viewer.doc);
        viewer.trigger(Command::DirectoryContents);
        auto* contents = viewer.shown<DirectoryContentsDialog>();
        QVERIFY(contents);
        QCOMPARE(contents->fileList()->folder(), viewer.dir.path() + QLatin1Char('/'));
        viewer.trigger(Command::DirectoryContents);
        QVERIFY(!contents->isVisible());
        QTemporaryDir other;
        writeDicomStub(other.filePath(QStringLiteral("b.dcm")));
        QVERIFY(viewer.app.openDocumentFile(other.filePath(QStringLiteral("b.dcm"))));
        viewer.trigger(Command::DirectoryContents);
        QCOMPARE(contents->fileList()->folder(), other.path() + QLatin1Char('/'));
        viewer.trigger(Command::Search);
        auto* search = viewer.shown<SearchDialog>();
        QVERIFY(search);
        QCOMPARE(search->fileList()->folder(), other.path() + QLatin1Char('/'));
        search->close();
    }

    // "Search (%d)" counts every file the walk meets, listed or not.
    void scanCountsEveryFileWalked()
    {
        QTemporaryDir dir;
        writeDicomStub(dir.filePath(QStringLiteral("a.dcm")));
        writeDicomStub(dir.filePath(QStringLiteral("b.dcm")));
        for (const char* name : { "n1.txt", "n2.txt", "n3.txt" })
            QVERIFY(writeTextFile(dir.filePath(QString::fromLatin1(name))));
        ScanFileList list;
        // The readers hold on to the DICOM files until the count was seen.
        auto release = std::make_shared<std::atomic<bool>>(false);
        list.setFilter([release](const dicom::DicomDataset&) {
            while (!release->load())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return false;
        });
        QSignalSpy finished(&list, &ScanFileList::scanFinished);
        list.setFolder(dir.path());
        list.startScan();
        const QString counted = QStringLiteral("Search (5) : ") + dir.path() + QLatin1Char('/');
        QTRY_VERIFY2(list.statusLabel()->text().startsWith(counted), qPrintable(list.statusLabel()->text()));
        release->store(true);
        QVERIFY(finished.wait());
        QCOMPARE(list.list()->topLevelItemCount(), 0);
    }

    // The about box is as large as its text.
    void aboutTextReadsWithoutScrolling()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        int scrollRange = -1;
        QTimer::singleShot(200, [&scrollRange] {
            QWidget* about = QApplication::activeModalWidget();
            const auto* text = about ? about->findChild<QAbstractScrollArea*>() : nullptr;
            if (text)
                scrollRange = text->verticalScrollBar()->maximum() + text->horizontalScrollBar()->maximum();
            if (about)
                about->close();
        });
        app.mainFrame()->action(Command::About)->trigger();
        QCOMPARE(scrollRange, 0);
    }

    // "Thresholding" opens beside the picture it previews on.
    void thresholdingOpensBesideThePicture()
    {
        Viewer viewer(TestFile::MarkedFrame);
        QVERIFY(viewer.doc);
        // A narrow window at the screen's left leaves room beside its picture.
        CMainFrame* frame = viewer.app.mainFrame();
        frame->showNormal();
        frame->setGeometry(0, 0, 360, 560);
        COrvoView* view = imageView(viewer);
        QTRY_VERIFY(!view->displayedImageRect().isEmpty());
        QTRY_VERIFY(view->viewport()->mapToGlobal(view->displayedImageRect().topLeft()).x() < 300);
        const QRect shown = view->displayedImageRect().intersected(view->viewport()->rect());
        const QRect picture(view->viewport()->mapToGlobal(shown.topLeft()), shown.size());
        QRect placed;
        QTimer::singleShot(0, [&placed] {
            if (auto* dialog = qobject_cast<ThresholdDialog*>(QApplication::activeModalWidget())) {
                placed = dialog->frameGeometry();
                dialog->reject();
            }
        });
        viewer.trigger(Command::Thresholding);
        QVERIFY(placed.isValid());
        QVERIFY2(!placed.intersects(picture), qPrintable(QStringLiteral("%1,%2 %3x%4 over %5,%6")
                                                               .arg(placed.x()).arg(placed.y()).arg(placed.width())
                                                               .arg(placed.height()).arg(picture.x()).arg(picture.y())));
    }
};

TV_REGISTER_TEST(ShellCommandsTest);
#include "ShellCommandsTest.moc"
