#include "AppTestSupport.h"
#include "ScanFileTestFiles.h"
#include "ViewerFixture.h"

#include "app/dialogs/DirectoryContentsDialog.h"
#include "app/dialogs/ScanFileList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <string>

namespace {

bool scanAndWait(ScanFileList& list, const QString& folder)
{
    QSignalSpy finished(&list, &ScanFileList::scanFinished);
    list.setFolder(folder);
    list.startScan();
    return finished.wait(20000);
}

QStringList columnTexts(const QTreeWidget& tree, int column)
{
    QStringList texts;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        texts << tree.topLevelItem(i)->text(column);
    return texts;
}

} // namespace

class ScanFileListTest : public QObject {
    Q_OBJECT
private slots:
    // Only DICOM files get a row; a 10,000-character name is cut to the cell
    // bound and does not widen the dialog.
    void listsDicomFilesWithBoundedCells()
    {
        QTemporaryDir dir;
        const std::string longName(10000, 'L');
        QVERIFY(writeFactsFile(dir.filePath(QStringLiteral("a.dcm")), {"DOE^JOHN", "20200102", "7"}));
        QVERIFY(writeFactsFile(dir.filePath(QStringLiteral("long.dcm")), {longName.c_str()}));
        QVERIFY(writeTextFile(dir.filePath(QStringLiteral("notes.txt"))));
        DirectoryContentsDialog dialog;
        const int widthBefore = dialog.sizeHint().width();
        ScanFileList& list = *dialog.fileList();
        QVERIFY(scanAndWait(list, dir.path()));

        QStringList names = columnTexts(*list.list(), 6);
        names.sort();
        QCOMPARE(names, (QStringList {QStringLiteral("a.dcm"), QStringLiteral("long.dcm")}));
        QCOMPARE(list.statusLabel()->text(), QStringLiteral("Finished!"));
        for (int i = 0; i < list.list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list.list()->topLevelItem(i);
            if (item->text(6) == QStringLiteral("a.dcm")) {
                QCOMPARE(item->text(1), QStringLiteral("DOE^JOHN"));
                QCOMPARE(item->text(2), QStringLiteral("7"));
                QCOMPARE(item->text(3), QStringLiteral("20200102"));
                QCOMPARE(item->text(5), QStringLiteral("1"));
            } else {
                QCOMPARE(item->text(1), QString(ScanFileList::MaxCellLength, QLatin1Char('L')) + QStringLiteral("..."));
            }
        }
        QCOMPARE(dialog.sizeHint().width(), widthBefore);
    }

    // Sub-folders get their own entries in scan order; scanning again reuses
    // them, and choosing one shows its files.
    void foldersHaveOneEntryEach()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QVERIFY(writeFactsFile(dir.filePath(QStringLiteral("top.dcm")), {"TOP"}));
        QVERIFY(writeFactsFile(dir.filePath(QStringLiteral("sub/one.dcm")), {"ONE"}));
        QVERIFY(writeFactsFile(dir.filePath(QStringLiteral("sub/two.dcm")), {"TWO"}));
        ScanFileList list;
        list.subdirectoriesBox()->setChecked(true);
        const QString root = QDir(dir.path()).canonicalPath() + QLatin1Char('/');
        for (int pass = 0; pass < 2; ++pass) {
            QVERIFY(scanAndWait(list, dir.path()));
            QCOMPARE(list.folderBox()->count(), 2);
            QCOMPARE(list.folderBox()->itemText(0), root);
            QCOMPARE(list.folderBox()->itemText(1), root + QStringLiteral("sub/"));
            // The folder shown last stays shown.
            QCOMPARE(list.shownFolder(), root + QStringLiteral("sub/"));
            QCOMPARE(list.list()->topLevelItemCount(), 2);
        }
        list.folderBox()->setCurrentIndex(0);
        emit list.folderBox()->activated(0);
        QCOMPARE(list.allPaths(), QStringList {root + QStringLiteral("top.dcm")});
    }

    // Stopping a scan takes under a second and keeps the rows listed so far.
    void stopKeepsTheRows()
    {
        QTemporaryDir dir;
        const int files = 40;
        for (int i = 0; i < files; ++i)
            writeTestFile(dir.filePath(QStringLiteral("f%1.dcm").arg(i)), TestFile::HundredFrames);
        ScanFileList list;
        list.iconsBox()->setChecked(true); // full reads: slow enough to stop midway
        QSignalSpy finished(&list, &ScanFileList::scanFinished);
        list.setFolder(dir.path());
        list.startScan();
        QVERIFY(list.scanning());
        QTRY_VERIFY_WITH_TIMEOUT(list.list()->topLevelItemCount() > 0, 20000);
        QElapsedTimer clock;
        clock.start();
        list.stopScan();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 1000);
        QVERIFY(clock.elapsed() < 1000);
        const int listed = list.list()->topLevelItemCount();
        QVERIFY(listed > 0 && listed < files);
        QVERIFY(!list.scanning());
        QCoreApplication::processEvents();
        QCOMPARE(list.list()->topLevelItemCount(), listed);
    }

    // The command shows the window, OK opens each selected file as a
    // document of its own, and the command hides the window again.
    void directoryContentsOpensEachSelectedFile()
    {
        Viewer viewer(TestFile::Part10);
        QVERIFY(writeFactsFile(viewer.dir.filePath(QStringLiteral("second.dcm")), {"SECOND"}));
        viewer.trigger(Command::DirectoryContents);
        auto* dialog = viewer.shown<DirectoryContentsDialog>();
        QVERIFY(dialog);
        QVERIFY(scanAndWait(*dialog->fileList(), viewer.dir.path()));
        QCOMPARE(dialog->fileList()->list()->topLevelItemCount(), 2);
        const int windows = static_cast<int>(viewer.app.mainFrame()->mdiArea()->subWindowList().size());
        dialog->fileList()->list()->selectAll();
        dialog->buttons()->button(QDialogButtonBox::Ok)->click();
        QTRY_COMPARE(static_cast<int>(viewer.app.mainFrame()->mdiArea()->subWindowList().size()), windows + 2);
        viewer.trigger(Command::DirectoryContents);
        QVERIFY(dialog->isVisible());
        viewer.trigger(Command::DirectoryContents);
        QVERIFY(!dialog->isVisible());
    }
};

TV_REGISTER_TEST(ScanFileListTest);
#include "ScanFileListTest.moc"
