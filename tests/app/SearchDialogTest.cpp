#include "AppTestSupport.h"
#include "ScanFileTestFiles.h"

#include "app/dialogs/ScanFileList.h"
#include "app/dialogs/SearchDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace {

struct NamedFile {
    const char* file;
    HeaderFacts facts;
};

// Names in several spellings, dates on both sides of a year's end, and a
// file with neither element.
const NamedFile folderFiles[] = {
    {"smith.dcm", {"SMITH", "20200615", "S1"}},
    {"smyth.dcm", {"Smyth ", "20211231"}},
    {"smiith.dcm", {"SMIITH", "20210102", "S1"}},
    {"jones.dcm", {"JONES^ANN", "20200101", "S22"}},
    {"bare.dcm", {}},
};

bool writeFolder(const QTemporaryDir& dir)
{
    for (const NamedFile& named : folderFiles) {
        if (!writeFactsFile(dir.filePath(QString::fromLatin1(named.file)), named.facts))
            return false;
    }
    return writeTextFile(dir.filePath(QStringLiteral("notes.txt")));
}

// The file names the dialog lists after a scan of dir, sorted.
QStringList listedNames(DirectoryContentsDialog& dialog, const QString& folder)
{
    QSignalSpy finished(dialog.fileList(), &ScanFileList::scanFinished);
    dialog.fileList()->setFolder(folder);
    dialog.fileList()->startScan();
    if (!finished.wait(20000))
        return {QStringLiteral("(no end)")};
    QStringList names;
    for (const QString& path : dialog.fileList()->allPaths())
        names << path.section(QLatin1Char('/'), -1);
    names.sort();
    return names;
}

// The criteria a test types; the others stay empty.
struct Typed {
    const char* patientName = "";
    const char* studyId = "";
    const char* dateFrom = "";
    const char* dateTo = "";

    dicom::SearchCriteria criteria() const { return {patientName, "", "", studyId, dateFrom, dateTo}; }
};

struct SearchCase {
    const char* label;
    Typed typed;
    QStringList expected; // sorted
};

} // namespace

Q_DECLARE_METATYPE(dicom::SearchCriteria)

class SearchDialogTest : public QObject {
    Q_OBJECT
private slots:
    void criteriaChooseTheFiles_data()
    {
        QTest::addColumn<dicom::SearchCriteria>("criteria");
        QTest::addColumn<QStringList>("expected");
        const QStringList all {"bare.dcm", "jones.dcm", "smiith.dcm", "smith.dcm", "smyth.dcm"};
        const SearchCase cases[] = {
            {"no criteria", {}, all},
            {"name *", {.patientName = "*"}, all},
            {"name SM*TH", {.patientName = "SM*TH"}, {"smiith.dcm", "smith.dcm", "smyth.dcm"}},
            {"name sm?th", {.patientName = "sm?th"}, {"smith.dcm", "smyth.dcm"}},
            {"name SMITH", {.patientName = "SMITH"}, {"smith.dcm"}},
            {"name *ANN", {.patientName = "*ANN"}, {"jones.dcm"}},
            {"study id S?", {.studyId = "S?"}, {"smiith.dcm", "smith.dcm"}},
            {"year 2020", {.dateFrom = "20200101", .dateTo = "20201231"}, {"jones.dcm", "smith.dcm"}},
            {"from 2021", {.dateFrom = "20210101"}, {"smiith.dcm", "smyth.dcm"}},
        };
        for (const SearchCase& c : cases)
            QTest::newRow(c.label) << c.typed.criteria() << c.expected;
    }

    // The criteria list the files whose facts match, and only DICOM files.
    void criteriaChooseTheFiles()
    {
        QFETCH(dicom::SearchCriteria, criteria);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        QVERIFY(writeFolder(dir));
        SearchDialog dialog;
        dialog.setCriteria(criteria);
        QCOMPARE(listedNames(dialog, dir.path()), expected);
        QCOMPARE(SearchDialog::lastCriteria(), criteria);
        QCOMPARE(SearchDialog().criteria(), criteria); // filled in again for the next search
    }

    // With no criteria, "Search..." lists what "Directory Contents" lists.
    void noCriteriaListsTheDirectoryContents()
    {
        QTemporaryDir dir;
        QVERIFY(writeFolder(dir));
        QVERIFY(QFile::copy(testFile("grey/ct-8bit-ile.dcm"), dir.filePath(QStringLiteral("ct.dcm"))));
        QVERIFY(QFile::copy(testFile("grey/buggie-8bit.dcm"), dir.filePath(QStringLiteral("buggie.dcm"))));
        DirectoryContentsDialog contents;
        SearchDialog search;
        search.setCriteria({});
        search.fileList()->iconsBox()->setChecked(true);
        const QStringList listed = listedNames(contents, dir.path());
        QCOMPARE(listed.size(), 7);
        QCOMPARE(listedNames(search, dir.path()), listed);
        search.setCriteria(Typed {.patientName = "*E*"}.criteria());
        QCOMPARE(listedNames(search, dir.path()), (QStringList {"buggie.dcm", "ct.dcm", "jones.dcm"}));
        saveScreenshot(search, QStringLiteral("search-results"));
    }

    // A date bound shorter than YYYYMMDD is refused with a message, not searched.
    void shortDateBoundIsRefused()
    {
        QTemporaryDir dir;
        QVERIFY(writeFolder(dir));
        SearchDialog dialog;
        dialog.setCriteria(Typed {.dateFrom = "2020"}.criteria());
        dialog.fileList()->setFolder(dir.path());
        QString message;
        QTimer::singleShot(50, qApp, [&message] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text();
                box->accept();
            }
        });
        dialog.fileList()->startScan();
        QCOMPARE(message, SearchDialog::dateProblem(Typed {.dateFrom = "2020"}.criteria()));
        QVERIFY(!message.isEmpty());
        QVERIFY(!dialog.fileList()->scanning());
        QCOMPARE(dialog.fileList()->list()->topLevelItemCount(), 0);
    }
};

TV_REGISTER_TEST(SearchDialogTest);
#include "SearchDialogTest.moc"
