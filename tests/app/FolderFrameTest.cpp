#include "AppTestSupport.h"

#include "app/CFolderFrame.h"
#include "app/CFolderTabCtrl.h"

#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>

class FolderFrameTest : public QObject {
    Q_OBJECT
private slots:
    void tabsAreTrapezoidsSideBySide()
    {
        CFolderTabCtrl tabs;
        tabs.setLabels(QStringLiteral("Frame\nHeader"));
        QCOMPARE(tabs.tabCount(), 2);
        QCOMPARE(tabs.tabText(1), QStringLiteral("Header"));
        const QRect first = tabs.tabRect(0);
        const QRect second = tabs.tabRect(1);
        QCOMPARE(second.left(), first.right() + 1);
        // The slanted sides: a point at the top corner is inside, one at the
        // bottom corner is outside.
        QCOMPARE(tabs.hitTest(QPoint(first.left() + 1, 1)), 0);
        QCOMPARE(tabs.hitTest(QPoint(first.left() + 1, first.bottom() - 1)), -1);
        QCOMPARE(tabs.hitTest(first.center()), 0);
        QCOMPARE(tabs.hitTest(second.center()), 1);
        QCOMPARE(tabs.hitTest(QPoint(second.right() + 50, 2)), -1);
    }

    void clickingATabSwitchesViews()
    {
        CFolderFrame frame;
        auto* image = new QTextEdit;
        auto* header = new QListWidget;
        frame.addView(image);
        frame.addView(header);
        frame.setLabels(QStringLiteral("Frame\nHeader"));
        frame.resize(600, 400);
        frame.showView(0);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(image->isVisible());
        QVERIFY(!header->isVisible());

        QSignalSpy activated(&frame, &CFolderFrame::tabActivated);
        CFolderTabCtrl* tabs = frame.tabStrip();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.first().first().toInt(), 1);
        QVERIFY(header->isVisible() && header->isEnabled());
        QVERIFY(!image->isVisible() && !image->isEnabled());

        // The selected tab again: nothing happens.
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(activated.size(), 1);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(activated.size(), 2);
        QVERIFY(image->isVisible());
    }

    void layoutPutsTabsBesideTheScrollBar()
    {
        CFolderFrame frame;
        auto* view = new QTextEdit;
        frame.addView(view);
        frame.setLabels(QStringLiteral("Frame\nHeader"));
        frame.setTabWidth(150);
        frame.resize(500, 300);
        frame.showView(0);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QScrollBar* horizontal = frame.scrollBar(Qt::Horizontal);
        QScrollBar* vertical = frame.scrollBar(Qt::Vertical);
        const int h = horizontal->height();
        QCOMPARE(frame.tabStrip()->geometry(), QRect(0, 300 - h, 150, h));
        QCOMPARE(horizontal->x(), 150);
        QCOMPARE(horizontal->geometry().right(), vertical->x() - 1);
        QCOMPARE(view->geometry(), QRect(0, 0, 500 - vertical->width(), 300 - h));

        // Narrower than the strip: the strip shrinks, never below zero.
        frame.resize(100, 300);
        QCOMPARE(frame.tabStrip()->width(), 100 - CFolderFrame::MinScrollBarWidth);
        frame.resize(20, 300);
        QVERIFY(!frame.tabStrip()->isVisible());
        QCOMPARE(view->geometry(), QRect(0, 0, 20, 300));
    }

    void frameScrollBarsDriveTheVisibleView()
    {
        CFolderFrame frame;
        auto* view = new QTextEdit;
        view->setPlainText(QString(200, QLatin1Char('\n')));
        frame.addView(view);
        frame.setLabels(QStringLiteral("Frame\nHeader"));
        frame.resize(300, 200);
        frame.showView(0);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QScrollBar* ours = frame.scrollBar(Qt::Vertical);
        QTRY_VERIFY(ours->maximum() > 0);
        ours->setValue(ours->maximum());
        QCOMPARE(view->verticalScrollBar()->value(), ours->maximum());
    }
};

TV_REGISTER_TEST(FolderFrameTest);
#include "FolderFrameTest.moc"
