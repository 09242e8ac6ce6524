#include "AppTestSupport.h"
#include "ViewerFixture.h"

#include "app/Settings.h"
#include "app/dialogs/PreviewFileDialog.h"
#include "tests/support/DicomBytes.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QTimer>
#include <QPushButton>

#include <memory>
#include <string>

namespace {

using Fact = PreviewFileDialog::Fact;

// A Part 10 file whose only data element is a Patient's Name of `length` characters.
void writeLongName(const QString& path, int length)
{
    testsupport::DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    b.element(0x0010, 0x0010, "PN", std::string(static_cast<std::size_t>(length), 'W'));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(b.bytes().data()), static_cast<qint64>(b.size()));
}

// A folder of copies of shared test files, and the dialog open in it.
struct DialogInFolder {
    ScratchSettings settings;
    QTemporaryDir folder;
    std::unique_ptr<PreviewFileDialog> dialog;

    explicit DialogInFolder(const QStringList& sharedFiles = {})
    {
        for (const QString& file : sharedFiles)
            QFile::copy(testFile(file.toLatin1().constData()), path(QFileInfo(file).fileName()));
        dialog = std::make_unique<PreviewFileDialog>(nullptr, folder.path());
        dialog->resize(900, 640);
        dialog->show();
    }
    QString path(const QString& name) const { return folder.path() + QLatin1Char('/') + name; }
    QString fact(Fact which) const { return dialog->factLabel(which)->text(); }
};

} // namespace

class PreviewFileDialogTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheHeaderFactsOfTheSelectedFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("facts");
        // The values pydicom reads from the same files.
        QTest::newRow("19 frames") << "multiframe/mr-19f-2mb.dcm"
            << QStringList { "Patient's Name : Knee^Moving", "Study ID : 05000", "Date : 20061219", "Modality : MR", "Frames : 19" };
        QTest::newRow("one frame") << "grey/buggie-8bit.dcm"
            << QStringList { "Patient's Name : DOE^WILBER", "Study ID : 1", "Date : 20250804", "Modality : MR", "Frames : 1" };
        QTest::newRow("no Study ID") << "grey/ct-14bit-signed.dcm"
            << QStringList { "Patient's Name : CQ500-CT-310", "Study ID :", "Date :", "Modality : CT", "Frames : 1" };
    }
    void showsTheHeaderFactsOfTheSelectedFile()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, facts);
        DialogInFolder open({ file });
        QVERIFY(!open.dialog->viewHeaderButton()->isEnabled());
        open.dialog->selectFile(open.path(QFileInfo(file).fileName()));
        QTRY_COMPARE(open.fact(Fact::PatientName), facts[0]);
        for (int fact = 0; fact < Fact::FactCount; ++fact)
            QCOMPARE(open.fact(static_cast<Fact>(fact)), facts[fact]);
        QVERIFY(!open.dialog->previewButton()->icon().isNull());
        QVERIFY(open.dialog->viewHeaderButton()->isEnabled());
        if (QTest::currentDataTag() == QLatin1String("19 frames"))
            saveScreenshot(*open.dialog, QStringLiteral("preview-file-dialog"));
    }

    void openAsSingleFileFollowsTheNumberOfFilesSelected()
    {
        struct Step {
            const char* selection;
            bool enabled;
            bool checked; // after the user unchecked it
        };
        const Step steps[] = {
            { "\"ct1-ele.dcm\" \"ct1-ile.dcm\" \"ct1-ebe.dcm\"", true, false },
            { "ct1-ile.dcm", false, true },
            { "\"ct1-ele.dcm\" \"ct1-ebe.dcm\"", true, false },
        };
        DialogInFolder open({ "syntax/ct1-ele.dcm", "syntax/ct1-ile.dcm", "syntax/ct1-ebe.dcm" });
        QCheckBox* single = open.dialog->singleFileBox();
        QVERIFY(single->isChecked() && !single->isEnabled());
        // Typed into the file name field, as a user picks several files by name.
        auto* nameEdit = open.dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* files = open.dialog->findChild<QListView*>(QStringLiteral("listView"));
        QVERIFY(nameEdit && files);
        for (const Step& step : steps) {
            // Without the keyboard focus on the field, typing adds to the selection.
            files->clearSelection();
            nameEdit->setText(QString::fromLatin1(step.selection));
            QTRY_COMPARE(single->isEnabled(), step.enabled);
            if (single->isEnabled())
                single->setChecked(false);
            QCOMPARE(single->isChecked(), step.checked);
        }
    }

    void showPreviewOffShowsFactsWithoutThumbnailAndIsKept()
    {
        DialogInFolder open({ "grey/buggie-8bit.dcm" });
        open.dialog->showPreviewBox()->setChecked(false);
        open.dialog->selectFile(open.path(QStringLiteral("buggie-8bit.dcm")));
        QTRY_COMPARE(open.fact(Fact::PatientName), QStringLiteral("Patient's Name : DOE^WILBER"));
        QVERIFY(open.dialog->previewButton()->icon().isNull());
        open.dialog->reject();
        auto store = settings::open();
        QCOMPARE(store->value(QStringLiteral("Settings/PreviewIcons")).toInt(), 0);
        const PreviewFileDialog next(nullptr, open.folder.path());
        QVERIFY(!next.showPreviewBox()->isChecked());
    }

    void longPatientNameIsCutWithDots()
    {
        DialogInFolder open;
        writeLongName(open.path(QStringLiteral("long.dcm")), 10000);
        const int width = open.dialog->width();
        open.dialog->selectFile(open.path(QStringLiteral("long.dcm")));
        QTRY_VERIFY(open.fact(Fact::PatientName).endsWith(QStringLiteral("...")));
        const QLabel* label = open.dialog->factLabel(Fact::PatientName);
        QVERIFY(label->text().startsWith(QStringLiteral("Patient's Name : WWWW")));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
        QCOMPARE(open.dialog->width(), width);
    }
    void fileOpenOfSeveralFiles_data()
    {
        QTest::addColumn<bool>("asOne");
        QTest::addColumn<int>("newWindows");
        QTest::addColumn<QString>("activeTitle");
        QTest::newRow("as a single file") << true << 1 << "(Multiple files)";
        // Opened last to first: the first file's window ends up active.
        QTest::newRow("each on its own") << false << 3 << "a.dcm";
    }
    void fileOpenOfSeveralFiles()
    {
        QFETCH(bool, asOne);
        QFETCH(int, newWindows);
        QFETCH(QString, activeTitle);
        Viewer viewer(TestFile::Part10);
        for (const char* name : { "a.dcm", "b.dcm", "c.dcm" })
            writeTestFile(viewer.dir.filePath(QString::fromLatin1(name)), TestFile::NamedPatient);
        const auto windowsBefore = viewer.app.mainFrame()->mdiArea()->subWindowList().size();
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<PreviewFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->selectFile(QStringLiteral("\"a.dcm\" \"b.dcm\" \"c.dcm\""));
            dialog->singleFileBox()->setChecked(asOne);
            answered = true;
            QMetaObject::invokeMethod(dialog, "accept");
        });
        viewer.trigger(Command::Open);
        QVERIFY(answered);
        QCOMPARE(viewer.app.mainFrame()->mdiArea()->subWindowList().size(), windowsBefore + newWindows);
        QCOMPARE(viewer.app.mainFrame()->activeChild()->document().fileTitle(), activeTitle);
    }
};

TV_REGISTER_TEST(PreviewFileDialogTest);
#include "PreviewFileDialogTest.moc"
