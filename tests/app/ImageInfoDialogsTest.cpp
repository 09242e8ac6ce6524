#include "AppTestSupport.h"

#include "app/dialogs/HistogramDialog.h"
#include "app/dialogs/InfoDialog.h"
#include "app/dialogs/PixelSpacingDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QtTest>

namespace {

QString cell(const InfoDialog& dialog, int row, int column) { return dialog.list()->item(row, column)->text(); }

} // namespace

class ImageInfoDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("spaced.dcm"));
        writeTestFile(path, TestFile::SpacedFrame);
        QVERIFY(m_doc.load(path, document::UserOptions {}));
    }

    void infoMeasuresTheSelectionWithTheFileSpacing_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("voxels");
        QTest::addColumn<QString>("mean");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QString>("volume");
        QTest::newRow("whole frame") << 0 << "1024" << "15.50" << "" << "";
        QTest::newRow("20 x 20") << 20 << "400" << "13.50" << "1.00" << "0.20";
    }
    void infoMeasuresTheSelectionWithTheFileSpacing()
    {
        QFETCH(int, side);
        QFETCH(QString, voxels);
        QFETCH(QString, mean);
        QFETCH(QString, area);
        QFETCH(QString, volume);
        if (side > 0)
            QVERIFY(m_doc.frame()->selectRectangle(4, 4, 3 + side, 3 + side)); // corners inclusive
        InfoDialog dialog(m_doc);
        QCOMPARE(dialog.list()->rowCount(), 1);
        QCOMPARE(cell(dialog, 0, 0), QStringLiteral("1"));
        QCOMPARE(cell(dialog, 0, 1), voxels);
        QCOMPARE(cell(dialog, 0, 2), mean);
        QCOMPARE(cell(dialog, 0, 4), area);
        QCOMPARE(cell(dialog, 0, 5), volume);
        QCOMPARE(dialog.spacingXField()->text(), QStringLiteral("0.5"));
        QCOMPARE(dialog.thicknessField()->text(), QStringLiteral("2"));
        saveScreenshot(dialog, QString::fromLatin1(side > 0 ? "info-selection" : "info-whole"));
    }

    void spacingDialogShowsColumnsAsHorizontalAndRefusesWhatCannotBeStored_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("positive") << "0.25" << true;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("negative") << "-0.5" << false;
        QTest::newRow("not a number") << "abc" << false;
        QTest::newRow("infinite") << "inf" << false;
    }
    void spacingDialogShowsColumnsAsHorizontalAndRefusesWhatCannotBeStored()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        PixelSpacingDialog dialog({ 0.3, 0.7, 2.0 }, { 0.3, 0.7, 0.0 });
        QCOMPARE(dialog.horizontalEdit()->text(), QStringLiteral("0.7"));
        QCOMPARE(dialog.verticalEdit()->text(), QStringLiteral("0.3"));
        QVERIFY(!dialog.fromHeaderButton()->isEnabled());
        dialog.verticalEdit()->setText(typed);
        QCOMPARE(dialog.okButton()->isEnabled(), accepted);
        QCOMPARE(dialog.parameters().has_value(), accepted);
        dialog.okButton()->click();
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        if (accepted) {
            QCOMPARE(dialog.parameters()->row, 0.25);
            QCOMPARE(dialog.parameters()->column, 0.7);
            saveScreenshot(dialog, QStringLiteral("pixel-spacing"));
        }
    }

    void histogramStartsTheScaleFromTheLuminanceBins()
    {
        // Every grey value 0..31 is as frequent as the others: the scale
        // starts half way and the plot's tallest bars fill it.
        HistogramDialog dialog(*m_doc.frame());
        QCOMPARE(dialog.channelChoice()->count(), 1);
        QCOMPARE(dialog.scaleSlider()->value(), 50);
        QVERIFY(dialog.scaleSlider()->isEnabled());
        QCOMPARE(dialog.meanText()->text(), QStringLiteral("Mean Value: 15.50"));
        QCOMPARE(dialog.deviationText()->text(), QStringLiteral("Std. Deviation: 9.23"));
        const QImage plot = dialog.plot()->picture();
        QCOMPARE(plot.pixelColor(2, 115), QColor(Qt::black));
        QCOMPARE(plot.pixelColor(2 + 32, 115), QColor(Qt::white));
        saveScreenshot(dialog, QStringLiteral("histogram"));
    }

private:
    QTemporaryDir m_dir;
    COrvoDoc m_doc;
};

TV_REGISTER_TEST(ImageInfoDialogsTest);
#include "ImageInfoDialogsTest.moc"
