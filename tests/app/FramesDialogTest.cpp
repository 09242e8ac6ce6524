#include "AppTestSupport.h"

#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/dialogs/FramesDialog.h"
#include "document/COrvoDoc.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QtTest>

class FramesDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!QFileInfo::exists(testFile("multiframe/emri-10f-ele.dcm")))
            QSKIP("test data folder not found");
    }

    void allFramesNeedsMoreThanOneFrame_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("ten frames") << testFile("multiframe/emri-10f-ele.dcm") << true;
        QTest::newRow("one frame") << testFile("syntax/ct1-ile.dcm") << false;
    }

    void allFramesNeedsMoreThanOneFrame()
    {
        QFETCH(QString, file);
        QFETCH(bool, enabled);
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), file }));
        QCOMPARE(app.mainFrame()->action(Command::AllFrames)->isEnabled(), enabled);
    }

    void aThumbnailPerFrameAndAClickMakesItCurrent()
    {
        COrvoDoc doc;
        QVERIFY(doc.load(testFile("multiframe/emri-10f-ele.dcm"), document::UserOptions {}));
        FramesDialog dialog(doc);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto& thumbnails = dialog.thumbnails();
        QCOMPARE(thumbnails.size(), std::size_t { 10 });
        QCOMPARE(dialog.currentFrameText()->text(), QStringLiteral("Current frame: 0001"));
        QVERIFY(thumbnails[0]->isChecked());

        QSignalSpy changed(&doc, &COrvoDoc::changed);
        QTest::mouseClick(thumbnails[3], Qt::LeftButton);
        QCOMPARE(doc.currentFrameIndex(), 3);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(dialog.currentFrameText()->text(), QStringLiteral("Current frame: 0004"));
        QVERIFY(thumbnails[3]->isChecked());
        QVERIFY(!thumbnails[0]->isChecked());

        // A larger dialog gives larger thumbnails, none overlapping.
        const int before = thumbnails[0]->width();
        dialog.resize(dialog.width() * 2, dialog.height() * 2);
        QTRY_VERIFY(thumbnails[0]->width() > before);
        for (std::size_t i = 1; i < thumbnails.size(); ++i)
            QVERIFY(!thumbnails[i]->geometry().intersects(thumbnails[i - 1]->geometry()));
    }
};

TV_REGISTER_TEST(FramesDialogTest);
#include "FramesDialogTest.moc"
