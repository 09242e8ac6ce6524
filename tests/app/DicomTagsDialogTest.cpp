#include "AppTestSupport.h"

#include "app/dialogs/DicomTagsDialog.h"

#include "dicom/DicomReader.h"
#include "dicom/Tags.h"

#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

#include <algorithm>

namespace {

dicom::DicomDataset readCt()
{
    dicom::DicomDataset dataset;
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    dicom::DicomReader(options).read(testFile("syntax/ct1-ile.dcm").toStdString(), dataset);
    return dataset;
}

int rowOfTag(const QTableWidget* list, const QString& tag)
{
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->item(row, 0)->text() == tag)
            return row;
    }
    return -1;
}

} // namespace

class DicomTagsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!QFileInfo::exists(testFile("syntax/ct1-ile.dcm")))
            QSKIP("test data folder not found");
    }

    void tabsFilterTheRows()
    {
        const dicom::DicomDataset dataset = readCt();
        QCOMPARE(dataset.lastError(), dicom::DicomError::None);
        DicomTagsDialog dialog(dataset);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Dicom Tags"));
        QCOMPARE(dialog.categoryTabs()->count(), 5);
        QCOMPARE(dialog.categoryTabs()->tabText(0), QStringLiteral("All"));
        QCOMPARE(dialog.categoryTabs()->currentIndex(), 0);
        const int all = dialog.list()->rowCount();
        QVERIFY(rowOfTag(dialog.list(), QStringLiteral("0x0028, 0x0010")) >= 0);

        dialog.categoryTabs()->setCurrentIndex(1); // "Patient"
        QVERIFY(dialog.list()->rowCount() > 0);
        QVERIFY(dialog.list()->rowCount() < all);
        for (int row = 0; row < dialog.list()->rowCount(); ++row)
            QVERIFY(dialog.list()->item(row, 0)->text().startsWith(QStringLiteral("0x0010, ")));
        QVERIFY(!dialog.okButton()->isEnabled()); // refilling drops the selection
        QCOMPARE(DicomTagsDialog(dataset, nullptr, QStringLiteral("From Header")).windowTitle(),
                 QStringLiteral("From Header"));
    }

    void okGivesTheValueWithoutQuotes_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("picked");
        QTest::newRow("file's name") << QByteArray() << QStringLiteral("CompressedSamples^CT1 "); // padded to even
        QTest::newRow("cut to 64") << QByteArray(70, 'a') << QString(64, QLatin1Char('a'));
        QTest::newRow("inner quotes kept") << QByteArray("\"a\"b\"") << QStringLiteral("\"a\"b\"");
    }

    void okGivesTheValueWithoutQuotes()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, picked);
        dicom::DicomDataset dataset = readCt();
        auto name = std::find_if(dataset.elements.begin(), dataset.elements.end(),
                                 [](const dicom::DicomElement& e) { return e.tag() == dicom::tags::PatientName; });
        QVERIFY(name != dataset.elements.end());
        if (!stored.isEmpty()) {
            name->length = static_cast<std::uint32_t>(stored.size());
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(stored.constData());
            name->setValue(std::span(bytes, static_cast<std::size_t>(stored.size())));
        }
        DicomTagsDialog dialog(dataset);
        dialog.list()->selectRow(rowOfTag(dialog.list(), QStringLiteral("0x0010, 0x0010")));
        QVERIFY(dialog.okButton()->isEnabled());
        if (stored.isEmpty())
            saveScreenshot(dialog, QStringLiteral("DicomTagsDialog"));
        dialog.okButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.pickedValue(), picked);
    }
};

TV_REGISTER_TEST(DicomTagsDialogTest);
#include "DicomTagsDialogTest.moc"
