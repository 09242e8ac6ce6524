#include "AppTestSupport.h"

#include "app/SelectFileBar.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

class SelectFileBarTest : public QObject {
    Q_OBJECT
private slots:
    void listsDicomFilesInFileNameOrder()
    {
        QTemporaryDir dir;
        for (const char* name : { "IMG10", "IMG2", "IMG1" })
            writeDicomStub(dir.filePath(QString::fromLatin1(name)));
        QFile bmp(dir.filePath(QStringLiteral("picture.bmp")));
        QVERIFY(bmp.open(QIODevice::WriteOnly));
        bmp.write("BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00", 14); // a BMP file header
        bmp.close();
        QDir(dir.path()).mkdir(QStringLiteral("IMG3"));

        SelectFileBar bar;
        bar.fileOpened(dir.filePath(QStringLiteral("IMG2")));
        // The opened file is listed at once; its neighbours follow the scan.
        QCOMPARE(bar.positionText(), QStringLiteral("1/1"));
        QVERIFY(bar.isScanning());
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(bar.files(), (QStringList { "IMG1", "IMG2", "IMG10" }));
        QCOMPARE(bar.currentIndex(), 1);
        QCOMPARE(bar.positionText(), QStringLiteral("2/3"));
        QCOMPARE(bar.fileList()->currentText(), QStringLiteral("IMG2"));
    }

