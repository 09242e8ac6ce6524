#include "AppTestSupport.h"

#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/Settings.h"
#include "app/dialogs/BatchConvertDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace {

// Writes one-frame files of these names into `folder`, lists them in the
// dialog and selects them all.
bool listFiles(BatchConvertDialog& dialog, const QString& folder, const QStringList& names)
{
    for (const QString& name : names)
        writeTestFile(folder + QLatin1Char('/') + name, TestFile::Part10);
    QSignalSpy finished(&dialog, &BatchConvertDialog::scanFinished);
    dialog.scan(folder);
    if (!finished.wait(20000))
        return false;
    dialog.scanList()->list()->selectAll();
    return dialog.scanList()->selectedPaths().size() == names.size();
}

QStringList filesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

class BatchConvertDialogTest : public QObject {
    Q_OBJECT
private slots:
    void convertsToTiffUnderTheFileNames()
    {
        ScratchSettings scratch;
        QTemporaryDir sources, out;
        BatchConvertDialog dialog;
        QVERIFY(listFiles(dialog, sources.path(), { QStringLiteral("CT.001.dcm"), QStringLiteral("b.dcm") }));
        QVERIFY(dialog.exportButton()->isEnabled());
        QCOMPARE(QDir::fromNativeSeparators(dialog.pathField()->text()), dialog.scanList()->selectedPaths().front());
        dialog.setExportDirectory(out.path());
        QCOMPARE(dialog.formatBox()->currentText(), QStringLiteral("TIFF"));
        const QString message = dialog.convert(false, dicom::AnonOptions::defaults());

        QCOMPARE(filesIn(out.path()), (QStringList { QStringLiteral("CT_001_dcm.tif"), QStringLiteral("b_dcm.tif") }));
        QVERIFY(message.startsWith(QStringLiteral("Finished!\n\nConverted: 2\n")));
        auto store = settings::open();
        QCOMPARE(settings::readString(*store, settings::DirectoriesGroup, settings::ExportDirectory),
                 dialog.exportDirectory());
        saveScreenshot(dialog, QStringLiteral("BatchConvertDialog"));
    }

    void cancelAfterTheFirstOfFiveLeavesItsOutputsOnly()
    {
        ScratchSettings scratch;
        QTemporaryDir sources, out;
        BatchConvertDialog dialog;
        QVERIFY(listFiles(dialog, sources.path(),
                          { QStringLiteral("1.dcm"), QStringLiteral("2.dcm"), QStringLiteral("3.dcm"),
                            QStringLiteral("4.dcm"), QStringLiteral("5.dcm") }));
        dialog.setExportDirectory(out.path());
        dialog.setAfterFile([](int done) { return done >= 1; });
        dialog.convert(false, dicom::AnonOptions::defaults());

        QString first = QFileInfo(dialog.scanList()->selectedPaths().front()).fileName();
        QCOMPARE(filesIn(out.path()), QStringList { first.replace(QLatin1Char('.'), QLatin1Char('_')) + QStringLiteral(".tif") });
        QVERIFY(dialog.lastSummary().cancelled);
        QCOMPARE(dialog.lastSummary().converted, 1);
    }

    // Without an export folder nothing runs and the warning says so.
    void asksForAnExportDirectory()
    {
        ScratchSettings scratch;
        BatchConvertDialog dialog;
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        QCOMPARE(dialog.convert(false, dicom::AnonOptions::defaults()), QString());
        QCOMPARE(shown, QStringLiteral("Please select an export directory   "));
    }

    // The folder read from the settings is listed with its separator and chosen.
    void opensWithTheStoredExportDirectory()
    {
        ScratchSettings scratch;
        settings::writeString(*settings::open(), settings::DirectoriesGroup, settings::ExportDirectory,
                              QStringLiteral("/tmp/batch-out"));
        BatchConvertDialog dialog;
        QCOMPARE(dialog.exportDirectory(), QStringLiteral("/tmp/batch-out/"));
        QVERIFY(!dialog.exportButton()->isEnabled());
        QVERIFY(!dialog.viewHeaderButton()->isEnabled());
    }

    // "&Batch Convert..." offers the working directory to scan.
    void commandStartsInTheWorkingDirectory()
    {
        ScratchSettings scratch;
        QTemporaryDir folder;
        settings::writeString(*settings::open(), settings::SettingsGroup, settings::CurrentWorkingDirectory,
                              folder.path());
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
        QString shown = QStringLiteral("<no dialog>");
        QTimer::singleShot(0, [&shown] {
            if (auto* dialog = qobject_cast<BatchConvertDialog*>(QApplication::activeModalWidget())) {
                shown = dialog->scanList()->folder();
                dialog->reject();
            }
        });
        app.mainFrame()->action(Command::BatchConvert)->trigger();
        QCOMPARE(shown, folder.path());
    }
};

TV_REGISTER_TEST(BatchConvertDialogTest);
#include "BatchConvertDialogTest.moc"
