// The selection and crop tools and the selection edits, driven through the
// real view with synthetic mouse and key events.

#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "tests/support/DicomBytes.h"
#include "view/COrvoView.h"
#include "view/SelectionEdits.h"

#include <QScrollBar>
#include <QtTest>

#include <string>

using selectionedits::Edit;

class SelectionToolTest : public QObject {
    Q_OBJECT
private:
    // A 16-bit grey frame whose values run 0..999 along its pixels.
    static QString frameFile(int columns, int rows)
    {
        testsupport::DicomBytes b;
        b.part10Header("1.2.840.10008.1.2.1");
        b.elementU16(0x0028, 0x0002, "US", 1);           // Samples per Pixel
        b.element(0x0028, 0x0004, "CS", "MONOCHROME2 "); // Photometric Interpretation
        b.elementU16(0x0028, 0x0010, "US", static_cast<std::uint16_t>(rows));    // Rows
        b.elementU16(0x0028, 0x0011, "US", static_cast<std::uint16_t>(columns)); // Columns
        b.elementU16(0x0028, 0x0100, "US", 16);          // Bits Allocated
        b.elementU16(0x0028, 0x0101, "US", 16);          // Bits Stored
        b.elementU16(0x0028, 0x0102, "US", 15);          // High Bit
        b.elementU16(0x0028, 0x0103, "US", 0);           // Pixel Representation
        const int count = columns * rows;
        b.tag(0x7FE0, 0x0010).vr("OW").reserved().len32(static_cast<std::uint32_t>(count) * 2); // Pixel Data
        for (int i = 0; i < count; ++i)
            b.u16(static_cast<std::uint16_t>(i * 999 / (count - 1)));
        const std::string name = "selection-" + std::to_string(columns) + "x" + std::to_string(rows) + ".dcm";
        return QString::fromStdString(b.writeTemp(name).string());
    }

    struct Shown {
        COrvoDoc doc;
        COrvoView view { doc };
    };

    static void show(Shown& shown, const QStringList& files, viewmodel::Tool tool, float zoom = 1.0F)
    {
        QVERIFY(shown.doc.loadFiles(files, QStringLiteral("test"), {}));
        shown.doc.setZoom(zoom);
        shown.view.resize(150, 150);
        shown.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        shown.view.selectTool(tool);
    }

    static void drag(QWidget* port, QPoint from, QPoint to, Qt::KeyboardModifiers keys = {})
    {
        QTest::mousePress(port, Qt::LeftButton, keys, from);
        QTest::mouseMove(port, (from + to) / 2);
        QTest::mouseMove(port, to);
        QTest::mouseRelease(port, Qt::LeftButton, keys, to);
    }

