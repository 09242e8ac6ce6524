#include "document/COrvoDoc.h"
#include "tests/view/DocumentFacts.h"
#include "view/COrvoList.h"
#include "view/COrvoView.h"
#include "view/FramePicture.h"

#include "imaging/DisplayBitmap.h"

#include <QFileInfo>
#include <QScrollBar>

#include <QSignalSpy>
#include <QtTest>

class ViewTest : public QObject {
    Q_OBJECT
private:
    static QString ctFile() { return QStringLiteral(TV_TESTDATA_DIR "/syntax/ct1-ile.dcm"); }

private slots:
    void init()
    {
        if (!QFileInfo::exists(ctFile()))
            QSKIP("test data folder not found");
    }

    void frameIsCentredOnTheBackground()
    {
        COrvoDoc doc;
        QVERIFY(doc.load(ctFile(), {}));
        COrvoView view(doc);
        view.setBackgroundColour(document::makeColorRef(0, 70, 100));
        view.setFrameShape(QFrame::NoFrame);
        view.resize(800, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage shot = view.viewport()->grab().toImage();
        QCOMPARE(view.displayedImageRect(), QRect(144, 44, 512, 512));
        QCOMPARE(shot.pixelColor(5, 5), QColor(0, 70, 100));
        QCOMPARE(shot.pixelColor(799, 599), QColor(0, 70, 100));
        // The corner of the CT is air outside the scan circle: dark, not background.
        QVERIFY(shot.pixelColor(145, 45) != QColor(0, 70, 100));
    }

    void zoomStretchesByRepeatingPixels()
    {
        COrvoDoc doc;
        QVERIFY(doc.load(ctFile(), {}));
        doc.setZoom(2.0F);
        COrvoView view(doc);
        view.setFrameShape(QFrame::NoFrame);
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage shot = view.viewport()->grab().toImage();
        const QRect r = view.displayedImageRect();
        QCOMPARE(r.size(), QSize(1024, 1024));
        QCOMPARE(r.topLeft(), QPoint(0, 0));
        // Every image pixel covers a 2 x 2 block: no blending between neighbours.
        // The scroll bars take part of the 300 x 200; the grab is the viewport.
        for (int y = 0; y + 1 < shot.height(); y += 2)
            for (int x = 0; x + 1 < shot.width(); x += 2)
                QCOMPARE(shot.pixel(x + 1, y + 1), shot.pixel(x, y));
    }

    // A zoom change on a shown document moves the frame and the scroll range
    // at once, without waiting for a resize.
    void zoomChangeOnAShownViewRescalesAndRescrolls_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<int>("horizontalMax");
        QTest::addColumn<int>("verticalMax");
        QTest::newRow("twice") << 2.0F << QSize(1024, 1024) << QPoint(0, 0) << 1024 - 400 << 1024 - 300;
        QTest::newRow("half") << 0.5F << QSize(256, 256) << QPoint(72, 22) << 0 << 0;
    }

    void zoomChangeOnAShownViewRescalesAndRescrolls()
    {
        QFETCH(float, zoom);
        QFETCH(QSize, shown);
        QFETCH(QPoint, topLeft);
        QFETCH(int, horizontalMax);
        QFETCH(int, verticalMax);
        COrvoDoc doc;
        QVERIFY(doc.load(ctFile(), {}));
        COrvoView view(doc);
        view.setFrameShape(QFrame::NoFrame);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        doc.setZoom(zoom);
        QCOMPARE(view.horizontalScrollBar()->maximum(), horizontalMax);
        QCOMPARE(view.verticalScrollBar()->maximum(), verticalMax);
        view.viewport()->grab();
        QCOMPARE(view.displayedImageRect().size(), shown);
        QCOMPARE(view.displayedImageRect().topLeft(), topLeft);
    }

