#include "AppTestSupport.h"
#include "ScanFileTestFiles.h"
#include "ViewerFixture.h"

#include "app/dialogs/OpenMultipleDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <set>

namespace {

using GroupSet = std::set<std::set<QString>>;

constexpr int ScanTimeoutMs = 120000;

bool scanFolder(OpenMultipleDialog& dialog, const QString& folder, bool recursive)
{
    dialog.folderField()->setText(folder);
    dialog.subdirectoriesBox()->setChecked(recursive);
    QSignalSpy finished(&dialog, &OpenMultipleDialog::scanFinished);
    dialog.startScan();
    return finished.wait(ScanTimeoutMs);
}

// The dialog's groups as sets of paths relative to root.
GroupSet groupsOf(const dicom::FileGroups& groups, const QString& root)
{
    const QDir base(root);
    GroupSet result;
    for (std::size_t g = 0; g < groups.groups().size(); ++g) {
        std::set<QString> files;
        for (const std::string& path : groups.paths(g))
            files.insert(base.relativeFilePath(QString::fromStdString(path)));
        result.insert(files);
    }
    return result;
}

// The groups pydicom makes of the files under root with every key on.
GroupSet pydicomGroups(const QString& root)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 { QStringLiteral(TV_SOURCE_DIR "/tests/scripts/group_files.py"), root });
    GroupSet result;
    if (!python.waitForFinished(ScanTimeoutMs) || python.exitCode() != 0)
        return result;
    for (const QString& line : QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList files = line.split(u'\t');
        result.insert(std::set<QString>(files.begin(), files.end()));
    }
    return result;
}

std::set<QString> filesOf(const GroupSet& groups)
{
    std::set<QString> files;
    for (const auto& group : groups)
        files.insert(group.begin(), group.end());
    return files;
}

// The groups cut down to the files both readers took for DICOM.
GroupSet restricted(const GroupSet& groups, const std::set<QString>& kept)
{
    GroupSet result;
    for (const auto& group : groups) {
        std::set<QString> files;
        std::copy_if(group.begin(), group.end(), std::inserter(files, files.end()),
                     [&kept](const QString& f) { return kept.count(f) != 0; });
        if (!files.empty())
            result.insert(files);
    }
    return result;
}

} // namespace

class OpenMultipleDialogTest : public QObject {
    Q_OBJECT
private slots:
    void groupsMatchPydicom()
    {
        ScratchSettings scratch;
        OpenMultipleDialog dialog(QString {});
        const QString root = QStringLiteral(TV_TESTDATA_DIR);
        QSignalSpy firstGroup(&dialog, &OpenMultipleDialog::firstGroupShown);
        QVERIFY(scanFolder(dialog, root, true));
        QCOMPARE(firstGroup.count(), 1);
        QCOMPARE(dialog.statusField()->text(), QStringLiteral("Finished!"));
        const GroupSet ours = groupsOf(dialog.groups(), root);
        const GroupSet theirs = pydicomGroups(root);
        std::set<QString> both;
        const auto ourFiles = filesOf(ours);
        const auto theirFiles = filesOf(theirs);
        std::set_intersection(ourFiles.begin(), ourFiles.end(), theirFiles.begin(), theirFiles.end(),
                              std::inserter(both, both.end()));
        QVERIFY2(both.size() >= 100, qPrintable(QString::number(both.size())));
        QCOMPARE(restricted(ours, both), restricted(theirs, both));
        QCOMPARE(dialog.groupList()->count(), static_cast<int>(dialog.groups().groups().size()));
        QCOMPARE(dialog.groupList()->itemText(0), QStringLiteral("0001"));
        QCOMPARE(dialog.fileList()->rowCount(), static_cast<int>(dialog.groups().groups()[0].files.size()));
        saveScreenshot(dialog, QStringLiteral("open-multiple-groups"));
    }

