#include "AppTestSupport.h"

#include "app/CMainFrame.h"
#include "app/Command.h"
#include "app/CTolanApp.h"
#include "app/Settings.h"
#include "app/dialogs/AnonymizeOptionsDialog.h"
#include "app/dialogs/AttentionDialog.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "&Anonymize..." on a file holding a Patient's Name, its name dialog
// answered with `target`; returns whether the attention message came up.
bool anonymizeInto(const QString& source, const QString& target)
{
    CTolanApp app;
    if (!app.start({QStringLiteral("tolan-viewer"), source}))
        return false;
    app.mainFrame()->action(Command::Anonymize)->trigger();
    auto* dialog = app.mainFrame()->findChild<QFileDialog*>(QStringLiteral("AnonymizeSaveDialog"));
    if (!dialog || !dialog->isVisible() || dialog->acceptMode() != QFileDialog::AcceptSave)
        return false;
    bool attention = false;
    QObject guard; // no answer is tried once this call has returned
    QTimer::singleShot(0, &guard, [&attention] {
        if (auto* box = qobject_cast<AttentionDialog*>(QApplication::activeModalWidget())) {
            attention = true;
            box->accept();
        }
    });
    dialog->selectFile(target);
    static_cast<QDialog*>(dialog)->accept(); // as the Save button does
    return attention;
}

// Runs "&Anonymize..." and returns the text of the message box it shows
// (answered at once), empty when none comes.
QString anonymizeMessage(CTolanApp& app)
{
    QString text;
    QObject guard;
    std::function<void(int)> answer = [&](int triesLeft) {
        QTimer::singleShot(20, &guard, [&, triesLeft] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                box->accept();
            } else if (triesLeft > 0) {
                answer(triesLeft - 1);
            }
        });
    };
    answer(50);
    app.mainFrame()->action(Command::Anonymize)->trigger();
    QTest::qWait(100);
    return text;
}

} // namespace

class AnonymizeCommandTest : public QObject {
    Q_OBJECT
private slots:
    // The copy has the input's size with the name's value bytes blanked; with
    // the name's switch off (and Attention 1) the name stays and the message comes.
    void anonymizeWritesTheCopyAndWarnsWhenTheNameIsKept_data()
    {
        QTest::addColumn<bool>("nameSwitch");
        QTest::addColumn<QByteArray>("nameBytes");
        QTest::newRow("nameBlanked") << true << QByteArray(8, ' ');
        QTest::newRow("nameKeptWithAttention") << false << QByteArray("DOE^JANE");
    }
    void anonymizeWritesTheCopyAndWarnsWhenTheNameIsKept()
    {
        QFETCH(bool, nameSwitch);
        QFETCH(QByteArray, nameBytes);
        ScratchSettings scratch;
        auto options = dicom::AnonOptions::defaults();
        options.on[0] = nameSwitch; // PatientsName
        AnonymizeOptionsDialog::save(*settings::open(), options);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("named.dcm"));
        writeTestFile(source, TestFile::NamedPatient);
        const QString target = dir.filePath(QStringLiteral("named_anon.dcm"));

        QCOMPARE(anonymizeInto(source, target), !nameSwitch);
        const QByteArray before = contents(source);
        const QByteArray after = contents(target);
        QCOMPARE(after.size(), before.size());
        const qsizetype at = before.indexOf("DOE^JANE");
        QVERIFY(at > 0);
        QCOMPARE(after.mid(at, 8), nameBytes);
        QCOMPARE(after.left(at), before.left(at));
        QCOMPARE(after.mid(at + 8), before.mid(at + 8));
    }

    // The name dialog offers every file, those without a dot in their name too.
    void saveDialogListsFilesWithoutExtension()
    {
        ScratchSettings scratch;
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("named"));
        writeTestFile(source, TestFile::NamedPatient);
        CTolanApp app;
        QVERIFY(app.start({QStringLiteral("tolan-viewer"), source}));
        app.mainFrame()->action(Command::Anonymize)->trigger();
        auto* dialog = app.mainFrame()->findChild<QFileDialog*>(QStringLiteral("AnonymizeSaveDialog"));
        QVERIFY(dialog);
        QCOMPARE(dialog->nameFilters(), QStringList {QStringLiteral("All Files (*)")});
        QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), QStringLiteral("named_anon"));
        dialog->reject();
    }

    // A document of several files: each gets its "_anon" copy beside it, with
    // one message of the counts; the UIDs they share stay shared.
    void multiFileDocumentAnonymizesEveryFile()
    {
        ScratchSettings scratch;
        QTemporaryDir dir;
        const QStringList sources {dir.filePath(QStringLiteral("a.dcm")), dir.filePath(QStringLiteral("b.dcm"))};
        for (const QString& source : sources)
            writeTestFile(source, TestFile::NamedPatient);
        CTolanApp app;
        QVERIFY(app.start({QStringLiteral("tolan-viewer")}));
        app.openAsOne(sources, QStringLiteral("(Multiple files)"));
        QCOMPARE(anonymizeMessage(app), QStringLiteral("2 files written, 0 skipped, 0 failed.    "));
        for (const QString& name : {QStringLiteral("a_anon.dcm"), QStringLiteral("b_anon.dcm")}) {
            const QByteArray copy = contents(dir.filePath(name));
            QCOMPARE(copy.size(), contents(sources[0]).size());
            QVERIFY(!copy.contains("DOE^JANE"));
        }
    }

    // A picture holds no header: the user is told so, nothing is asked.
    void pictureDocumentHasNothingToAnonymize()
    {
        ScratchSettings scratch;
        CTolanApp app;
        QVERIFY(app.start({QStringLiteral("tolan-viewer"), testFile("bmp/rgb24-6x6.bmp")}));
        QCOMPARE(anonymizeMessage(app),
                 QStringLiteral("The document holds no DICOM file: there is nothing to anonymize.    "));
        QVERIFY(!app.mainFrame()->findChild<QFileDialog*>(QStringLiteral("AnonymizeSaveDialog")));
    }
};

TV_REGISTER_TEST(AnonymizeCommandTest);
#include "AnonymizeCommandTest.moc"
