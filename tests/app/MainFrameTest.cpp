#include "app/CMainFrame.h"

#include <QAction>
#include <QMenuBar>
#include <QtTest>

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void titleAndExit()
    {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Tolan Viewer"));

        const auto menus = frame.menuBar()->actions();
        QVERIFY(!menus.isEmpty());
        QCOMPARE(menus.first()->text(), QStringLiteral("&File"));

        frame.exitAction()->trigger();
        QVERIFY(!frame.isVisible());
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