    void minimumHidesSmallGroups()
    {
        ScratchSettings scratch;
        OpenMultipleDialog dialog(QString {});
        QVERIFY(scanFolder(dialog, QStringLiteral(TV_TESTDATA_DIR), true));
        dialog.minimumSpin()->setValue(3);
        const auto kept = dialog.groups().groupsOfAtLeast(3);
        QVERIFY(!kept.empty());
        QVERIFY(kept.size() < dialog.groups().groups().size());
        QCOMPARE(dialog.groupList()->count(), static_cast<int>(kept.size()));
        for (int i = 0; i < dialog.groupList()->count(); ++i)
            QCOMPARE(dialog.groupList()->itemText(i), QString::asprintf("%04d", static_cast<int>(kept[i]) + 1));
    }

    void untickedSeriesKeyRegroups()
    {
        ScratchSettings scratch;
        OpenMultipleDialog dialog(QString {});
        QVERIFY(scanFolder(dialog, testFile("series"), true));
        const std::size_t before = dialog.groups().groups().size();
        for (QCheckBox* box : dialog.keyBoxes())
            box->setChecked(false);
        QCOMPARE(dialog.groups().groups().size(), std::size_t { 1 });
        QCOMPARE(dialog.groups().records().size(), std::size_t { 6 });
        QVERIFY(before > 1);
    }

    void openAllGivesOneDocumentInFileNameOrder()
    {
        Viewer viewer(TestFile::Part10);
        const QString folder = testFile("series/study-a");
        QTimer::singleShot(0, [folder] {
            auto* dialog = qobject_cast<OpenMultipleDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (scanFolder(*dialog, folder, false))
                dialog->openAllButton()->click();
            else
                dialog->reject();
        });
        viewer.trigger(Command::OpenMultiple);
        const COrvoDoc& doc = viewer.app.mainFrame()->activeChild()->document();
        const QStringList expected { folder + QStringLiteral("/img1.dcm"), folder + QStringLiteral("/img2.dcm"),
            folder + QStringLiteral("/img3.dcm") };
        QCOMPARE(doc.sourcePaths(), expected);
        QCOMPARE(doc.frameCount(), 3);
        QVERIFY(doc.fileTitle().endsWith(QStringLiteral(", 3")));
    }

    void longPatientNameDoesNotWidenTheDialog()
    {
        ScratchSettings scratch;
        QTemporaryDir shortDir;
        QTemporaryDir longDir;
        QVERIFY(writeFactsFile(shortDir.filePath(QStringLiteral("a.dcm")), { "DOE^JANE" }));
        const std::string longName(10000, 'W');
        QVERIFY(writeFactsFile(longDir.filePath(QStringLiteral("a.dcm")), { longName.c_str() }));
        OpenMultipleDialog shortDialog(QString {});
        OpenMultipleDialog longDialog(QString {});
        QVERIFY(scanFolder(shortDialog, shortDir.path(), false));
        QVERIFY(scanFolder(longDialog, longDir.path(), false));
        longDialog.fileList()->selectRow(0);
        QCOMPARE(longDialog.fileList()->item(0, 0)->text(),
                 QString(OpenMultipleDialog::MaxShownLength, u'W') + QStringLiteral("..."));
        QCOMPARE(longDialog.sizeHint().width(), shortDialog.sizeHint().width());
        QCOMPARE(longDialog.minimumSizeHint().width(), shortDialog.minimumSizeHint().width());
    }

    void loadIconsGivesThumbnails()
    {
        ScratchSettings scratch;
        OpenMultipleDialog dialog(QString {});
        dialog.iconsBox()->setChecked(true);
        QVERIFY(scanFolder(dialog, testFile("series/study-a"), false));
        QCOMPARE(dialog.fileList()->rowCount(), 3);
        dialog.fileList()->selectRow(0);
        QVERIFY(!dialog.fileList()->item(0, 0)->icon().isNull());
        QVERIFY(dialog.pathField()->text().endsWith(QStringLiteral(".dcm")));
        dialog.resize(760, 560);
        saveScreenshot(dialog, QStringLiteral("open-multiple-icons"));
    }
};

TV_REGISTER_TEST(OpenMultipleDialogTest);

#include "OpenMultipleDialogTest.moc"
