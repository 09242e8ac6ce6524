#include "AppTestSupport.h"

#include "app/Settings.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "app/dialogs/AttentionDialog.h"
#include "app/dialogs/BatchAnonymizeDialog.h"

#include <QApplication>
#include <QCheckBox>
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
};

TV_REGISTER_TEST(AnonymizeDialogsTest);
#include "AnonymizeDialogsTest.moc"
