#include "AppTestSupport.h"
#include "ViewerFixture.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/RecentFileList.h"
#include "app/SelectFileBar.h"
#include "dicom/DicomDataset.h"
#include "dicom/Tags.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<std::int16_t> shownSamples(const COrvoDoc& doc) { return doc.frame(0)->image16()->topLevel().pixels; }

// "Save As..." to that path, as the Save button does; false when no dialog came.
bool saveAs(const Viewer& viewer, const QString& target)
{
    viewer.trigger(Command::SaveAs);
    auto* dialog = viewer.shown<QFileDialog>();
    if (!dialog)
        return false;
    dialog->selectFile(target);
    static_cast<QDialog*>(dialog)->accept();
    return true;
}

COrvoDoc* activeDocument(const Viewer& viewer)
{
    CChildFrame* child = viewer.app.mainFrame()->activeChild();
    return child ? &child->document() : nullptr;
}

} // namespace

class SaveCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void rotatedCroppedFrameIsSavedAsShownAndValid()
    {
        Viewer viewer(TestFile::MarkedFrame);
        QVERIFY(viewer.doc);
        viewer.trigger(Command::Rotate90Clockwise);
        QVERIFY(viewer.doc->frame()->selectRectangle(2, 3, 9, 13));
        viewer.trigger(Command::CropToSelection);
        QVERIFY(viewer.doc->canUndo(0));
        const auto before = shownSamples(*viewer.doc);
        const int width = viewer.doc->frame()->width(), height = viewer.doc->frame()->height();

        viewer.trigger(Command::SaveAs);
        auto* dialog = viewer.shown<QFileDialog>();
        QVERIFY(dialog);
        const QString target = viewer.dir.filePath(QStringLiteral("saved.dcm"));
        dialog->selectFile(target);
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does

        QVERIFY(QFile::exists(target));
        QCOMPARE(viewer.doc->filePath(), target);
        QVERIFY(!viewer.doc->canUndo(0));
        QCOMPARE(viewer.doc->frame()->width(), width);
        QCOMPARE(viewer.doc->frame()->height(), height);
        QCOMPARE(shownSamples(*viewer.doc), before);
        if (QStandardPaths::findExecutable(QStringLiteral("dciodvfy")).isEmpty())
            QSKIP("dciodvfy is not installed");
        QProcess verify;
        verify.setProcessChannelMode(QProcess::MergedChannels);
        verify.start(QStringLiteral("dciodvfy"), { target });
        QVERIFY(verify.waitForFinished(30000));
        const QString report = QString::fromLatin1(verify.readAll());
        QVERIFY2(!report.contains(QLatin1String("\nError")) && !report.startsWith(QLatin1String("Error")),
                 qPrintable(report));
    }

    void saveOverOtherSoftwareIsRefusedThenAsksForAName()
    {
        Viewer viewer(TestFile::Gradient); // another program's file
        QVERIFY(viewer.doc);
        const QByteArray old = contents(viewer.path);
        viewer.trigger(Command::Save);
        auto* box = viewer.shown<QMessageBox>();
        QVERIFY(box);
        QCOMPARE(box->text(),
                 QStringLiteral("I can't overwrite a file created by other \nsoftware. Please select an other name."));
        saveScreenshot(*box, QStringLiteral("save-overwrite-refused"));
        box->accept();
        auto* dialog = viewer.shown<QFileDialog>();
        QVERIFY(dialog);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        saveScreenshot(*dialog, QStringLiteral("save-as-dialog"));
        dialog->reject();
        QCOMPARE(contents(viewer.path), old);
    }

    void ownFileIsOverwrittenInPlace()
    {
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        const QString target = viewer.dir.filePath(QStringLiteral("ours.dcm"));
        QCOMPARE(viewer.doc->save(target), COrvoDoc::SaveResult::Saved);
        const QByteArray first = contents(target);
        viewer.trigger(Command::FlipHorizontal);
        viewer.trigger(Command::Save);
        QVERIFY(viewer.shown<QMessageBox>() == nullptr);
        QVERIFY(contents(target) != first);
        QVERIFY(!viewer.doc->canUndo(0));
    }

    void failedWriteKeepsTheOldFileAndTheDocument()
    {
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        viewer.trigger(Command::FlipVertical);
        const QByteArray old = contents(viewer.path);
        const auto before = viewer.doc->frame()->image8()->topLevel().pixels;
        const auto failing = [](std::uint64_t written) { return written == 0 ? false : true; };
        QCOMPARE(viewer.doc->save(viewer.path, failing), COrvoDoc::SaveResult::CannotCreate);
        QCOMPARE(contents(viewer.path), old);
        QVERIFY(viewer.doc->canUndo(0));
        QCOMPARE(viewer.doc->frame()->image8()->topLevel().pixels, before);
        QCOMPARE(QDir(viewer.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // A saved file measures as its source did, and the shell knows it as
    // the file now open.
    void savedFileKeepsItsSpacingAndIsListed()
    {
        Viewer viewer(TestFile::SpacedFrame);
        QVERIFY(viewer.doc);
        QVERIFY(QDir(viewer.dir.path()).mkdir(QStringLiteral("saved")));
        const QString target = viewer.dir.filePath(QStringLiteral("saved/spaced.dcm"));
        QVERIFY(saveAs(viewer, target));
        QCOMPARE(viewer.doc->filePath(), target);
        QCOMPARE(viewer.doc->pixelSpacing(), std::make_pair(0.5, 0.5));
        QCOMPARE(viewer.doc->sliceThickness(), 2.0);
        QVERIFY(viewer.app.mainFrame()->recentFiles().paths().contains(target));
        QCOMPARE(QDir(viewer.app.mainFrame()->selectFileBar()->currentDirectory()).absolutePath(),
                 QFileInfo(target).absolutePath());
    }

    void patientIsKeptOnlyWhenAsked_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QString>("name");
        QTest::newRow("default") << false << QString();
        QTest::newRow("kept") << true << QStringLiteral("DOE^JANE");
    }
    void patientIsKeptOnlyWhenAsked()
    {
        QFETCH(bool, keep);
        QFETCH(QString, name);
        Viewer viewer(TestFile::NamedPatient);
        QVERIFY(viewer.doc);
        viewer.app.options().keepPatientAndStudy = keep;
        QVERIFY(saveAs(viewer, viewer.dir.filePath(QStringLiteral("saved.dcm"))));
        const dicom::DicomElement* patient = viewer.doc->dataset()->find(dicom::tags::PatientName);
        QVERIFY(patient);
        QCOMPARE(QString::fromLatin1(patient->text()).trimmed(), name);
    }

    // A download shown from the program's cache is saved only under a name
    // the user gives, after a Reload too.
    void documentFromAnAddressAsksForAName()
    {
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        const QString copy = viewer.dir.filePath(QStringLiteral("cache-copy"));
        writeTestFile(copy, TestFile::Gradient);
        const QByteArray old = contents(copy);
        emit viewer.app.mainFrame()->openUnlistedRequested(copy, QStringLiteral("http://example.invalid/scan.dcm"));
        for (const bool reloaded : { false, true }) {
            if (reloaded)
                viewer.trigger(Command::Reload);
            COrvoDoc* doc = activeDocument(viewer);
            QVERIFY(doc && doc != viewer.doc);
            QCOMPARE(doc->sourcePaths(), QStringList { copy });
            viewer.trigger(Command::Save);
            auto* dialog = viewer.shown<QFileDialog>();
            QVERIFY(dialog);
            QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), QStringLiteral("scan.dcm"));
            dialog->reject();
            QCOMPARE(contents(copy), old);
        }
    }

    // The fixed text comes first, then the system's reason.
    void failedSaveSaysWhy()
    {
        Viewer viewer(TestFile::Gradient);
        QVERIFY(viewer.doc);
        // The main window's title names the maximised document as well; the
        // box carries the program's name alone.
        QVERIFY(viewer.app.mainFrame()->windowTitle() != QStringLiteral("Tolan Viewer"));
        QVERIFY(saveAs(viewer, viewer.dir.filePath(QStringLiteral("missing/saved.dcm"))));
        auto* box = viewer.shown<QMessageBox>();
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Tolan Viewer"));
        QVERIFY2(box->text().startsWith(QStringLiteral("I can't create the file.\n")), qPrintable(box->text()));
        QVERIFY2(box->text().endsWith(QString::fromLocal8Bit(std::strerror(ENOENT))), qPrintable(box->text()));
        box->accept();
    }

};

TV_REGISTER_TEST(SaveCommandsTest);
#include "SaveCommandsTest.moc"
