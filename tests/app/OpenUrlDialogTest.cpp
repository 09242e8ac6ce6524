#include "AppTestSupport.h"
#include "OpenUrlFacts.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/RecentFileList.h"
#include "app/SelectFileBar.h"
#include "app/CTolanApp.h"
#include "app/dialogs/OpenUrlDialog.h"
#include "document/COrvoDoc.h"
#include "tests/support/UrlTestServer.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardPaths>
#include <QtTest>

namespace {

QStringList storedSlots(const ScratchSettings& scratch)
{
    QSettings ini(scratch.iniPath(), QSettings::IniFormat);
    QStringList urls;
    for (int i = 1; i <= 8; ++i)
        urls.append(ini.value(QStringLiteral("Recent URL List/URL%1").arg(i)).toString());
    return urls;
}

void storeSlots(const ScratchSettings& scratch, const QStringList& urls)
{
    QSettings ini(scratch.iniPath(), QSettings::IniFormat);
    for (int i = 0; i < urls.size(); ++i)
        ini.setValue(QStringLiteral("Recent URL List/URL%1").arg(i + 1), urls[i]);
}

// Answers the modal windows of "Open from Internet" as they come up: the
// dialog gets `address`; the save question "No", or "Yes" and `saveAs` in
// the save dialog when that is given; every message box text seen is kept.
struct ModalAnswers {
    explicit ModalAnswers(const QString& address, const QString& saveAs = {})
    {
        timer.setInterval(50);
        QObject::connect(&timer, &QTimer::timeout, [this, address, saveAs] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<OpenUrlDialog*>(modal)) {
                dialog->urlField()->setText(address);
                dialog->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages.append(box->text());
                icons.append(box->icon());
                const bool question = box->standardButtons().testFlag(QMessageBox::No);
                box->button(!question ? QMessageBox::Ok : saveAs.isEmpty() ? QMessageBox::No : QMessageBox::Yes)->click();
            } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                // Typed as a user types it: selectFile() of a path outside
                // the dialog's folder keeps the proposed name.
                auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(name);
                proposed = name->text();
                name->setText(saveAs);
                static_cast<QDialog*>(files)->accept();
            }
        });
        timer.start();
    }
    QTimer timer;
    QStringList messages;
    QList<QMessageBox::Icon> icons;
    QString proposed; // what the save dialog offered
};

// The document window showing that title, if any.
CChildFrame* childTitled(const CMainFrame& frame, const QString& title)
{
    for (CChildFrame* child : frame.findChildren<CChildFrame*>()) {
        if (child->document().fileTitle() == title)
            return child;
    }
    return nullptr;
}

// Cache folders of the test's own while it lives, whichever way the test ends.
struct CacheOfTheTest {
    CacheOfTheTest() { QStandardPaths::setTestModeEnabled(true); }
    ~CacheOfTheTest() { QStandardPaths::setTestModeEnabled(false); }
};

} // namespace

class OpenUrlDialogTest : public QObject {
    Q_OBJECT
private slots:
    void recentAddressesListNewestSlotFirst()
    {
        ScratchSettings scratch;
        storeSlots(scratch, { QStringLiteral("http://a/1.dcm"), {}, QStringLiteral("ftp://c/3.dcm"), {}, {}, {}, {},
                              QStringLiteral("https://h/8.dcm") });
        OpenUrlDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Open a file from Internet"));
        QStringList listed;
        for (int i = 0; i < dialog.recentList()->count(); ++i)
            listed.append(dialog.recentList()->itemText(i));
        QCOMPARE(listed, QStringList({ "https://h/8.dcm", "ftp://c/3.dcm", "http://a/1.dcm" }));

        dialog.recentList()->setCurrentIndex(1);
        emit dialog.recentList()->activated(1);
        QCOMPARE(dialog.urlField()->text(), QStringLiteral("ftp://c/3.dcm"));
        QCOMPARE(dialog.urlField()->selectedText(), QStringLiteral("ftp://c/3.dcm"));
        QCOMPARE(dialog.focusWidget(), dialog.urlField());
        saveScreenshot(dialog, QStringLiteral("open-url-dialog"));
    }