    static bool isBlackOrWhite(QRgb pixel) { return (pixel & 0xFFFFFF) == 0 || (pixel & 0xFFFFFF) == 0xFFFFFF; }

private slots:
    // At zoom 2 scrolled by (40, 20), viewport (10, 10) is image pixel (25, 15).
    // Each drag replaces the earlier selection (5, 5)..(9, 9), Shift or not,
    // and is one undo step; a click changes nothing.
    void selectionDragLandsOnTheImagePixels_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<int>("keys");
        QTest::addColumn<QRect>("selected"); // image pixels, both corners inside
        QTest::newRow("drag") << QPoint(10, 10) << QPoint(61, 51) << 0 << QRect(QPoint(25, 15), QPoint(50, 35));
        QTest::newRow("backwards") << QPoint(61, 51) << QPoint(10, 10) << 0 << QRect(QPoint(25, 15), QPoint(50, 35));
        QTest::newRow("shift") << QPoint(10, 10) << QPoint(61, 51) << int(Qt::ShiftModifier)
                               << QRect(QPoint(25, 15), QPoint(50, 35));
        QTest::newRow("past the frame") << QPoint(10, 10) << QPoint(400, 400) << 0
                                        << QRect(QPoint(25, 15), QPoint(99, 99));
        QTest::newRow("click") << QPoint(10, 10) << QPoint(10, 10) << 0 << QRect(QPoint(5, 5), QPoint(9, 9));
    }

    void selectionDragLandsOnTheImagePixels()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(int, keys);
        QFETCH(QRect, selected);
        Shown shown;
        show(shown, { frameFile(100, 100) }, viewmodel::Tool::SelectionRectangle, 2.0F);
        shown.view.horizontalScrollBar()->setValue(40);
        shown.view.verticalScrollBar()->setValue(20);
        imaging::FrameImage& frame = *shown.doc.frame();
        QVERIFY(frame.selectRectangle(5, 5, 9, 9));
        shown.doc.recordPixelStep(0);
        drag(shown.view.viewport(), from, to, Qt::KeyboardModifiers(keys));
        const imaging::RegionBox box = frame.selectionBox(1.0);
        QCOMPARE(QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1)), selected);
        QVERIFY(!frame.isSelected(selected.left() - 1, selected.top()));
        const bool replaced = selected.left() != 5;
        QCOMPARE(shown.doc.undo(0), true);
        QCOMPARE(frame.hasSelection(), replaced);
        // The outline is drawn where the frame's outline at the zoom lies.
        if (replaced) {
            QVERIFY(shown.doc.redo(0));
            const imaging::RegionBox zoomed = frame.selectionBox(2.0);
            const QPoint corner = shown.view.computeImageRect().topLeft() + QPoint(zoomed.left, zoomed.top);
            const QImage painted = shown.view.viewport()->grab().toImage();
            QVERIFY(isBlackOrWhite(painted.pixel(corner)));
            QVERIFY(!isBlackOrWhite(painted.pixel(corner + QPoint(3, 3))));
        }
    }

    // A press inside the crop frame crops to it as one undo step, unless the
    // current frame went to one of another size meanwhile: then the frame is
    // gone and the press starts a new one.
    void cropInsideTheFrame_data()
    {
        QTest::addColumn<bool>("visitOtherSize");
        QTest::addColumn<int>("width");
        QTest::newRow("same frame") << false << 41;
        QTest::newRow("other size between") << true << 100;
    }

    void cropInsideTheFrame()
    {
        QFETCH(bool, visitOtherSize);
        QFETCH(int, width);
        Shown shown;
        show(shown, { frameFile(100, 100), frameFile(60, 80) }, viewmodel::Tool::Crop);
        QWidget* port = shown.view.viewport();
        const QPoint origin = shown.view.computeImageRect().topLeft();
        drag(port, origin + QPoint(20, 30), origin + QPoint(60, 70));
        if (visitOtherSize) {
            QVERIFY(shown.doc.nextFrame());
            QVERIFY(shown.doc.previousFrame());
        }
        const QPoint inside = shown.view.computeImageRect().topLeft() + QPoint(40, 50);
        QTest::mousePress(port, Qt::LeftButton, {}, inside);
        QCOMPARE(shown.doc.frame(0)->width(), width);
        QCOMPARE(shown.doc.canUndo(0), !visitOtherSize);
        if (!visitOtherSize) {
            QVERIFY(shown.doc.undo(0));
            QCOMPARE(shown.doc.frame(0)->width(), 100);
            QVERIFY(!shown.doc.canUndo(0));
        }
    }

    void selectionEditsAreOfferedWithASelection_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QRect>("selection"); // empty: none
        QTest::addColumn<bool>("offered");
        const QRect part(QPoint(10, 10), QPoint(20, 20));
        const QRect whole(QPoint(0, 0), QPoint(99, 99));
        QTest::newRow("unselect, none") << int(Edit::Unselect) << QRect() << false;
        QTest::newRow("unselect") << int(Edit::Unselect) << part << true;
        QTest::newRow("clear, none") << int(Edit::Clear) << QRect() << false;
        QTest::newRow("clear") << int(Edit::Clear) << part << true;
        QTest::newRow("crop, none") << int(Edit::CropToSelection) << QRect() << false;
        QTest::newRow("crop") << int(Edit::CropToSelection) << part << true;
        QTest::newRow("inverse, none") << int(Edit::InverseSelection) << QRect() << false;
        QTest::newRow("inverse") << int(Edit::InverseSelection) << part << true;
        QTest::newRow("inverse, whole frame") << int(Edit::InverseSelection) << whole << false;
    }

    void selectionEditsAreOfferedWithASelection()
    {
        QFETCH(int, edit);
        QFETCH(QRect, selection);
        QFETCH(bool, offered);
        COrvoDoc doc;
        QVERIFY(doc.load(frameFile(100, 100), {}));
        if (!selection.isNull())
            QVERIFY(doc.frame()->selectRectangle(selection.left(), selection.top(), selection.right(), selection.bottom()));
        QCOMPARE(selectionedits::canApply(doc, Edit(edit)), offered);
        QCOMPARE(selectionedits::apply(doc, Edit(edit)), offered);
        QCOMPARE(doc.canUndo(0), offered);
    }

    // Delete clears the selected area to the frame's minimum.
    void keysEditTheSelection_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("valueInside");
        QTest::addColumn<bool>("cornerSelected");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << QString() << 0 << false;
    }

    void keysEditTheSelection()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, valueInside);
        QFETCH(bool, cornerSelected);
        Shown shown;
        show(shown, { frameFile(100, 100) }, viewmodel::Tool::PanHand);
        imaging::FrameImage& frame = *shown.doc.frame();
        QVERIFY(frame.selectRectangle(10, 10, 20, 20));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&shown.view, &press);
        QCOMPARE(frame.pixelValue(15, 15)->red, valueInside); // pixel 1515 of the 0..999 ramp
        QCOMPARE(frame.isSelected(0, 0), cornerSelected);
        QVERIFY(shown.doc.canUndo(0));
    }
};

QTEST_MAIN(SelectionToolTest)
#include "SelectionToolTest.moc"
