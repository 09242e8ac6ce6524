#include "AppTestSupport.h"
#include "ViewerFixture.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/ReportPrinting.h"
#include "app/commands/CommandTable.h"
#include "app/commands/HtmlExport.h"
#include "app/dialogs/CopyFramesDialog.h"
#include "app/dialogs/PageSetupDialog.h"
#include "document/COrvoDoc.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

namespace {

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class ReportCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void copyFramePutsTheZoomedPicture_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<QSize>("size");
        QTest::newRow("zoom 1") << 1.0F << QSize(512, 512);
        QTest::newRow("zoom 2") << 2.0F << QSize(1024, 1024);
    }
    void copyFramePutsTheZoomedPicture()
    {
        QFETCH(float, zoom);
        QFETCH(QSize, size);
        Viewer viewer(testFile("syntax/ct1-ele.dcm"));
        QVERIFY(viewer.doc);
        viewer.doc->setZoom(zoom);
        QApplication::clipboard()->clear();
        viewer.trigger(Command::CopyFrame);
        QCOMPARE(QApplication::clipboard()->image().size(), size);
    }

    void copyRoiScalesTheSelectionByZoom_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::newRow("zoom 1") << 1.0F;
        QTest::newRow("zoom 2") << 2.0F;
    }
    void copyRoiScalesTheSelectionByZoom()
    {
        QFETCH(float, zoom);
        Viewer viewer(TestFile::MarkedFrame);
        QVERIFY(viewer.doc);
        QVERIFY(viewer.doc->frame()->selectRectangle(2, 3, 9, 13));
        const auto selection = viewer.doc->frame()->copySelection();
        QVERIFY(selection.has_value());
        viewer.doc->setZoom(zoom);
        QApplication::clipboard()->clear();
        QVERIFY(viewer.enabled(Command::CopyRoi));
        viewer.trigger(Command::CopyRoi);
        QCOMPARE(QApplication::clipboard()->image().size(),
                 QSize(qRound(selection->width() * zoom), qRound(selection->height() * zoom)));
    }

    void copyHeaderPutsRtfAndText_data()
    {
        QTest::addColumn<bool>("anonymized");
        QTest::addColumn<bool>("named");
        QTest::newRow("plain") << false << true;
        QTest::newRow("anonymized") << true << false;
    }
    void copyHeaderPutsRtfAndText()
    {
        QFETCH(bool, anonymized);
        QFETCH(bool, named);
        Viewer viewer(TestFile::NamedPatient);
        QVERIFY(viewer.doc);
        viewer.doc->setAnonymizedExports(anonymized);
        viewer.trigger(Command::CopyHeader);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data);
        const QByteArray rtf = data->data(QStringLiteral("text/rtf"));
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QCOMPARE(rtf.contains("DOE^JANE"), named);
        QCOMPARE(data->text().contains(QStringLiteral("DOE^JANE")), named);
    }

    void copyAllFramesNeedsMoreThanOneFrame_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("one frame") << int(TestFile::Part10) << false;
        QTest::newRow("three frames") << int(TestFile::SpacedFrames) << true;
    }
    void copyAllFramesNeedsMoreThanOneFrame()
    {
        QFETCH(int, kind);
        QFETCH(bool, enabled);
        Viewer viewer(static_cast<TestFile>(kind));
        QVERIFY(viewer.doc);
        QCOMPARE(viewer.enabled(Command::CopyAllFrames), enabled);
    }

    void printAnnotationsFollowPrintImages()
    {
        PageSetupDialog dialog({ true, true, true, 1 });
        saveScreenshot(dialog, QStringLiteral("page-setup"));
        struct Step {
            bool images;
            bool enabled;
            bool checked;
        };
        // Cleared with the pictures, then given back its last value.
        const Step steps[] = { { false, false, false }, { true, true, true } };
        for (const Step& step : steps) {
            dialog.imagesBox()->setChecked(step.images);
            QCOMPARE(dialog.annotationsBox()->isEnabled(), step.enabled);
            QCOMPARE(dialog.annotationsBox()->isChecked(), step.checked);
        }
        QCOMPARE(dialog.pageSetup().pageScaling, 1);
    }

    void printingNeedsHeaderOrImages_data()
    {
        QTest::addColumn<bool>("header");
        QTest::addColumn<bool>("images");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("both") << true << true << true;
        QTest::newRow("header") << true << false << true;
        QTest::newRow("images") << false << true << true;
        QTest::newRow("neither") << false << false << false;
    }
    void printingNeedsHeaderOrImages()
    {
        QFETCH(bool, header);
        QFETCH(bool, images);
        QFETCH(bool, enabled);
        Viewer viewer(TestFile::Part10);
        QVERIFY(viewer.doc);
        viewer.doc->pageSetup().printHeader = header;
        viewer.doc->pageSetup().printImages = images;
        QCOMPARE(viewer.enabled(Command::Print), enabled);
        QCOMPARE(viewer.enabled(Command::PrintPreview), enabled);
    }

    void reportPrintsToPdfPages()
    {
        Viewer viewer(testFile("syntax/ct1-ele.dcm"));
        QVERIFY(viewer.doc);
        const QString pdf = viewer.dir.filePath(QStringLiteral("report.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(reports::printReport(viewer.app.mainFrame(), *viewer.doc, printer));
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), { pdf });
        QVERIFY(info.waitForFinished());
        const QString facts = QString::fromUtf8(info.readAllStandardOutput());
        const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(facts);
        QVERIFY2(pages.hasMatch() && pages.captured(1).toInt() >= 2, qPrintable(facts));
        const QString shots = qEnvironmentVariable("TV_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            QCOMPARE(QProcess::execute(QStringLiteral("pdftoppm"),
                                       { QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                         QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-singlefile"), pdf,
                                         shots + QStringLiteral("/print-preview") }),
                     0);
    }

    void printPreviewShowsPages()
    {
        Viewer viewer(TestFile::SpacedFrames);
        QVERIFY(viewer.doc);
        viewer.trigger(Command::PrintPreview);
        auto* preview = viewer.shown<QPrintPreviewDialog>();
        QVERIFY(preview);
        auto* pages = preview->findChild<QPrintPreviewWidget*>();
        QVERIFY(pages);
        QTRY_VERIFY(pages->pageCount() >= 1);
        preview->close();
    }

    void viewReportWithoutLibrarySaysSo()
    {
        Viewer viewer(TestFile::Part10);
        QVERIFY(viewer.doc);
        viewer.trigger(Command::ViewReport);
        auto* box = viewer.shown<QMessageBox>();
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Report library not found!    "));
    }

    void copyNeedsAUserSizeInRange_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("1") << 1 << true;
        QTest::newRow("65535") << 65535 << true;
        QTest::newRow("65536") << 65536 << false;
    }
    void copyNeedsAUserSizeInRange()
    {
        QFETCH(int, width);
        QFETCH(bool, enabled);
        document::ExportChoices choices;
        choices.selection.assign(3, 1);
        CopyFramesDialog dialog({ 3, 0, 512, 256, 1.0F }, choices, exporting::Scaling::Bilinear);
        if (width == 1)
            saveScreenshot(dialog, QStringLiteral("select-items-to-copy"));
        dialog.sizeButton(document::SizeMode::User)->click();
        dialog.constrainBox()->setChecked(false);
        dialog.widthEdit()->setValue(width);
        QCOMPARE(dialog.copyButton()->isEnabled(), enabled);
    }

    // Frames alone from an empty selection would copy an empty report.
    void copyNeedsAFrameOrTheHeader()
    {
        document::ExportChoices choices;
        choices.selection.assign(3, 0);
        CopyFramesDialog dialog({ 3, 0, 512, 256, 1.0F }, choices, exporting::Scaling::Bilinear);
        dialog.scopeButton(2)->click();
        dialog.headerBox()->setChecked(false);
        dialog.framesBox()->setChecked(true);
        QVERIFY(!dialog.copyButton()->isEnabled());
        dialog.headerBox()->setChecked(true);
        QVERIFY(dialog.copyButton()->isEnabled());
    }

    void htmlPageListsItsPicturesWithoutThePatientsName()
    {
        Viewer viewer(TestFile::NamedPatient, QStringLiteral("DOE^JANE.dcm"));
        QVERIFY(viewer.doc);
        viewer.doc->setAnonymizedExports(true);
        HtmlExportChoice choice;
        choice.directory = viewer.dir.path() + QLatin1Char('/');
        choice.name = QStringLiteral("page");
        choice.frames = { 0 };
        QVERIFY(exportHtmlPage(viewer.app.mainFrame(), *viewer.doc, choice));
        QVERIFY(QFile::exists(viewer.dir.filePath(QStringLiteral("page_files/0001.jpg"))));
        const QString page = readText(viewer.dir.filePath(QStringLiteral("page.html")));
        QVERIFY(page.contains(QStringLiteral("SRC=\"page_files/0001.jpg\"")));
        QVERIFY2(!page.contains(QStringLiteral("DOE")), qPrintable(page));
        const QString shots = qEnvironmentVariable("TV_SCREENSHOT_DIR");
        choice.directory = shots + QLatin1Char('/');
        if (!shots.isEmpty())
            QVERIFY(exportHtmlPage(viewer.app.mainFrame(), *viewer.doc, choice));
    }
};

TV_REGISTER_TEST(ReportCommandsTest);
#include "ReportCommandsTest.moc"
