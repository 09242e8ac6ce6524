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
        QTest::addColumn<QString>("message");  // on failure
        // The 16 x 16 grey frame at zoom 0.5 is 8 x 8: 64 raw bytes, a TIFF
        // of 13 entries (170 bytes) before them.
        QTest::newRow("tiff") << Command::ExportTiff << "out.tif" << QByteArray("II*\0", 4) << qint64 { 234 } << QString();
        QTest::newRow("raw") << Command::ExportRaw << "out.raw" << QByteArray() << qint64 { 64 } << QString();
        QTest::newRow("jpeg") << Command::ExportJpeg << "out.jpg" << QByteArray("\xFF\xD8") << qint64 { -1 } << QString();
        QTest::newRow("bmp") << Command::ExportBmp << "out.bmp" << QByteArray("BM") << qint64 { -1 } << QString();
        QTest::newRow("no such folder") << Command::ExportJpeg << "missing/out.jpg" << QByteArray() << qint64 { -1 }
                                        << QStringLiteral("Error during JPEG Image writing");
        QTest::newRow("own file") << Command::ExportRaw << "frame.dcm" << QByteArray() << qint64 { -1 }
                                  << QStringLiteral("Error during Raw Image writing");
    }

    void currentFrameAtTheZoom()
    {
        QFETCH(Command, command);
        QFETCH(QString, file);
        QFETCH(QByteArray, start);
        QFETCH(qint64, size);
        QFETCH(QString, message);
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
        QCOMPARE(box ? box->text() : QString(), message);
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

private:
    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TV_REGISTER_TEST(ExportCommandsTest);
#include "ExportCommandsTest.moc"