    void okWritesTheSlotsBack_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("after");
        QStringList full;
        for (int i = 1; i <= 8; ++i)
            full.append(QStringLiteral("http://u%1").arg(i));
        QStringList shifted = full.mid(1);
        shifted.append(QStringLiteral("http://n"));
        QTest::newRow("no scheme, first empty slot") << QStringList { "http://a" } << QStringLiteral(" b.example/x.dcm ")
            << QStringList { "http://a", "http://b.example/x.dcm", "", "", "", "", "", "" };
        QTest::newRow("ninth drops the first") << full << QStringLiteral("n") << shifted;
        QTest::newRow("known stays") << full << QStringLiteral("u4") << full;
    }

    void okWritesTheSlotsBack()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, typed);
        QFETCH(QStringList, after);
        ScratchSettings scratch;
        storeSlots(scratch, before);
        OpenUrlDialog dialog;
        dialog.urlField()->setText(typed);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(storedSlots(scratch), after);
    }

    void otherSchemesAreNotFound()
    {
        ScratchSettings scratch;
        OpenUrlDialog dialog;
        dialog.urlField()->setText(QStringLiteral("file:///etc/passwd"));
        ModalAnswers answers({});
        dialog.accept();
        QCOMPARE(answers.messages, QStringList { OpenUrlDialog::notFoundText() });
        QCOMPARE(answers.icons, QList<QMessageBox::Icon> { QMessageBox::Critical });
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.address().isEmpty());
        QCOMPARE(storedSlots(scratch), QStringList(8, QString()));
    }

    void openByAddressGivesTheFramesOfTheFile()
    {
        const QString relative = QStringLiteral("syntax/ct1-ile.dcm");
        if (!QFileInfo::exists(testFile("syntax/ct1-ile.dcm")))
            QSKIP("test data folder not found");
        UrlTestServer server("http", TV_TESTDATA_DIR);
        if (server.exitCode() == UrlTestServer::MissingModule)
            QSKIP("python3 lacks a module");
        QVERIFY(server.port() > 0);
        ScratchSettings scratch;
        CacheOfTheTest cache;
        const QDir downloads(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/downloads"));
        const QString address = QString::fromStdString(server.base()) + QLatin1Char('/') + relative;
        {
            CTolanApp app;
            QVERIFY(app.start({ QStringLiteral("tolan-viewer"), testFile("syntax/ct1-ile.dcm") }));
            CChildFrame* direct = app.mainFrame()->activeChild();
            QVERIFY(direct);
            {
                ModalAnswers answers(address);
                app.mainFrame()->action(Command::OpenFromInternet)->trigger();
                QCOMPARE(answers.messages, QStringList { QStringLiteral("Do you want to save this file locally?   ") });
                QCOMPARE(answers.icons, QList<QMessageBox::Icon> { QMessageBox::Question });
            }
            CChildFrame* fetched = childTitled(*app.mainFrame(), address);
            QVERIFY(fetched && fetched != direct);
            QCOMPARE(fetched->document().frameCount(), direct->document().frameCount());
            QCOMPARE(testfacts::framePixels(fetched->document(), 0), testfacts::framePixels(direct->document(), 0));
            QVERIFY(!testfacts::framePixels(direct->document(), 0).isEmpty());
            QCOMPARE(downloads.entryList(QDir::Files).size(), 1);
            QCOMPARE(storedSlots(scratch).first(), address);
            // The private copy is listed neither in the file bar nor among the recent files.
            QVERIFY(!app.mainFrame()->selectFileBar()->currentDirectory().startsWith(downloads.absolutePath()));
            QVERIFY(!app.mainFrame()->recentFiles().paths().join(QLatin1Char('\n')).contains(downloads.absolutePath()));

            {
                ModalAnswers missing(QString::fromStdString(server.base()) + QStringLiteral("/missing.dcm"));
                app.mainFrame()->action(Command::OpenFromInternet)->trigger();
                QCOMPARE(missing.messages, QStringList { OpenUrlDialog::notFoundText() });
                QCOMPARE(missing.icons, QList<QMessageBox::Icon> { QMessageBox::Critical });
                QCOMPARE(app.mainFrame()->findChildren<CChildFrame*>().size(), 2);
            }

            // Saved locally: the copy is the file, opened under its own name, and the download goes.
            QTemporaryDir target;
            const QString saved = target.filePath(QStringLiteral("saved.dcm"));
            ModalAnswers save(address + QStringLiteral("?session=1"), saved);
            app.mainFrame()->action(Command::OpenFromInternet)->trigger();
            QCOMPARE(save.proposed, QStringLiteral("ct1-ile.dcm"));
            QVERIFY(childTitled(*app.mainFrame(), QStringLiteral("saved.dcm")));
            QFile original(testFile("syntax/ct1-ile.dcm"));
            QFile copy(saved);
            QVERIFY(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
            QCOMPARE(copy.readAll(), original.readAll());
            QCOMPARE(target.path(), QFileInfo(saved).absolutePath());
            QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList { "saved.dcm" });
            QCOMPARE(downloads.entryList(QDir::Files).size(), 1);
        }
        // The opened copy goes with the program.
        QCOMPARE(downloads.entryList(QDir::Files).size(), 0);
    }
};

TV_REGISTER_TEST(OpenUrlDialogTest);
#include "OpenUrlDialogTest.moc"