    void navigationStopsAtBothEnds()
    {
        QTemporaryDir dir;
        for (const char* name : { "a1", "a2", "a3" })
            writeDicomStub(dir.filePath(QString::fromLatin1(name)));
        SelectFileBar bar;
        QSignalSpy opened(&bar, &SelectFileBar::openRequested);
        bar.fileOpened(dir.filePath(QStringLiteral("a3")));
        QTRY_VERIFY(!bar.isScanning());
        QVERIFY(!bar.canGoForward());
        bar.next();
        bar.last();
        QCOMPARE(opened.size(), 0);
        QCOMPARE(bar.positionText(), QStringLiteral("3/3"));

        bar.first();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.last().first().toString(), dir.filePath(QStringLiteral("a1")));
        bar.previous();
        QCOMPARE(opened.size(), 1);
        bar.next();
        QCOMPARE(opened.last().first().toString(), dir.filePath(QStringLiteral("a2")));
        QCOMPARE(bar.positionText(), QStringLiteral("2/3"));
    }

    void rescansOnlyWhenTheDirectoryChanges()
    {
        QTemporaryDir dir;
        for (const char* name : { "b1", "b2" })
            writeDicomStub(dir.filePath(QString::fromLatin1(name)));
        SelectFileBar bar;
        bar.fileOpened(dir.filePath(QStringLiteral("b1")));
        QTRY_VERIFY(!bar.isScanning());
        const int scans = bar.scanCount();
        bar.next();
        bar.fileOpened(dir.filePath(QStringLiteral("b2")));
        QCOMPARE(bar.scanCount(), scans);

        QTest::qWait(20); // let the directory's time stamp move on
        writeDicomStub(dir.filePath(QStringLiteral("b3")));
        bar.fileOpened(dir.filePath(QStringLiteral("b2")));
        QCOMPARE(bar.scanCount(), scans + 1);
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(bar.files(), (QStringList { "b1", "b2", "b3" }));
        bar.refresh();
        QCOMPARE(bar.scanCount(), scans + 2);
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(bar.currentIndex(), 1); // a rescan keeps the current file
    }

    void fileTheProbeRejectsIsStillShownWhenOpened()
    {
        QTemporaryDir dir;
        writeDicomStub(dir.filePath(QStringLiteral("c1")));
        QFile other(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("hello");
        other.close();
        SelectFileBar bar;
        bar.fileOpened(dir.filePath(QStringLiteral("notes.txt")));
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(bar.files(), (QStringList { "c1", "notes.txt" }));
        QCOMPARE(bar.positionText(), QStringLiteral("2/2"));
    }

    // Listed is what the header-only read accepts, not what merely looks
    // like DICOM: Next File never lands on a file that cannot open.
    void listsTheFilesWhoseHeaderReads()
    {
        struct Case {
            const char* name;
            TestFile kind;
            bool listed;
        };
        const Case cases[] = {
            { "a01-part10", TestFile::Part10, true },
            { "a02-jpeg2000", TestFile::Jpeg2000, true },
            { "a03-raw0008", TestFile::RawFromGroup0008, true },
            { "a04-jpegls", TestFile::JpegLs, true },
            { "a05-raw0010", TestFile::RawFromGroup0010, true },
            { "a06-deflated", TestFile::Deflated, false },
            { "a07-raw0028", TestFile::RawFromGroup0028, true },
            { "a08-raw0032", TestFile::RawFromGroup0032, false },
            { "a09-truncated", TestFile::Truncated, false },
        };
        QTemporaryDir dir;
        QStringList listed;
        for (const Case& c : cases) {
            writeTestFile(dir.filePath(QString::fromLatin1(c.name)), c.kind);
            if (c.listed)
                listed.append(QString::fromLatin1(c.name));
        }
        SelectFileBar bar;
        QSignalSpy opened(&bar, &SelectFileBar::openRequested);
        bar.fileOpened(dir.filePath(QStringLiteral("a01-part10")));
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(bar.files(), listed);
        QCOMPARE(bar.positionText(), QStringLiteral("1/6"));
        bar.next();
        QCOMPARE(opened.last().first().toString(), dir.filePath(QStringLiteral("a02-jpeg2000")));
    }

    // Real files of every syntax open; compressions without a decoder and
    // pixel formats without an image object do not: of the unsupported
    // folder, the deflated, JPEG-LS and JPEG 2000 files open now.
    void testDataFoldersListWhatOpens_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("count");
        QTest::newRow("syntax") << QStringLiteral("syntax") << 10; // all but the one without pixel data
        QTest::newRow("unsupported") << QStringLiteral("unsupported") << 3;
    }

    void testDataFoldersListWhatOpens()
    {
        QFETCH(QString, folder);
        QFETCH(int, count);
        const QString path = QStringLiteral(TV_TESTDATA_DIR "/") + folder;
        if (!QFileInfo::exists(path))
            QSKIP("test data folder not found");
        SelectFileBar bar;
        bar.addDirectory(path);
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(bar.files().size(), count);
    }

    void toolTipsShowTheSelectionCutTo76()
    {
        SelectFileBar bar;
        QCOMPARE(bar.directoryList()->toolTip(), QStringLiteral("Current Directory"));
        QCOMPARE(bar.fileList()->toolTip(), QStringLiteral("Current File"));
        QTemporaryDir dir;
        const QString longName = QString(90, QLatin1Char('x'));
        writeDicomStub(dir.filePath(longName));
        bar.fileOpened(dir.filePath(longName));
        QCOMPARE(bar.fileList()->toolTip(), QString(76, QLatin1Char('x')));
    }

    void eventsKeepFlowingWhileALargeDirectoryIsScanned()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 400; ++i)
            writeDicomStub(dir.filePath(QStringLiteral("s%1").arg(i)));
        SelectFileBar bar;
        // Each probe takes a millisecond: 400 of them would block for 0.4 s.
        const SelectFileBar::FileFilter slow = [](const QString& path) {
            QThread::msleep(1);
            return SelectFileBar::readsHeader(path);
        };
        bar.setFileFilter(slow);
        QSignalSpy finished(&bar, &SelectFileBar::scanFinished);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(20);
        bar.fileOpened(dir.filePath(QStringLiteral("s7")));
        QVERIFY(finished.wait(10000));
        QVERIFY(ticks >= 5);
        QCOMPARE(bar.files().size(), 400);
        QCOMPARE(bar.fileList()->currentText(), QStringLiteral("s7"));
        QCOMPARE(bar.positionText(), QStringLiteral("8/400"));
    }

    void aNewScanReplacesOneStillRunning()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        for (int i = 0; i < 50; ++i)
            writeDicomStub(first.filePath(QStringLiteral("f%1").arg(i)));
        writeDicomStub(second.filePath(QStringLiteral("g1")));
        writeDicomStub(second.filePath(QStringLiteral("g2")));
        SelectFileBar bar;
        QSignalSpy finished(&bar, &SelectFileBar::scanFinished);
        bar.fileOpened(first.filePath(QStringLiteral("f1")));
        bar.fileOpened(second.filePath(QStringLiteral("g2")));
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(bar.files(), (QStringList { "g1", "g2" }));
        QCOMPARE(bar.positionText(), QStringLiteral("2/2"));
        // The unfinished directory is scanned again when it is next used.
        bar.fileOpened(first.filePath(QStringLiteral("f1")));
        QTRY_VERIFY(!bar.isScanning());
        QCOMPARE(bar.files().size(), 50);
        QCOMPARE(bar.fileList()->currentText(), QStringLiteral("f1"));
    }
};

TV_REGISTER_TEST(SelectFileBarTest);
#include "SelectFileBarTest.moc"
