// Pixel operations over every frame in scope, on worker threads, with Cancel.

#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/Command.h"
#include "app/FrameJob.h"
#include "app/LevelWindowBar.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Geometry.h"

#include <QAction>
#include <QMessageBox>
#include <QProgressDialog>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

class FrameJobTest : public QObject {
    Q_OBJECT
private:
    static void load(QTemporaryDir& dir, COrvoDoc& doc, TestFile file)
    {
        const QString path = dir.filePath(QStringLiteral("frames.dcm"));
        writeTestFile(path, file);
        QVERIFY(doc.load(path, {}));
        QCOMPARE(doc.toggleApplyToAll(), COrvoDoc::ApplyToAllResult::Toggled);
    }

    static bool halve(imaging::FrameImage& frame) { return imaging::resampleNearest(frame, 16, 8); }
    // A 32 x 32 frame turned by 30 degrees is 44 pixels wide.
    static bool turn(imaging::FrameImage& frame)
    {
        return imaging::rotateClockwise(frame, 30.0F, imaging::Interpolation::Bicubic);
    }

private slots:
    void everyFrameInScopeGetsOneStep()
    {
        QTemporaryDir dir;
        COrvoDoc doc;
        load(dir, doc, TestFile::SpacedFrames);
        QCOMPARE(runFrameJob(nullptr, doc, halve), 3);
        for (int f = 0; f < 3; ++f) {
            QCOMPARE(doc.frame(f)->width(), 16);
            QVERIFY(doc.undo(f));
            QCOMPARE(doc.frame(f)->width(), 32);
            QVERIFY(!doc.canUndo(f));
        }
    }

    void cancelLeavesEachFrameChangedWithItsStepOrUntouched()
    {
        QTemporaryDir dir;
        COrvoDoc doc;
        load(dir, doc, TestFile::HundredFrames);
        QWidget parent;
        std::atomic<int> started { 0 };
        std::atomic<bool> cancelled { false };
        // Cancel once a few frames are under way; the frames after them wait
        // for it, so it lands in the middle however slow the machine is.
        QTimer cancel;
        connect(&cancel, &QTimer::timeout, [&] {
            auto* progress = parent.findChild<QProgressDialog*>();
            if (progress && started.load() >= 4 && !cancelled.load()) {
                progress->cancel();
                cancelled.store(true);
            }
        });
        cancel.start(5);
        const int changed = runFrameJob(&parent, doc, [&](imaging::FrameImage& frame) {
            if (started.fetch_add(1) >= 4) {
                for (int wait = 0; wait < 5000 && !cancelled.load(); ++wait)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return turn(frame);
        });
        QVERIFY(changed >= 4 && changed < 100);
        int turned = 0;
        for (int f = 0; f < 100; ++f) {
            const bool done = doc.frame(f)->width() != 32;
            QCOMPARE(doc.canUndo(f), done);
            turned += done ? 1 : 0;
        }
        QCOMPARE(turned, changed);
        QCOMPARE(doc.frame(0)->width(), 32); // the current frame waits for the end
    }

    void framesOfDifferentSizesKeepApplyToAllOffWithTheMessage()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        const QString square = scratch.path() + QStringLiteral("/a.dcm");
        const QString narrow = scratch.path() + QStringLiteral("/b.dcm");
        writeTestFile(square, TestFile::SpacedFrame);
        writeTestFile(narrow, TestFile::Gradient);
        app.pending().files = { square, narrow };
        app.pending().title = QStringLiteral("two sizes");
        app.mainFrame()->action(Command::New)->trigger();
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        // The menu item is disabled for such frames; the bar's button says why.
        QVERIFY(!app.mainFrame()->action(Command::ApplyToAll)->isEnabled());
        app.mainFrame()->findChild<LevelWindowBar*>()->applyToAllButton()->click();
        QCOMPARE(shown, QStringLiteral("Images differ in width and/or height    "));
        QVERIFY(!app.mainFrame()->activeChild()->document().applyToAll());
    }
};

TV_REGISTER_TEST(FrameJobTest);
#include "FrameJobTest.moc"
