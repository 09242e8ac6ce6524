#include "AppTestSupport.h"

#include "app/SystemInfoReport.h"
#include "app/dialogs/SystemInfoDialog.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QtTest>

using namespace systeminfo;

namespace {

constexpr std::uint64_t Above32Bits = 5'000'000'000ULL; // kilobytes, more than 2^32

} // namespace

class SystemInfoDialogTest : public QObject {
    Q_OBJECT
private slots:
    void reportsSayTheFiguresInFull_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("screen") << screenReport(1280, 1024, 24)
                                << QStringLiteral("Screen:\r\n1280x1024 (24 bits per pixel)\r\n\r\n");
        QTest::newRow("memory above 2^32 KB")
            << memoryReport(MemoryFigures { Above32Bits, Above32Bits - 1 }, diskText(Above32Bits * 2, "/home"))
            << QStringLiteral("Total Memory:\r\n5000000000 KB\r\n\r\nFree Memory:\r\n4999999999 KB\r\n\r\n"
                              "Free disk space:\r\n10000000000 KB Free on /home\r\n\r\n");
        QTest::newRow("nothing known") << memoryReport(std::nullopt, diskText(std::nullopt, "/"))
                                       << QStringLiteral("Total Memory:\r\nUnavailable\r\n\r\nFree Memory:\r\n"
                                                         "Unavailable\r\n\r\nFree disk space:\r\nUnavailable\r\n\r\n");
        QTest::newRow("system") << osReport("Debian GNU/Linux 12 (bookworm)", "12", "6.1.0-18-amd64", "x86_64")
                                << QStringLiteral("OS Version Info:\r\nDebian GNU/Linux 12 (bookworm) Version 12\r\n"
                                                  "Build 6.1.0-18-amd64 x86_64\r\n\r\n");
        QTest::newRow("joined in order") << joinReports("os ", "memory ", "screen")
                                         << QStringLiteral("os memory screen");
    }
    void reportsSayTheFiguresInFull()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void meminfoGivesTotalAndAvailable_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("found");
        QTest::addColumn<quint64>("total");
        QTest::addColumn<quint64>("available");
        QTest::newRow("usual") << QByteArray("MemTotal:  16318324 kB\nMemFree:  1 kB\nMemAvailable:  8123456 kB\n")
                               << true << quint64(16318324) << quint64(8123456);
        QTest::newRow("above 2^32 KB") << QByteArray("MemAvailable: 5000000000 kB\nMemTotal: 6000000000 kB\n") << true
                                       << quint64(6000000000) << quint64(5000000000);
        QTest::newRow("no available") << QByteArray("MemTotal: 100 kB\n") << false << quint64(0) << quint64(0);
        QTest::newRow("not a number") << QByteArray("MemTotal: lots kB\nMemAvailable: 1 kB\n") << false << quint64(0)
                                      << quint64(0);
    }
    void meminfoGivesTotalAndAvailable()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, found);
        QFETCH(quint64, total);
        QFETCH(quint64, available);
        const auto figures = parseMeminfo(text);
        QCOMPARE(figures.has_value(), found);
        if (figures) {
            QCOMPARE(figures->totalKb, total);
            QCOMPARE(figures->freeKb, available);
        }
    }

    void extensionsAreOneALine_data()
    {
        QTest::addColumn<QString>("extensions");
        QTest::addColumn<int>("lines");
        QTest::newRow("none") << QString() << 1;
        QTest::newRow("one") << QStringLiteral("GL_ARB_multitexture") << 1;
        QTest::newRow("three") << QStringLiteral("GL_A GL_B GL_C") << 3;
        QTest::newRow("trailing blank") << QStringLiteral("GL_A GL_B ") << 3;
    }
    void extensionsAreOneALine()
    {
        QFETCH(QString, extensions);
        QFETCH(int, lines);
        QCOMPARE(extensionLines(extensions).split(QLatin1Char('\n')).size(), lines);
        SystemInfoDialog dialog(QString(), OpenGlFacts { "v", "r", "1.0", extensions });
        QCOMPARE(dialog.extensionsField()->blockCount(), lines);
    }

    void pagesAreFilled()
    {
        SystemInfoDialog dialog(gatherReport(), queryOpenGl());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("System Info"));
        QCOMPARE(dialog.pages()->count(), 2);
        QCOMPARE(dialog.pages()->tabText(0), QStringLiteral("General"));
        QCOMPARE(dialog.pages()->tabText(1), QStringLiteral("OpenGL"));
        QVERIFY(dialog.reportText()->toPlainText().contains(QStringLiteral("Total Memory:")));
        QVERIFY(dialog.reportText()->toPlainText().startsWith(QStringLiteral("OS Version Info:\n")));
        const QStringList fields { dialog.vendorField()->text(), dialog.rendererField()->text(),
            dialog.versionField()->text(), dialog.extensionsField()->toPlainText() };
        const bool unavailable = fields.count(QStringLiteral("Unavailable")) == fields.size();
        QVERIFY2(unavailable || !fields.contains(QString()), qPrintable(fields.join(QLatin1Char('|'))));
        saveScreenshot(dialog, QStringLiteral("system-info-general"));
        dialog.pages()->setCurrentIndex(1);
        saveScreenshot(dialog, QStringLiteral("system-info-opengl"));
    }

    void withoutContextEveryOpenGlFieldIsUnavailable()
    {
        SystemInfoDialog dialog(QStringLiteral("report"), std::nullopt);
        for (const QString& text : { dialog.vendorField()->text(), dialog.rendererField()->text(),
                 dialog.versionField()->text(), dialog.extensionsField()->toPlainText() })
            QCOMPARE(text, QStringLiteral("Unavailable"));
    }
};

TV_REGISTER_TEST(SystemInfoDialogTest);
#include "SystemInfoDialogTest.moc"
