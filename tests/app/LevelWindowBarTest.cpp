#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/LevelWindowBar.h"
#include "app/WindowPresetsColumn.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "view/COrvoView.h"
#include "view/model/WindowPresets.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

const char* const TenFrames = "multiframe/emri-10f-ele.dcm";

// Opens `path` in a started application; the bar of its main frame, or nullptr.
LevelWindowBar* openIn(CTolanApp& app, const QString& path)
{
    if (!app.start({ QStringLiteral("tolan-viewer") }) || !app.openDocumentFile(path))
        return nullptr;
    return app.mainFrame()->findChild<LevelWindowBar*>();
}

COrvoDoc& documentOf(CTolanApp& app) { return app.mainFrame()->activeChild()->document(); }

imaging::Window windowOf(COrvoDoc& doc, int frame) { return doc.frame(frame)->window(); }

} // namespace

class LevelWindowBarTest : public QObject {
    Q_OBJECT
private slots:
    void presetGoesOnTheCurrentFrameAndDefaultOnEveryFrameInScope()
    {
        if (!QFileInfo::exists(testFile(TenFrames)))
            QSKIP("test data folder not found");
        ScratchSettings scratch;
        CTolanApp app;
        LevelWindowBar* bar = openIn(app, testFile(TenFrames));
        QVERIFY(bar);
        COrvoDoc& doc = documentOf(app);
        const int current = doc.currentFrameIndex();
        const int other = current == 0 ? 1 : 0;
        const imaging::Window otherBefore = windowOf(doc, other);

        QTest::mouseClick(bar->customButton(), Qt::LeftButton);
        QCOMPARE(bar->customButton()->text(), QStringLiteral("> Close"));
        // A first start writes the defaults into the settings.
        QCOMPARE(QSettings(scratch.iniPath(), QSettings::IniFormat).value("Windows/Name1").toString(),
            QStringLiteral("CT - Lang"));
        QTest::mouseClick(bar->presetsColumn()->presetButton(3), Qt::LeftButton); // "CT - Brain" 40/80
        QCOMPARE(windowOf(doc, current).centre, 40);
        QCOMPARE(windowOf(doc, current).width, 80);
        QCOMPARE(bar->centreEdit()->value(), 40);
        QCOMPARE(bar->widthEdit()->value(), 80);
        QCOMPARE(windowOf(doc, other).centre, otherBefore.centre);

        QTest::mouseClick(bar->applyToAllButton(), Qt::LeftButton);
        QVERIFY(doc.applyToAll());
        QTest::mouseClick(bar->presetsColumn()->presetButton(0), Qt::LeftButton);
        QTest::mouseClick(bar->defaultButton(), Qt::LeftButton);
        for (int f = 0; f < doc.frameCount(); ++f) {
            QCOMPARE(windowOf(doc, f).centre, doc.frame(f)->asLoadedWindow().centre);
            QCOMPARE(windowOf(doc, f).width, doc.frame(f)->asLoadedWindow().width);
        }
        // One step a frame: undoing Default brings back the preset before it.
        QVERIFY(doc.undo(other));
        QCOMPARE(windowOf(doc, other).width, 400);
    }

