#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/Settings.h"
#include "document/COrvoDoc.h"

#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <QtTest>

#include <cerrno>
#include <cstring>

Q_DECLARE_METATYPE(Command)

class ExportCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void currentFrameAtTheZoom_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("start"); // the file's first bytes
        QTest::addColumn<qint64>("size");      // -1: not checked
        QTest::addColumn<QString>("message");  // on failure: the fixed text, first
        QTest::addColumn<QString>("reason");   // and how the message ends
        // The 16 x 16 grey frame at zoom 0.5 is 8 x 8: 64 raw bytes, a TIFF
        // of 13 entries (170 bytes) before them.
        QTest::newRow("tiff") << Command::ExportTiff << "out.tif" << QByteArray("II*\0", 4) << qint64 { 234 } << QString() << QString();
        QTest::newRow("raw") << Command::ExportRaw << "out.raw" << QByteArray() << qint64 { 64 } << QString() << QString();
        QTest::newRow("jpeg") << Command::ExportJpeg << "out.jpg" << QByteArray("\xFF\xD8") << qint64 { -1 } << QString() << QString();
        QTest::newRow("bmp") << Command::ExportBmp << "out.bmp" << QByteArray("BM") << qint64 { -1 } << QString() << QString();
        QTest::newRow("no such folder") << Command::ExportJpeg << "missing/out.jpg" << QByteArray() << qint64 { -1 }
                                        << QStringLiteral("Error during JPEG Image writing")
                                        << QString::fromLocal8Bit(std::strerror(ENOENT));
        QTest::newRow("own file") << Command::ExportRaw << "frame.dcm" << QByteArray() << qint64 { -1 }
                                  << QStringLiteral("Error during Raw Image writing")
                                  << QStringLiteral("the document's own file");
    }

    void currentFrameAtTheZoom()
    {
        QFETCH(Command, command);
        QFETCH(QString, file);
        QFETCH(QByteArray, start);
        QFETCH(qint64, size);
        QFETCH(QString, message);
        QFETCH(QString, reason);
        ScratchSettings scratch;
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("frame.dcm"));
        writeTestFile(source, TestFile::MarkedFrame);
        const QByteArray before = readAll(source);
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), source }));
        CMainFrame& frame = *app.mainFrame();
        COrvoDoc& doc = frame.activeChild()->document();
        doc.setZoom(0.5F);
        // Without overlays the grey frame stays grey.
        doc.setShowAnnotations(false);
        doc.setShowMeasurements(false);
        doc.setShowRulers(false);

        frame.action(command)->trigger();
        auto* dialog = frame.findChild<QFileDialog*>(QStringLiteral("ExportFileDialog"));
        QVERIFY(dialog);
        const QString target = dir.filePath(file);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectFile(target);
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does

        auto* box = frame.findChild<QMessageBox*>();
        const QString shown = box ? box->text() : QString();
        if (message.isEmpty())
            QCOMPARE(shown, QString());
        else
            QVERIFY2(shown.startsWith(message + QLatin1Char('\n')) && shown.endsWith(reason), qPrintable(shown));
        QCOMPARE(readAll(source), before);
        if (!message.isEmpty())
            return;
        const QByteArray written = readAll(target);
        QVERIFY(written.startsWith(start));
        if (size >= 0)
            QCOMPARE(written.size(), size);
        const auto store = settings::open();
        const QString key = command == Command::ExportTiff ? QStringLiteral("TIFF Export Directory")
            : command == Command::ExportRaw                ? QStringLiteral("RAW Export Directory")
            : command == Command::ExportJpeg               ? QStringLiteral("JPEG Export Directory")
                                                           : QStringLiteral("BMP Export Directory");
        QCOMPARE(settings::readString(*store, settings::SettingsGroup, key.toLatin1().constData()),
                 QFileInfo(target).absolutePath() + QLatin1Char('/'));
    }

    // The page goes to the name chosen, titled with the name proposed; its
    // pictures to a folder named after the chosen name.
    void htmlPageGoesWhereTheUserSaid()
    {
        ScratchSettings scratch;
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("frame.dcm"));
        writeTestFile(source, TestFile::MarkedFrame);
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), source }));
        CMainFrame& frame = *app.mainFrame();
        frame.action(Command::ExportHtml)->trigger();
        auto* dialog = frame.findChild<QFileDialog*>(QStringLiteral("HtmlExportDialog"));
        QVERIFY(dialog);
        const QString target = dir.filePath(QStringLiteral("report.htm"));
        dialog->selectFile(target);
        static_cast<QDialog*>(dialog)->accept();

        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("report.html"))));
        const QByteArray page = readAll(target);
        QVERIFY(page.startsWith("<HTML>\r\n<HEAD>\r\n<TITLE>frame.html</TITLE>"));
        QVERIFY(page.contains("report_files"));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("report_files/0001.jpg"))));
    }

private:
    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TV_REGISTER_TEST(ExportCommandsTest);
#include "ExportCommandsTest.moc"
