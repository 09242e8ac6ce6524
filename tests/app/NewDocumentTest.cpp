// Documents made without File Open: a pasted picture, "New" with nothing
// pending, several files on the command line; and how the shell lays out
// and reports them.

#include "ViewerFixture.h"

#include "app/SelectFileBar.h"
#include "app/StatusPanes.h"
#include "imaging/FrameImage.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>

class NewDocumentTest : public QObject {
    Q_OBJECT

    static QList<QMdiSubWindow*> windows(const CTolanApp& app)
    {
        return app.mainFrame()->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    }
    static QString titleOf(QMdiSubWindow* window) { return window->windowTitle(); }

private slots:
    void pastedPictureBecomesADocumentOfThatPicture()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        QImage picture(3, 2, QImage::Format_RGB888);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x)
                picture.setPixelColor(x, y, QColor(10 * x + 1, 50 * y + 2, 7 * x + 11 * y + 3));
        }
        QApplication::clipboard()->setImage(picture);
        CMainFrame& frame = *app.mainFrame();
        frame.commands().update();
        QVERIFY(frame.action(Command::InsertClipboard)->isEnabled());
        frame.action(Command::InsertClipboard)->trigger();
        QVERIFY(frame.activeChild());
        const COrvoDoc& doc = frame.activeChild()->document();
        QCOMPARE(doc.frameCount(), 1);
        const imaging::FrameImage& image = *doc.frame(0);
        QCOMPARE(image.width(), 3);
        QCOMPARE(image.height(), 2);
        QCOMPARE(image.kind(), imaging::SampleKind::Rgb);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const auto value = image.pixelValue(x, y);
                QVERIFY(value);
                QCOMPARE(QColor(value->red, value->green, value->blue), picture.pixelColor(x, y));
            }
        }
        QCOMPARE(doc.fileTitle(), QStringLiteral("Dicom1"));
        QApplication::clipboard()->clear();
        frame.commands().update();
        QTRY_VERIFY(!frame.action(Command::InsertClipboard)->isEnabled());
    }

    void newWithNothingPendingOpensAnEmptyDocument()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        app.mainFrame()->action(Command::New)->trigger();
        app.mainFrame()->action(Command::New)->trigger();
        const auto shown = windows(app);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(titleOf(shown[0]), QStringLiteral("Dicom1"));
        QCOMPARE(titleOf(shown[1]), QStringLiteral("Dicom2"));
        QCOMPARE(app.mainFrame()->activeChild()->document().frameCount(), 0);
        app.mainFrame()->refreshStatusPanes();
        QCOMPARE(app.mainFrame()->statusPanes().text(StatusPanes::FrameSize), QString());
    }

    void everyCommandLineFileOpensInTheOrderGiven()
    {
        ScratchSettings scratch;
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("b.dcm"));
        const QString bad = dir.filePath(QStringLiteral("bad.dcm"));
        const QString second = dir.filePath(QStringLiteral("a.dcm"));
        writeTestFile(first, TestFile::Part10);
        writeTestFile(bad, TestFile::Truncated);
        writeTestFile(second, TestFile::RgbFrame);
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), first, bad, second }));
        const auto shown = windows(app);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(titleOf(shown[0]), QStringLiteral("b.dcm"));
        QCOMPARE(titleOf(shown[1]), QStringLiteral("a.dcm"));
    }

    void commandLineOfOnlyBadFilesEndsTheProgram_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
    }
    void commandLineOfOnlyBadFilesEndsTheProgram()
    {
        QFETCH(int, count);
        ScratchSettings scratch;
        QTemporaryDir dir;
        QStringList arguments { QStringLiteral("tolan-viewer") };
        for (int i = 0; i < count; ++i) {
            arguments.append(dir.filePath(QStringLiteral("bad%1.dcm").arg(i)));
            writeTestFile(arguments.last(), TestFile::Truncated);
        }
        CTolanApp app;
        QVERIFY(!app.start(arguments));
        QVERIFY(!app.lastOpenMessage().isEmpty());
    }

    void cascadedWindowsKeepAUsableSize()
    {
        Viewer viewer(TestFile::Part10);
        for (int i = 0; i < 2; ++i)
            viewer.trigger(Command::NewWindow);
        QMdiArea& area = *viewer.app.mainFrame()->mdiArea();
        area.resize(900, 700);
        viewer.trigger(Command::CascadeWindows);
        const auto shown = windows(viewer.app);
        QCOMPARE(shown.size(), 3);
        QSet<int> tops;
        for (QMdiSubWindow* window : shown) {
            QVERIFY2(window->height() >= area.viewport()->height() / 2, qPrintable(QString::number(window->height())));
            QVERIFY(!window->isMaximized());
            tops.insert(window->y());
        }
        QCOMPARE(tops.size(), 3);
        saveScreenshot(*viewer.app.mainFrame(), QStringLiteral("cascade"));
    }

    void narrowStatusBarHidesPanesFromTheLeft()
    {
        Viewer viewer(TestFile::Part10);
        StatusPanes& panes = viewer.app.mainFrame()->statusPanes();
        QStatusBar& bar = *viewer.app.mainFrame()->statusBar();
        bar.resize(2000, bar.height());
        QVERIFY(!panes.label(StatusPanes::FileDate)->isHidden());
        bar.resize(panes.label(StatusPanes::PixelValue)->minimumWidth() * 2, bar.height());
        QVERIFY(panes.label(StatusPanes::FileDate)->isHidden());
        QVERIFY(!panes.label(StatusPanes::PixelValue)->isHidden());
        int right = 0;
        for (int pane = 0; pane < StatusPanes::PaneCount; ++pane) {
            const QLabel* label = panes.label(static_cast<StatusPanes::Pane>(pane));
            if (!label->isHidden())
                right += label->minimumWidth();
        }
        QVERIFY(right <= bar.width());
    }

    void failedStepLeavesTheBarOnTheShownFile()
    {
        Viewer viewer(TestFile::Part10, QStringLiteral("IMG1.dcm"));
        writeTestFile(viewer.dir.filePath(QStringLiteral("IMG2.dcm")), TestFile::Part10);
        SelectFileBar& bar = *viewer.app.mainFrame()->selectFileBar();
        bar.refresh();
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(bar.files().size(), 2);
        // Listed when the folder was scanned, unreadable by the time it is opened.
        QFile::remove(viewer.dir.filePath(QStringLiteral("IMG2.dcm")));
        viewer.trigger(Command::NextFile);
        QCOMPARE(viewer.app.mainFrame()->activeChild()->document().fileTitle(), QStringLiteral("IMG1.dcm"));
        QTRY_COMPARE(bar.fileList()->currentText(), QStringLiteral("IMG1.dcm"));
    }
};

TV_REGISTER_TEST(NewDocumentTest);
#include "NewDocumentTest.moc"
