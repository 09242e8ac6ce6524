// The tools and the zoom driven through the real view with synthetic mouse,
// wheel, key and focus events.

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "tests/support/DicomBytes.h"
#include "view/COrvoView.h"

#include <QScrollBar>
#include <QtTest>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class ToolTest : public QObject {
    Q_OBJECT
private:
    // A 100 x 100 16-bit frame whose values run 0..999, so a pixel of drag is
    // 2.5 window units, and the file gives no window: it opens at 500/1000.
    static QString rampFile(int frames = 1)
    {
        testsupport::DicomBytes b;
        b.part10Header("1.2.840.10008.1.2.1");
        b.elementU16(0x0028, 0x0002, "US", 1);           // Samples per Pixel
        b.element(0x0028, 0x0004, "CS", "MONOCHROME2 "); // Photometric Interpretation
        b.element(0x0028, 0x0008, "IS", std::to_string(frames) + " "); // Number of Frames
        b.elementU16(0x0028, 0x0010, "US", 100);         // Rows
        b.elementU16(0x0028, 0x0011, "US", 100);         // Columns
        b.elementU16(0x0028, 0x0100, "US", 16);          // Bits Allocated
        b.elementU16(0x0028, 0x0101, "US", 16);          // Bits Stored
        b.elementU16(0x0028, 0x0102, "US", 15);          // High Bit
        b.elementU16(0x0028, 0x0103, "US", 0);           // Pixel Representation
        b.tag(0x7FE0, 0x0010).vr("OW").reserved().len32(static_cast<std::uint32_t>(frames) * 100 * 100 * 2); // Pixel Data
        for (int f = 0; f < frames; ++f) {
            for (int i = 0; i < 100 * 100; ++i)
                b.u16(static_cast<std::uint16_t>(i * 999 / 9999));
        }
        return QString::fromStdString(b.writeTemp("tool-ramp-" + std::to_string(frames) + ".dcm").string());
    }

    struct Shown {
        COrvoDoc doc;
        COrvoView view { doc };
    };

    static void show(Shown& shown, viewmodel::Tool tool, float zoom = 1.0F, int frames = 1)
    {
        QVERIFY(shown.doc.load(rampFile(frames), {}));
        shown.doc.setZoom(zoom);
        shown.view.resize(300, 300);
        shown.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        shown.view.selectTool(tool);
    }

    static QPoint centre(const COrvoView& view) { return view.displayedImageRect().center(); }

