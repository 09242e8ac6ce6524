// Pixel operations over every frame in scope, on worker threads, with Cancel.

#include "AppTestSupport.h"

#include "app/FrameJob.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Geometry.h"

#include <QProgressDialog>
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
};

TV_REGISTER_TEST(FrameJobTest);
#include "FrameJobTest.moc"