    // The cursor is mapped through the scroll position the bars hold.
    void cursorReportsThePixelUnderItOrLeaving()
    {
        COrvoDoc doc;
        QVERIFY(doc.load(ctFile(), {}));
        doc.setZoom(2.0F);
        COrvoView view(doc);
        view.setFrameShape(QFrame::NoFrame);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.horizontalScrollBar()->setValue(100);
        view.verticalScrollBar()->setValue(50);
        QSignalSpy moved(&view, &COrvoView::cursorMoved);
        QTest::mouseMove(view.viewport(), QPoint(1, 1));
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(moved.last(), (QVariantList { 50, 25 }));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&view, &leave);
        QCOMPARE(moved.last(), (QVariantList { -1, -1 }));
    }

    void headerViewListsEveryElementWithItsRowText()
    {
        COrvoDoc doc;
        QVERIFY(doc.load(ctFile(), {}));
        COrvoList list(doc);
        list.fill();
        const QStringList tags = testfacts::headerTags(doc);
        const QStringList values = testfacts::headerValues(doc);
        QCOMPARE(list.topLevelItemCount(), static_cast<int>(tags.size()));
        QCOMPARE(list.headerItem()->text(1), QStringLiteral("Tag Name"));
        bool sawGroupLength = false;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list.topLevelItem(i);
            QCOMPARE(item->text(0), tags[i]);
            QCOMPARE(item->text(4), QStringLiteral("  ") + values[i]);
            sawGroupLength = sawGroupLength || item->text(0).endsWith(QStringLiteral("0x0000"));
        }
        QVERIFY(sawGroupLength);
        const auto rowsItem = list.findItems(QStringLiteral("0x0028, 0x0010"), Qt::MatchExactly, 0);
        QCOMPARE(rowsItem.size(), 1);
        QCOMPARE(rowsItem.first()->text(1), QStringLiteral("Rows"));
        QCOMPARE(rowsItem.first()->text(2), QStringLiteral("US"));
        QCOMPARE(rowsItem.first()->text(4), QStringLiteral("  512"));
        // The pixel data stay listed once their frames are decoded: last, 512 x 512 x 2 bytes.
        const auto pixelItem = list.findItems(QStringLiteral("0x7fe0, 0x0010"), Qt::MatchExactly, 0);
        QCOMPARE(pixelItem.size(), 1);
        QCOMPARE(pixelItem.first()->text(1), QStringLiteral("Frame Data"));
        QCOMPARE(pixelItem.first()->text(3).trimmed(), QStringLiteral("524288"));
        QCOMPARE(list.indexOfTopLevelItem(pixelItem.first()), list.topLevelItemCount() - 1);
    }

    // The view's one-pass picture against Qt's conversion of the wrapped
    // bottom-up bitmap followed by a flip. Odd widths give padded rows.
    void framePictureIsTheBitmapTopDown_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("colourTable");
        QTest::newRow("8-bit grey, padded rows") << 8 << false;
        QTest::newRow("8-bit colour table") << 8 << true;
        QTest::newRow("24-bit, padded rows") << 24 << false;
    }

    void framePictureIsTheBitmapTopDown()
    {
        QFETCH(int, bits);
        QFETCH(bool, colourTable);
        auto bitmap = imaging::DisplayBitmap::create(13, 7, bits);
        QVERIFY(bitmap);
        const int bytes = bits / 8;
        for (int y = 0; y < bitmap->height(); ++y)
            for (int x = 0; x < bitmap->width() * bytes; ++x)
                bitmap->imageRow(y)[x] = static_cast<std::uint8_t>(x * 37 + y * 11);
        if (colourTable) {
            imaging::PaletteTable table;
            for (int i = 0; i < 256; ++i)
                table.entries[static_cast<std::size_t>(i)] = { static_cast<std::uint8_t>(i),
                    static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 3), 0 };
            bitmap->setColourTable(table);
        }
        QImage wrapped(bitmap->pixelRows().data(), bitmap->width(), bitmap->height(),
            static_cast<qsizetype>(bitmap->stride()), bits == 8 ? QImage::Format_Indexed8 : QImage::Format_BGR888);
        if (bits == 8) {
            QList<QRgb> colours;
            for (const imaging::PaletteEntry& e : bitmap->colourTable().entries)
                colours.append(qRgb(e.red, e.green, e.blue));
            wrapped.setColorTable(colours);
        }
        const QImage expected = wrapped.convertToFormat(QImage::Format_RGB32).mirrored(false, true);
        const QImage picture = framePicture(*bitmap);
        QCOMPARE(picture.format(), QImage::Format_RGB32);
        QCOMPARE(picture, expected);
    }
};

QTEST_MAIN(ViewTest)
#include "ViewTest.moc"
