#include "AppTestSupport.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"

#include "app/Settings.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "app/dialogs/AttentionDialog.h"
#include "app/dialogs/BatchAnonymizeDialog.h"
#include "app/dialogs/ScanFileList.h"

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

namespace {

// Runs `act` on the next modal window once it is up (a message box or dialog).
void onNextModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(50, qApp, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal)
            act(modal);
        else
            onNextModal(act);
    });
}

// The size of a row's icon, empty without one.
QSize iconSize(const QTreeWidgetItem* item)
{
    const auto sizes = item->icon(0).availableSizes();
    return sizes.isEmpty() ? QSize() : sizes.front();
}

} // namespace

class AnonymizeDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void optionsRoundTripThroughTheSettings()
    {
        ScratchSettings scratch;
        auto store = settings::open();
        const auto first = AnonymizeOptionsDialog::load(*store);
        QVERIFY(std::all_of(first.on.begin(), first.on.end(), [](bool on) { return on; }));
        QVERIFY(first.attention);
        QVERIFY(!first.basicProfile);

        AnonymizeOptionsDialog dialog(first);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Header information to delete"));
        QCOMPARE(dialog.findChildren<QCheckBox*>().size(), 38);
        QCOMPARE(dialog.switchBox(0)->text(), QString::fromUtf8("Patient\u2019s Name"));
        QCOMPARE(dialog.switchBox(23)->text(), QStringLiteral("Operators' Name"));
        QCOMPARE(dialog.profileBox()->text(), QStringLiteral("Basic Profile (PS3.15)"));
        dialog.switchBox(0)->setChecked(false);
        dialog.switchBox(35)->setChecked(false);
        dialog.profileBox()->setChecked(true);
        AnonymizeOptionsDialog::save(*store, dialog.options());
        store->sync();
        saveScreenshot(dialog, QStringLiteral("anonymizing-options"));

        QSettings reread(scratch.iniPath(), QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("Anonymizing Options/PatientsName")).toInt(), 0);
        QCOMPARE(reread.value(QStringLiteral("Anonymizing Options/ImageComments")).toInt(), 0);
        QCOMPARE(reread.value(QStringLiteral("Anonymizing Options/StudyID")).toInt(), 1);
        const auto again = AnonymizeOptionsDialog::load(*settings::open());
        QVERIFY(!again.on[0] && !again.on[35] && again.on[1]);
        QVERIFY(again.basicProfile);
    }

    // A critical switch off with Attention on shows the message; ticking the
    // box stores Attention 0, after which it is not shown again.
    void attentionRuleFollowsTheCriticalSwitches()
    {
        ScratchSettings scratch;
        auto store = settings::open();
        QVERIFY(!AttentionDialog::applyRule(*store, nullptr));
        auto options = dicom::AnonOptions::defaults();
        options.on[0] = false; // PatientsName
        AnonymizeOptionsDialog::save(*store, options);
        bool textSeen = false;
        onNextModal([&textSeen](QWidget* modal) {
            auto* dialog = qobject_cast<AttentionDialog*>(modal);
            QVERIFY(dialog);
            textSeen = dialog->windowTitle() == QStringLiteral("Attention!") &&
                       !dialog->dontShowBox()->isChecked();
            saveScreenshot(*dialog, QStringLiteral("attention"));
            dialog->dontShowBox()->setChecked(true);
            dialog->accept();
        });
        QVERIFY(AttentionDialog::applyRule(*store, nullptr));
        QVERIFY(textSeen);
        QVERIFY(!AnonymizeOptionsDialog::load(*store).attention);
        QVERIFY(!AttentionDialog::applyRule(*store, nullptr));
    }

    // The list holds the DICOM files only; without an export folder nothing is
    // written; into the inputs' own folder without the suffix every input is kept.
    void batchListsDicomFilesAndNeverReplacesInputs()
    {
        ScratchSettings scratch;
        QTemporaryDir dir;
        writeTestFile(dir.filePath(QStringLiteral("a.dcm")), TestFile::Part10);
        writeTestFile(dir.filePath(QStringLiteral("b.dcm")), TestFile::Jpeg2000);
        QFile text(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(300, 'x'));
        text.close();
        QFile original(dir.filePath(QStringLiteral("a.dcm")));
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray before = original.readAll();
        original.close();

        BatchAnonymizeDialog dialog;
        QSignalSpy finished(&dialog, &BatchAnonymizeDialog::scanFinished);
        dialog.scan(dir.path());
        QVERIFY(finished.wait(5000));
        QCoreApplication::processEvents();
        QCOMPARE(dialog.fileList()->topLevelItemCount(), 2);
        saveScreenshot(dialog, QStringLiteral("batch-anonymize"));

        QString warning;
        onNextModal([&warning](QWidget* modal) {
            warning = qobject_cast<QMessageBox*>(modal)->text();
            qobject_cast<QMessageBox*>(modal)->accept();
        });
        QVERIFY(dialog.anonymize(dicom::AnonOptions::defaults()).isEmpty());
        QCOMPARE(warning, QStringLiteral("Please select an export directory   "));

        dialog.setExportDirectory(dir.path());
        QVERIFY(dialog.anonymize(dicom::AnonOptions::defaults()).startsWith(QStringLiteral("0 files written, 2 skipped, 0 failed.    ")));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(original.readAll(), before);
        original.close();

        dialog.suffixBox()->setChecked(true);
        QCOMPARE(dialog.anonymize(dicom::AnonOptions::defaults()), QStringLiteral("2 files written, 0 skipped, 0 failed.    "));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("b_anon.dcm"))));
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("a_anon.dcm"))).size(), before.size());
    }

    // The folder field starts at the "Current Working Directory" setting.
    void batchStartsInTheCurrentWorkingDirectory()
    {
        ScratchSettings scratch;
        QTemporaryDir dir;
        settings::writeString(*settings::open(), settings::SettingsGroup, settings::CurrentWorkingDirectory, dir.path());
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        QString shown = QStringLiteral("<no dialog>");
        QTimer::singleShot(0, [&shown] {
            if (auto* dialog = qobject_cast<BatchAnonymizeDialog*>(QApplication::activeModalWidget())) {
                shown = dialog->scanList()->folder();
                dialog->reject();
            }
        });
        app.mainFrame()->action(Command::BatchAnonymize)->trigger();
        QCOMPARE(shown, dir.path());
    }

    // A file that starts as DICOM and breaks off holds patient data all the
    // same: the scan passes it over, the batch names it as failed.
    void batchTellsACutDicomFileAsFailed()
    {
        ScratchSettings scratch;
        QTemporaryDir dir;
        QTemporaryDir out;
        writeTestFile(dir.filePath(QStringLiteral("a.dcm")), TestFile::Part10);
        writeTestFile(dir.filePath(QStringLiteral("cut.dcm")), TestFile::Truncated);
        BatchAnonymizeDialog dialog;
        QSignalSpy finished(&dialog, &BatchAnonymizeDialog::scanFinished);
        dialog.scan(dir.path());
        QVERIFY(finished.wait(5000));
        QCoreApplication::processEvents();
        QCOMPARE(dialog.fileList()->topLevelItemCount(), 1);
        dialog.setExportDirectory(out.path());
        QCOMPARE(dialog.anonymize(dicom::AnonOptions::defaults()),
                 QStringLiteral("1 files written, 0 skipped, 1 failed.    \n%1: not anonymized")
                     .arg(QDir::cleanPath(dir.filePath(QStringLiteral("cut.dcm")))));
        QVERIFY(!QFile::exists(out.filePath(QStringLiteral("cut.dcm"))));
    }

    // With "Load Icons" each listed file gets its first frame, fitted into
    // the icon square with its shape kept; a file that is not DICOM gets no row.
    void batchIconsShowTheFirstFrameInItsShape()
    {
        QTemporaryDir dir;
        writeTestFile(dir.filePath(QStringLiteral("wide.dcm")), TestFile::Gradient); // 7 x 4
        writeTestFile(dir.filePath(QStringLiteral("named.dcm")), TestFile::NamedPatient);
        QFile::copy(testFile("grey/buggie-8bit.dcm"), dir.filePath(QStringLiteral("tall.dcm"))); // 100 x 220
        QFile::copy(testFile("grey/ct-8bit-ile.dcm"), dir.filePath(QStringLiteral("ct.dcm")));
        QFile::copy(testFile("grey/cr-mono1-10bit.dcm"), dir.filePath(QStringLiteral("cr.dcm")));
        QFile text(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(300, 'x'));
        text.close();
        const int dicomFiles = static_cast<int>(QDir(dir.path()).entryList({QStringLiteral("*.dcm")}).size());

        BatchAnonymizeDialog dialog;
        dialog.iconsBox()->setChecked(true);
        QSignalSpy finished(&dialog, &BatchAnonymizeDialog::scanFinished);
        dialog.scan(dir.path());
        QVERIFY(finished.wait(20000));
        QCoreApplication::processEvents();
        QCOMPARE(dialog.fileList()->topLevelItemCount(), dicomFiles);
        for (int i = 0; i < dicomFiles; ++i) {
            const auto* item = dialog.fileList()->topLevelItem(i);
            const QSize size = iconSize(item);
            QCOMPARE(std::max(size.width(), size.height()), BatchAnonymizeDialog::IconSide);
            if (item->text(6) == QStringLiteral("wide.dcm"))
                QVERIFY(size.width() > size.height());
            if (item->text(6) == QStringLiteral("tall.dcm"))
                QVERIFY(size.width() < size.height());
        }
        saveScreenshot(dialog, QStringLiteral("batch-anonymize-icons"));
    }

    // Closing the dialog while icons are read stops the scan after the file at hand.
    void closingMidScanStopsTheIconScan()
    {
        QTemporaryDir dir;
        const int files = 40;
        for (int i = 0; i < files; ++i)
            writeTestFile(dir.filePath(QStringLiteral("f%1.dcm").arg(i)), TestFile::HundredFrames);
        BatchAnonymizeDialog dialog;
        dialog.iconsBox()->setChecked(true);
        QSignalSpy finished(&dialog, &BatchAnonymizeDialog::scanFinished);
        dialog.scan(dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(dialog.fileList()->topLevelItemCount() > 0, 20000);
        dialog.reject();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
        QCoreApplication::processEvents();
        QVERIFY(!dialog.scanning());
        QVERIFY(dialog.fileList()->topLevelItemCount() < files);
    }
};

TV_REGISTER_TEST(AnonymizeDialogsTest);
#include "AnonymizeDialogsTest.moc"
