#include "AppTestSupport.h"

#include "app/dialogs/VideoSpeedDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class VideoSpeedDialogTest : public QObject {
    Q_OBJECT
private slots:
    void editsFollowEachOtherAndTheHeaderFillsThem()
    {
        VideoSpeedDialog plain(40.0, 0.0);
        QCOMPARE(plain.framesPerSecondEdit()->text(), QStringLiteral("25.00"));
        QVERIFY(!plain.framesPerSecondEdit()->isEnabled());
        QVERIFY(!plain.fromHeaderButton()->isEnabled());
        plain.unitChoice()->setCurrentIndex(1);
        QVERIFY(plain.framesPerSecondEdit()->isEnabled());
        QVERIFY(!plain.frameTimeEdit()->isEnabled());
        plain.framesPerSecondEdit()->clear();
        QTest::keyClicks(plain.framesPerSecondEdit(), QStringLiteral("0"));
        QCOMPARE(plain.frameTimeEdit()->text(), QStringLiteral("0.00"));
        QCOMPARE(plain.parameters().frameTime, 0.0);

        VideoSpeedDialog fromFile(66.67, 50.0);
        fromFile.fromHeaderButton()->click();
        QCOMPARE(fromFile.frameTimeEdit()->text(), QStringLiteral("50.00"));
        QCOMPARE(fromFile.framesPerSecondEdit()->text(), QStringLiteral("20.00"));
        QCOMPARE(fromFile.parameters().frameTime, 50.0);
    }
};

TV_REGISTER_TEST(VideoSpeedDialogTest);
#include "VideoSpeedDialogTest.moc"
