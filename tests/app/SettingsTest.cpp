#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/RecentFileList.h"
#include "app/SelectFileBar.h"
#include "app/Settings.h"
#include "document/COrvoDoc.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QtTest>

#include <clocale>
#include <cstring>

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void firstRunWritesEveryDefault()
    {
        ScratchSettings scratch;
        {
            CTolanApp app;
            QCOMPARE(app.options(), document::UserOptions {});
            QVERIFY(app.currentDirectory().isEmpty());
            QVERIFY(app.anonymizedExports());
            QCOMPARE(std::strcmp(std::localeconv()->decimal_point, "."), 0);
        }
        QSettings store(scratch.iniPath(), QSettings::IniFormat);
        store.beginGroup(QStringLiteral("UserOptions"));
        const std::pair<const char*, const char*> expected[] = {
            { "AutoClose", "0" }, { "AxisStart", "1" }, { "AxisColor", "16777215" }, { "AnonExports", "1" },
            { "DAnnoColor", "65280" }, { "DDistColor", "255" }, { "DAngleColor", "255" },
            { "MainBgColor", "6571520" }, { "DocBgColor", "6571520" }, { "DefAnnotations", "0" },
            { "RulersOn", "0" }, { "BgImage", "0" },
            { "AnnoHeight", "8" }, { "AnnoWeight", "400" }, { "AnnoItalic", "0" }, { "AnnoUnderline", "0" },
            { "AnnoStrikeOut", "0" }, { "AnnoCharSet", "161" }, { "AnnoFaceName", "Arial" },
            { "MeasHeight", "8" }, { "MeasWeight", "400" }, { "MeasItalic", "0" }, { "MeasUnderline", "0" },
            { "MeasStrikeOut", "0" }, { "MeasCharSet", "161" }, { "MeasFaceName", "Arial" },
            { "LineWidth", "2" }, { "UseVfw", "0" }, { "VideoSource", "0" }, { "AspectRatio", "1" },
            { "KeepPatientAndStudy", "0" },
        };
        QCOMPARE(store.childKeys().size(), static_cast<qsizetype>(std::size(expected)));
        for (const auto& [key, value] : expected)
            QCOMPARE(store.value(QString::fromLatin1(key)).toString(), QString::fromLatin1(value));
    }

    void badValuesFallBackToDefaults()
    {
        ScratchSettings scratch;
        {
            QSettings store(scratch.iniPath(), QSettings::IniFormat);
            store.beginGroup(QStringLiteral("UserOptions"));
            store.setValue(QStringLiteral("LineWidth"), QStringLiteral("wide"));   // not a number
            store.setValue(QStringLiteral("DocBgColor"), QStringLiteral("-5"));    // not a colour
            store.setValue(QStringLiteral("AnnoCharSet"), QStringLiteral("300"));  // not a byte
            store.setValue(QStringLiteral("RulersOn"), QStringLiteral("7"));       // any non-zero is on
            store.setValue(QStringLiteral("AspectRatio"), QStringLiteral("0"));
            store.setValue(QStringLiteral("AnnoFaceName"), QStringLiteral("DejaVu Sans"));
            store.setValue(QStringLiteral("MeasCharSet"), QStringLiteral("0"));
        }
        QSettings store(scratch.iniPath(), QSettings::IniFormat);
        const auto options = settings::readUserOptions(store);
        QCOMPARE(options.lineWidth, 2);
        QCOMPARE(options.docBgColor, 6571520u);
        QCOMPARE(options.annotationFont.charSet, 161);
        QVERIFY(options.rulersOn);
        QVERIFY(!options.aspectRatio);
        QCOMPARE(options.annotationFont.faceName, std::string("DejaVu Sans"));
        QCOMPARE(options.measurementFont.charSet, 0);
    }

    void windowPresetsComeBackOnlyWhenNoneIsLeft_data()
    {
        QTest::addColumn<int>("width13");
        QTest::addColumn<QString>("name1");
        QTest::newRow("all wiped") << 0 << QStringLiteral("CT - Lang");
        QTest::newRow("one width kept") << 5 << QString();
    }

    void windowPresetsComeBackOnlyWhenNoneIsLeft()
    {
        QFETCH(int, width13);
        QFETCH(QString, name1);
        ScratchSettings scratch;
        {
            QSettings store(scratch.iniPath(), QSettings::IniFormat);
            for (int i = 0; i < 14; ++i) {
                store.setValue(QStringLiteral("Windows/Name%1").arg(i), QString());
                store.setValue(QStringLiteral("Windows/Center%1").arg(i), 0);
                store.setValue(QStringLiteral("Windows/Width%1").arg(i), i == 13 ? width13 : 0);
            }
        }
        {
            QSettings store(scratch.iniPath(), QSettings::IniFormat);
            QCOMPARE(QString::fromStdString(settings::readWindowPresets(store)[1].name), name1);
        }
        QCOMPARE(QSettings(scratch.iniPath(), QSettings::IniFormat).value("Windows/Name1").toString(), name1);
    }

    void changedFontSurvivesARestart()
    {
        ScratchSettings scratch;
        {
            CTolanApp app;
            app.options().annotationFont.faceName = "Liberation Serif";
            app.options().annotationFont.charSet = 0;
        }
        CTolanApp next;
        QCOMPARE(next.options().annotationFont.faceName, std::string("Liberation Serif"));
        QCOMPARE(next.options().annotationFont.charSet, 0);
    }

    // The main frame must not hold a copy of its own that overwrites the
    // application's values at shutdown.
    void mainFrameSharesTheApplicationsOptions()
    {
        ScratchSettings scratch;
        {
            CTolanApp app;
            QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
            QCOMPARE(&app.mainFrame()->options(), &app.options());
            app.mainFrame()->options().autoClose = 1;
        }
        CTolanApp next;
        QCOMPARE(next.options().autoClose, 1);
    }

    // Without a document the toggle flips the option. With one it flips that
    // document's flag, which it took at load, and the option follows it.
    void anonymizedToggleFollowsTheActiveDocument()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        QAction* toggle = app.mainFrame()->action(Command::AnonymizedCopies);
        QVERIFY(toggle->isChecked());
        toggle->trigger();
        QCOMPARE(app.options().anonExports, 0);
        QVERIFY(!toggle->isChecked());
        toggle->trigger();
        QCOMPARE(app.options().anonExports, 1);
        QVERIFY(toggle->isChecked());

        const QString path = QStringLiteral(TV_TESTDATA_DIR "/syntax/ct1-ile.dcm");
        if (!QFileInfo::exists(path))
            QSKIP("test data folder not found");
        QVERIFY(app.openDocumentFile(path));
        COrvoDoc& first = app.mainFrame()->activeChild()->document();
        QVERIFY(first.anonymizedExports());
        toggle->trigger();
        QVERIFY(!first.anonymizedExports());
        QCOMPARE(app.options().anonExports, 0);
        QVERIFY(!toggle->isChecked());
        // An open document keeps its flag when the option changes elsewhere.
        app.options().anonExports = 1;
        app.mainFrame()->updateCommandStates();
        QVERIFY(!toggle->isChecked());
        QVERIFY(app.openDocumentFile(path));
        QVERIFY(app.mainFrame()->activeChild()->document().anonymizedExports());
        QVERIFY(toggle->isChecked());
    }

    // The folder becomes the working directory and File Open's start folder;
    // the settings file gets it at shutdown.
    void chosenDirectoryBecomesTheCurrentOne()
    {
        ScratchSettings scratch;
        const QString before = QDir::currentPath();
        const auto restore = qScopeGuard([&before] { QDir::setCurrent(before); });
        QTemporaryDir chosen;
        const QString path = QDir(chosen.path()).absolutePath();
        {
            CTolanApp app;
            QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
            app.mainFrame()->selectDirectory(chosen.path());
            QCOMPARE(QDir::currentPath(), path);
            QCOMPARE(app.currentDirectory(), path);
            QCOMPARE(app.mainFrame()->selectFileBar()->currentDirectory(), path + QLatin1Char('/'));
            QSettings store(scratch.iniPath(), QSettings::IniFormat);
            QVERIFY(!store.contains(QStringLiteral("Settings/Current Working Directory")));
        }
        QSettings store(scratch.iniPath(), QSettings::IniFormat);
        QCOMPARE(store.value(QStringLiteral("Settings/Current Working Directory")).toString(), path);
    }

    void openedFileIsRememberedForTheNextStart()
    {
        ScratchSettings scratch;
        const QString path = QStringLiteral(TV_TESTDATA_DIR "/syntax/ct1-ile.dcm");
        if (!QFileInfo::exists(path))
            QSKIP("test data folder not found");
        {
            CTolanApp app;
            QVERIFY(app.start({ QStringLiteral("tolan-viewer"), path }));
        }
        CTolanApp again;
        QCOMPARE(again.currentDirectory(), QFileInfo(path).absolutePath());
        QVERIFY(again.start({ QStringLiteral("tolan-viewer") }));
        QCOMPARE(again.mainFrame()->recentFiles().paths(), QStringList { QFileInfo(path).absoluteFilePath() });
    }

    void unreadableCommandLineFileEndsStartUp()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(!app.start({ QStringLiteral("tolan-viewer"), scratch.path() + QStringLiteral("/missing.dcm") }));
    }
};

TV_REGISTER_TEST(SettingsTest);
#include "SettingsTest.moc"