    // Next File puts another document in the window: the bar shows its
    // frame's ranges and follows its changes, not the old document's.
    void followsTheDocumentNextFileShows()
    {
        if (!QFileInfo::exists(testFile(TenFrames)))
            QSKIP("test data folder not found");
        ScratchSettings scratch;
        const QDir dir(scratch.path());
        QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), dir.filePath(QStringLiteral("a1.dcm"))));
        QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), dir.filePath(QStringLiteral("a2.dcm"))));
        QVERIFY(QFile::copy(testFile(TenFrames), dir.filePath(QStringLiteral("a3.dcm"))));
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), dir.filePath(QStringLiteral("a1.dcm")) }));
        CMainFrame* frame = app.mainFrame();
        auto* bar = frame->findChild<LevelWindowBar*>();
        const int firstMaximum = bar->centreSlider()->maximum();
        QTRY_VERIFY(frame->action(Command::NextFile)->isEnabled());
        frame->action(Command::NextFile)->trigger();
        frame->action(Command::NextFile)->trigger();
        COrvoDoc& doc = documentOf(app);
        QCOMPARE(doc.fileTitle(), QStringLiteral("a3.dcm"));
        const imaging::FrameImage& shown = *doc.frame();
        const viewmodel::SliderRange centres = viewmodel::centreRange({ shown.min(), shown.max() });
        QVERIFY(centres.high != firstMaximum);
        QCOMPARE(bar->centreSlider()->maximum(), centres.high);

        const imaging::Window set { shown.min() + (shown.max() - shown.min()) / 3, (shown.max() - shown.min()) / 2 };
        doc.changeFrames([&set](imaging::FrameImage& target, int) { return target.setWindow(set); });
        QCOMPARE(bar->centreEdit()->value(), set.centre);
        QCOMPARE(bar->widthEdit()->value(), set.width);
    }

    // A level-window drag shows in the bar while it goes on.
    void followsALevelWindowDragAsItGoes()
    {
        ScratchSettings scratch;
        CTolanApp app;
        LevelWindowBar* bar = openIn(app, testFile("syntax/ct1-ile.dcm"));
        QVERIFY(bar);
        CMainFrame* frame = app.mainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->action(Command::LevelWindowTool)->trigger();
        COrvoView* view = frame->activeChild()->imageView();
        const imaging::Window before = documentOf(app).frame()->window();
        const QPoint from = view->displayedImageRect().center();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), from + QPoint(12, 200));
        // This frame's own centre lies below its data; 200 pixels down
        // bring it into the range the bar shows.
        const imaging::Window dragged = documentOf(app).frame()->window();
        QVERIFY(dragged != before);
        QVERIFY(dragged.centre > documentOf(app).frame()->min() && dragged.centre < documentOf(app).frame()->max());
        QCOMPARE(bar->centreEdit()->value(), dragged.centre);
        QCOMPARE(bar->widthEdit()->value(), dragged.width);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, from + QPoint(12, 200));
        QCOMPARE(bar->centreEdit()->value(), documentOf(app).frame()->window().centre);
    }

    void centreControlsNeedTwoValuesBetweenTheEnds_data()
    {
        QTest::addColumn<bool>("flat");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("12-bit MR") << false << true;
        QTest::newRow("one value") << true << false;
    }

    void centreControlsNeedTwoValuesBetweenTheEnds()
    {
        QFETCH(bool, flat);
        QFETCH(bool, enabled);
        if (!flat && !QFileInfo::exists(testFile(TenFrames)))
            QSKIP("test data folder not found");
        ScratchSettings scratch;
        const QString flatPath = scratch.path() + QStringLiteral("/flat.dcm");
        writeTestFile(flatPath, TestFile::Flat16);
        CTolanApp app;
        LevelWindowBar* bar = openIn(app, flat ? flatPath : testFile(TenFrames));
        QVERIFY(bar);
        const imaging::FrameImage* frame = documentOf(app).frame();
        QCOMPARE(frame->max() - frame->min() >= 2, enabled);
        QCOMPARE(bar->centreSlider()->isEnabled(), enabled);
        QCOMPARE(bar->centreEdit()->isEnabled(), enabled);
        QVERIFY(bar->widthSlider()->isEnabled());
    }

    void typedWidthOfZeroIsRefused()
    {
        if (!QFileInfo::exists(testFile(TenFrames)))
            QSKIP("test data folder not found");
        ScratchSettings scratch;
        CTolanApp app;
        LevelWindowBar* bar = openIn(app, testFile(TenFrames));
        QVERIFY(bar);
        app.mainFrame()->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.mainFrame()));
        const imaging::Window before = documentOf(app).frame()->window();
        QSpinBox* width = bar->widthEdit();
        QCOMPARE(width->minimum(), 1);
        width->setFocus();
        width->selectAll();
        QTest::keyClicks(width, QStringLiteral("0"));
        QTest::keyClick(width, Qt::Key_Return);
        QCOMPARE(width->value(), before.width);
        QCOMPARE(documentOf(app).frame()->window().width, before.width);
    }

    void screenshotWithPresetsOpen()
    {
        const QByteArray folder = qgetenv("TV_SCREENSHOT_DIR");
        if (folder.isEmpty() || !QFileInfo::exists(testFile(TenFrames)))
            QSKIP("TV_SCREENSHOT_DIR not set");
        ScratchSettings scratch;
        CTolanApp app;
        LevelWindowBar* bar = openIn(app, testFile(TenFrames));
        QVERIFY(bar);
        app.mainFrame()->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.mainFrame()));
        QTest::mouseClick(bar->customButton(), Qt::LeftButton);
        QTest::qWait(150); // the column's buttons follow the active view every 100 ms
        QVERIFY(bar->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/level-window-bar.png")));
    }
};

TV_REGISTER_TEST(LevelWindowBarTest);
#include "LevelWindowBarTest.moc"