private slots:
    void levelWindowDragIsOneStepAfterBackAndForthOrAFocusLoss_data()
    {
        QTest::addColumn<bool>("loseFocus");
        QTest::newRow("released") << false;
        QTest::newRow("focus lost") << true;
    }

    void levelWindowDragIsOneStepAfterBackAndForthOrAFocusLoss()
    {
        QFETCH(bool, loseFocus);
        Shown shown;
        show(shown, viewmodel::Tool::LevelWindow);
        QWidget* port = shown.view.viewport();
        const QPoint from = centre(shown.view);
        QCOMPARE(shown.doc.frame()->window(), (imaging::Window { 500, 1000 }));
        QTest::mousePress(port, Qt::LeftButton, {}, from);
        for (int dy : { 40, -30, 25, 10 })
            QTest::mouseMove(port, from + QPoint(0, dy));
        if (loseFocus) {
            QFocusEvent out(QEvent::FocusOut);
            QCoreApplication::sendEvent(&shown.view, &out);
        } else {
            QTest::mouseRelease(port, Qt::LeftButton, {}, from + QPoint(0, 10));
        }
        // Ten pixels down raise the centre by 25; the width stays.
        QCOMPARE(shown.doc.frame()->window(), (imaging::Window { 525, 1000 }));
        QVERIFY(shown.doc.undo(0));
        QCOMPARE(shown.doc.frame()->window(), (imaging::Window { 500, 1000 }));
        QVERIFY(!shown.doc.canUndo(0));
    }

    void panDragMovesThePicture()
    {
        Shown shown;
        show(shown, viewmodel::Tool::PanHand, 8.0F);
        QWidget* port = shown.view.viewport();
        QScrollBar* across = shown.view.horizontalScrollBar();
        across->setValue(100);
        QTest::mousePress(port, Qt::LeftButton, {}, QPoint(150, 150));
        QTest::mouseMove(port, QPoint(120, 150));
        QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(120, 150));
        QCOMPARE(across->value(), 130);
    }

    // Typed keys and wheel notches zoom and are recorded; notches in a row
    // make one history entry, and Back and Forward walk the entries.
    void zoomKeysAndWheelFillTheHistory()
    {
        Shown shown;
        show(shown, viewmodel::Tool::PanHand);
        QVERIFY(!shown.view.canZoom(COrvoView::ZoomCommand::ActualSize));
        QTest::keyClicks(&shown.view, QStringLiteral("+"));
        const float stepped = 1.1F;
        QCOMPARE(shown.doc.zoom(), stepped);
        for (int notch = 0; notch < 3; ++notch) {
            QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(shown.view.viewport(), &wheel);
        }
        QVERIFY(std::abs(shown.doc.zoom() - 1.4F) < 1e-6F);
        QCOMPARE(shown.view.zoomHistory().count(), std::size_t { 3 });
        QVERIFY(shown.view.zoom(COrvoView::ZoomCommand::Back));
        QCOMPARE(shown.doc.zoom(), stepped);
        QVERIFY(shown.view.zoom(COrvoView::ZoomCommand::Back));
        QCOMPARE(shown.doc.zoom(), 1.0F);
        QVERIFY(!shown.view.canZoom(COrvoView::ZoomCommand::Back));
        QVERIFY(shown.view.zoom(COrvoView::ZoomCommand::Forward));
        QCOMPARE(shown.doc.zoom(), stepped);
    }

    // Forward from frame 1 of 3 shows 2, 0, 1, 2 ... and ESC brings frame 1 back.
    void movieWrapsAndRestoresItsStartingFrame()
    {
        Shown shown;
        show(shown, viewmodel::Tool::PanHand, 1.0F, 3);
        shown.doc.setFrameTime(5.0);
        shown.doc.setCurrentFrame(1);
        std::vector<int> shownFrames;
        // Each frame once, however often it is painted.
        connect(&shown.view, &COrvoView::framePainted, this, [&] {
            const int now = shown.doc.currentFrameIndex();
            if (shownFrames.empty() || shownFrames.back() != now)
                shownFrames.push_back(now);
        });
        shown.view.playMovie(COrvoView::Movie::Forward);
        QVERIFY(shown.view.playingMovie());
        QTRY_VERIFY(shownFrames.size() >= 5);
        const std::vector<int> first(shownFrames.begin() + (shownFrames.front() == 1 ? 1 : 0),
                                     shownFrames.begin() + (shownFrames.front() == 1 ? 5 : 4));
        QCOMPARE(first, (std::vector<int> { 2, 0, 1, 2 }));
        QTest::keyClick(&shown.view, Qt::Key_Escape);
        QVERIFY(!shown.view.playingMovie());
        QCOMPARE(shown.doc.currentFrameIndex(), 1);
        QCOMPARE(shown.view.currentTool(), viewmodel::Tool::PanHand);
    }

    // The view and its timer go while the movie plays; ASan watches.
    void closingWhileTheMoviePlaysIsSafe()
    {
        COrvoDoc doc;
        QVERIFY(doc.load(rampFile(3), {}));
        doc.setFrameTime(1.0);
        auto view = std::make_unique<COrvoView>(doc);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->playMovie(COrvoView::Movie::Backward);
        QTest::qWait(20);
        view.reset();
        QTest::qWait(20);
        QCOMPARE(doc.frameCount(), 3);
    }
};

QTEST_MAIN(ToolTest)
#include "ToolTest.moc"
