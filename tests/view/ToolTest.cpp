// The tools and the zoom driven through the real view with synthetic mouse,
// wheel, key and focus events.

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "tests/support/DicomBytes.h"
#include "view/AutoScrollMarker.h"
#include "view/COrvoView.h"

#include <QScrollBar>
#include <QtTest>

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
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

    static std::optional<viewmodel::Point> pixelAt(const COrvoView& view, QPoint at)
    {
        return view.transform().toImage({ at.x(), at.y() });
    }

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

    // At 4 the 100-pixel frame is larger than the window either way and it
    // is scrolled away from the corner, so the pressed pixel can stay where
    // it is; Control zooms out instead.
    void zoomToolPressKeepsThePixelUnderTheCursorAndRecordsOnce_data()
    {
        QTest::addColumn<float>("from");
        QTest::addColumn<Qt::KeyboardModifiers>("keys");
        QTest::addColumn<float>("zoom");
        QTest::newRow("in") << 4.0F << Qt::KeyboardModifiers() << 4.5F;
        QTest::newRow("out with Control") << 4.0F << Qt::KeyboardModifiers(Qt::ControlModifier) << 3.5F;
    }

    void zoomToolPressKeepsThePixelUnderTheCursorAndRecordsOnce()
    {
        QFETCH(float, from);
        QFETCH(Qt::KeyboardModifiers, keys);
        QFETCH(float, zoom);
        Shown shown;
        show(shown, viewmodel::Tool::ZoomInOut, from);
        shown.view.horizontalScrollBar()->setValue(37);
        shown.view.verticalScrollBar()->setValue(40);
        const QPoint at(100, 120);
        const auto pixel = pixelAt(shown.view, at);
        QVERIFY(pixel);
        QTest::mousePress(shown.view.viewport(), Qt::LeftButton, keys, at);
        QCOMPARE(shown.doc.zoom(), zoom);
        QCOMPARE(pixelAt(shown.view, at), pixel);
        QTest::mouseRelease(shown.view.viewport(), Qt::LeftButton, keys, at);
        QCOMPARE(shown.view.zoomHistory().count(), std::size_t { 2 });
        QCOMPARE(shown.view.zoomHistory().current().zoom, static_cast<double>(zoom));
    }

    // The frame is centred at 100..199 in the 300-pixel window; a drag over
    // 70 x 20 image pixels shows them at 300 / 70 = 4.2857, rounded down to
    // hundredths. Zoom keys typed during the drag are ignored.
    void zoomRectangleShowsTheDraggedPartAsLargeAsFits()
    {
        Shown shown;
        shown.view.setFrameShape(QFrame::NoFrame);
        show(shown, viewmodel::Tool::ZoomRectangle);
        QWidget* port = shown.view.viewport();
        QCOMPARE(port->size(), QSize(300, 300));
        QTest::mousePress(port, Qt::LeftButton, {}, QPoint(110, 110));
        QTest::mouseMove(port, QPoint(180, 130));
        QTest::keyClicks(&shown.view, QStringLiteral("+"));
        QCOMPARE(shown.doc.zoom(), 1.0F);
        QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(180, 130));
        QCOMPARE(shown.doc.zoom(), 4.28F);
        QCOMPARE(shown.view.zoomHistory().count(), std::size_t { 2 });
    }

    void dynamicZoomDragUpEnlargesAboutThePressedPixel()
    {
        Shown shown;
        show(shown, viewmodel::Tool::DynamicZoom, 4.0F);
        shown.view.horizontalScrollBar()->setValue(37);
        shown.view.verticalScrollBar()->setValue(40);
        QWidget* port = shown.view.viewport();
        const QPoint at(130, 160);
        const auto pixel = pixelAt(shown.view, at);
        QTest::mousePress(port, Qt::LeftButton, {}, at);
        for (int dy : { -10, -20 })
            QTest::mouseMove(port, at + QPoint(0, dy));
        QTest::mouseRelease(port, Qt::LeftButton, {}, at + QPoint(0, -20));
        // 20 pixels up at 0.015 a pixel.
        QVERIFY(std::abs(shown.doc.zoom() - 4.3F) < 1e-5F);
        QCOMPARE(pixelAt(shown.view, at), pixel);
        QCOMPARE(shown.view.zoomHistory().count(), std::size_t { 2 });
    }

    // Right of the marker only the horizontal scroll moves; a press closes it.
    void autoScrollMovesTowardsTheCursorUntilAPress()
    {
        Shown shown;
        show(shown, viewmodel::Tool::PanHand, 8.0F);
        QWidget* port = shown.view.viewport();
        QTest::mousePress(port, Qt::MiddleButton, {}, QPoint(150, 150));
        QVERIFY(shown.view.findChild<AutoScrollMarker*>());
        QCursor::setPos(port->mapToGlobal(QPoint(250, 150)));
        QTRY_VERIFY(shown.view.horizontalScrollBar()->value() > 0);
        QCOMPARE(shown.view.verticalScrollBar()->value(), 0);
        QTest::mousePress(port, Qt::LeftButton, {}, QPoint(150, 150));
        QTRY_VERIFY(!shown.view.findChild<AutoScrollMarker*>());
    }

    void panKeysScrollToTheEndsAndByTenOrOne()
    {
        Shown shown;
        show(shown, viewmodel::Tool::PanHand, 8.0F);
        QScrollBar* across = shown.view.horizontalScrollBar();
        QScrollBar* down = shown.view.verticalScrollBar();
        struct Case {
            Qt::Key key;
            Qt::KeyboardModifiers keys;
            QPoint scroll;
        };
        across->setValue(50);
        for (const Case& c : { Case { Qt::Key_Right, {}, { 60, 0 } }, Case { Qt::Key_Left, Qt::ShiftModifier, { 59, 0 } },
                               Case { Qt::Key_PageDown, {}, { 59, down->maximum() } }, Case { Qt::Key_Up, {}, { 59, down->maximum() - 10 } },
                               Case { Qt::Key_End, {}, { across->maximum(), down->maximum() - 10 } },
                               Case { Qt::Key_Home, {}, { 0, down->maximum() - 10 } }, Case { Qt::Key_PageUp, {}, { 0, 0 } } }) {
            QTest::keyClick(&shown.view, c.key, c.keys);
            QCOMPARE(QPoint(across->value(), down->value()), c.scroll);
        }
    }

    // Asked to, the view fits a frame larger than the window into it when it
    // first shows it, once; later paints leave the chosen factor alone.
    void aFrameLargerThanTheWindowIsFittedWhenFirstShown()
    {
        Shown shown;
        QVERIFY(shown.doc.load(rampFile(), {}));
        shown.view.fitAtNextPaint();
        shown.view.resize(80, 60);
        shown.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        QTRY_VERIFY(shown.doc.zoom() < 1.0F);
        const viewmodel::Size fitted = shown.view.transform().shownSize();
        QTRY_VERIFY(fitted.width <= shown.view.viewport()->width() && fitted.height <= shown.view.viewport()->height());
        shown.view.setZoomFactor(1.0F);
        shown.view.repaint();
        QCOMPARE(shown.doc.zoom(), 1.0F);
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
