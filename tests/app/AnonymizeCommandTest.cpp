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
#include <QTimer>
#include <QtTest>

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
};

TV_REGISTER_TEST(AnonymizeCommandTest);
#include "AnonymizeCommandTest.moc"
