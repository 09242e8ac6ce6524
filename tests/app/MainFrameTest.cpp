#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/MainFrameActions.h"
#include "app/RecentFileList.h"
#include "app/StatusPanes.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void titleAndExit()
    {
        ScratchSettings scratch;
        document::UserOptions options;
        CMainFrame frame(options);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Tolan Viewer"));

        const auto menus = frame.menuBar()->actions();
        QVERIFY(!menus.isEmpty());
        QCOMPARE(menus.first()->text(), QStringLiteral("&File"));

        frame.exitAction()->trigger();
        QVERIFY(!frame.isVisible());
    }

    void menuItemsExistAndUnbuiltOnesAreDisabled_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("shortcut");
        const auto row = [](const char* name, Command id, const char* text, bool enabled, const char* shortcut) {
            QTest::newRow(name) << static_cast<int>(id) << QString::fromUtf8(text) << enabled << QString::fromLatin1(shortcut);
        };
        row("new", Command::New, "&New", true, "Ctrl+N");
        row("open", Command::Open, "&Open...", true, "Ctrl+O");
        row("print setup", Command::PrintSetup, "P&rint Setup...", true, "");
        row("about", Command::About, "&About Tolan Viewer...", true, "");
        row("anonymized", Command::AnonymizedCopies, "&Anonymized copies and exports", true, "");
        row("select directory", Command::SelectDirectory, "Select &current directory...", true, "");
        row("next file", Command::NextFile, "&Next  File", false, "Ctrl+Right");
        row("first file", Command::FirstFile, "&First File", false, "Ctrl+Up");
        row("next frame", Command::NextFrame, "&Next frame", false, "Right");
        row("first frame", Command::FirstFrame, "&First frame\tArrowUp", false, "");
        row("single frame", Command::SingleFrame, "Singl&e Frame", false, "Ctrl+Alt+F");
        row("export tiff", Command::ExportTiff, "Export as &TIFF...", false, "");
        row("open internet", Command::OpenFromInternet, "Open from &Internet...", true, "Ctrl+I");
        row("preferences", Command::Preferences, "&Preferences...", true, "");
        row("custom palettes", Command::CustomPaletteNotFound, "(Not Found)", false, "");
        row("rotate", Command::Rotate90Clockwise, "&90° Clock Wise", false, "");
        row("system info", Command::SystemInfo, "&System Info...", true, "");
        row("copy roi", Command::CopyRoi, "Copy R&OI", false, "");
        row("brightness key", Command::BrightnessContrast, "&Brightness - Contrast...", false, "B");
        row("inverse selection key", Command::InverseSelection, "&Inverse Selection", false, "I");
    }

    void menuItemsExistAndUnbuiltOnesAreDisabled()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        QFETCH(QString, shortcut);
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        QAction* item = app.mainFrame()->action(static_cast<Command>(id));
        QVERIFY2(item, qPrintable(text));
        QCOMPARE(item->text(), text);
        QCOMPARE(item->isEnabled(), enabled);
        QCOMPARE(item->shortcut().toString(), shortcut);
    }

    void statusPaneFormats()
    {
        StatusFacts facts;
        facts.fileDate = QStringLiteral("2024:03:07");
        facts.fileSize = 527'359; // 514.999 KB, truncated
        facts.width = 512;
        facts.height = 480;
        facts.frameCount = 7;
        facts.currentFrame = 2;
        const auto texts = StatusPanes::frameTexts(facts);
        QCOMPARE(texts[0], QStringLiteral("2024:03:07"));
        QCOMPARE(texts[1], QStringLiteral("514KB"));
        QCOMPARE(texts[2], QStringLiteral("512x480"));
        QCOMPARE(texts[3], QStringLiteral("007"));
        QCOMPARE(texts[4], QStringLiteral("   3"));

        CursorFacts grey { 5, 123, false, -1024, 0, 0, 0 };
        QCOMPARE(StatusPanes::cursorTexts(grey), (std::array<QString, 3> { "0005", "0123", "-1024" }));
        CursorFacts colour { 1000, 0, true, 0, 255, 7, 0 };
        QCOMPARE(StatusPanes::cursorTexts(colour), (std::array<QString, 3> { "1000", "0000", "R:255 G:7 B:0" }));
    }

    void statusPanesWithoutDocumentShowOneBlank()
    {
        ScratchSettings scratch;
        document::UserOptions options;
        CMainFrame frame(options);
        frame.refreshStatusPanes();
        for (int pane = StatusPanes::FileDate; pane <= StatusPanes::PixelValue; ++pane)
            QCOMPARE(frame.statusPanes().text(static_cast<StatusPanes::Pane>(pane)), QStringLiteral(" "));
        QCOMPARE(frame.zoomList()->currentText(), QStringLiteral("100.00%"));
        QVERIFY(!frame.zoomList()->isEnabled());
    }

    void recentListKeepsFourNewestFirst()
    {
        ScratchSettings scratch;
        document::UserOptions options;
        {
            CMainFrame frame(options);
            for (int i = 1; i <= 5; ++i)
                frame.recentFiles().add(QStringLiteral("/data/f%1.dcm").arg(i));
            frame.recentFiles().add(QStringLiteral("/data/f3.dcm"));
            QCOMPARE(frame.recentFiles().paths(),
                (QStringList { "/data/f3.dcm", "/data/f5.dcm", "/data/f4.dcm", "/data/f2.dcm" }));
            QSettings store(scratch.iniPath(), QSettings::IniFormat);
            frame.recentFiles().save(store);
        }
        CMainFrame again(options);
        QCOMPARE(again.recentFiles().paths().first(), QStringLiteral("/data/f3.dcm"));
        const auto items = again.actions().recentFilesAnchor()->actions();
        const bool listed = std::any_of(items.begin(), items.end(),
            [](QAction* a) { return a->text() == QStringLiteral("&1 /data/f3.dcm"); });
        QVERIFY(listed);
    }

    void droppedFilesAreOpened()
    {
        ScratchSettings scratch;
        const QString file = scratch.path() + QStringLiteral("/dropped.dcm");
        writeDicomStub(file);
        document::UserOptions options;
        CMainFrame frame(options);
        QSignalSpy opened(&frame, &CMainFrame::openRequested);
        QVERIFY(frame.acceptDrops());
        const int count = frame.openDroppedUrls({ QUrl::fromLocalFile(file), QUrl::fromLocalFile(scratch.path()),
            QUrl(QStringLiteral("http://example.org/x.dcm")) });
        QCOMPARE(count, 1); // neither the directory nor the web address
        QCOMPARE(opened.size(), 0); // not inside the drop handler
        QTRY_COMPARE(opened.size(), 1);
        QCOMPARE(opened.first().first().toString(), file);
    }

    // Windows open maximised, each hiding the others: the Window menu lists
    // them all, numbered in the order they opened, and brings back the one chosen.
    void windowMenuListsTheOpenWindows()
    {
        ScratchSettings scratch;
        const QString first = scratch.path() + QStringLiteral("/a.dcm");
        const QString second = scratch.path() + QStringLiteral("/b&c.dcm");
        writeDicomStub(first);
        writeDicomStub(second);
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), first, second }));
        CMainFrame* frame = app.mainFrame();
        QMenu* menu = frame->actions().menu(QStringLiteral("Window"));
        QVERIFY(menu);
        const auto listed = [menu] {
            emit menu->aboutToShow();
            QStringList texts;
            for (const QAction* item : menu->actions()) {
                if (item->isCheckable())
                    texts.append(item->text() + (item->isChecked() ? QStringLiteral(" *") : QString()));
            }
            return texts;
        };
        QCOMPARE(listed(), QStringList({ QStringLiteral("&1 a.dcm"), QStringLiteral("&2 b&&c.dcm *") }));
        menu->actions().at(menu->actions().size() - 2)->trigger();
        QCOMPARE(frame->activeChild()->windowTitle(), QStringLiteral("a.dcm"));
        QCOMPARE(listed(), QStringList({ QStringLiteral("&1 a.dcm *"), QStringLiteral("&2 b&&c.dcm") }));
    }
};

TV_REGISTER_TEST(MainFrameTest);
#include "MainFrameTest.moc"
