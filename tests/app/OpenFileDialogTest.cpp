#include "AppTestSupport.h"

#include "app/dialogs/OpenFileDialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>

namespace {

QStringList column(const QTableWidget& list, int column)
{
    QStringList texts;
    for (int row = 0; row < list.rowCount(); ++row)
        texts.append(list.item(row, column) ? list.item(row, column)->text() : QString());
    return texts;
}

} // namespace

class OpenFileDialogTest : public QObject {
    Q_OBJECT
private slots:
    void selectingAFileListsItsHeaderByCategory_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("tagStart"); // every row's tag starts so
        QTest::addColumn<QString>("tag");      // a row the tab shows, with its value
        QTest::addColumn<QString>("value");
        // Values as pydicom reads them from grey/buggie-8bit.dcm.
        QTest::newRow("All") << 0 << "0x" << "0x0010, 0x0010" << "\"DOE^WILBER\"";
        QTest::newRow("Patient") << 1 << "0x0010, " << "0x0010, 0x0010" << "\"DOE^WILBER\"";
        QTest::newRow("Image") << 4 << "0x" << "0x0028, 0x0010" << "220";
    }
    void selectingAFileListsItsHeaderByCategory()
    {
        QFETCH(int, tab);
        QFETCH(QString, tagStart);
        QFETCH(QString, tag);
        QFETCH(QString, value);
        OpenFileDialog dialog(QStringLiteral(TV_TESTDATA_DIR "/grey"));
        dialog.show();
        dialog.categoryTabs()->setCurrentIndex(tab);
        dialog.selectPath(testFile("grey/buggie-8bit.dcm"));
        QVERIFY(dialog.openButton()->isEnabled());
        QTRY_VERIFY(dialog.list()->rowCount() > 0);
        const QStringList tags = column(*dialog.list(), 0);
        const auto row = tags.indexOf(tag);
        QVERIFY(row >= 0);
        QCOMPARE(dialog.list()->item(static_cast<int>(row), 2)->text(), value);
        for (const QString& shown : tags)
            QVERIFY2(shown.startsWith(tagStart) && !shown.endsWith(QStringLiteral("0x0000")), qPrintable(shown));
        if (tab == 1)
            QVERIFY(!tags.contains(QStringLiteral("0x0008, 0x0060")));
        // "Enable Preview Icon" is on at start: the first frame is on the button.
        QVERIFY(dialog.previewIconBox()->isChecked());
        QTRY_VERIFY(!dialog.previewButton()->icon().isNull());
        if (tab == 0)
            saveScreenshot(dialog, QStringLiteral("open-file-dialog"));
    }

    void aFileThatCannotBeReadListsNothing()
    {
        QTemporaryDir folder;
        const QString bad = folder.path() + QStringLiteral("/not-dicom.dcm");
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300, 'x'));
        file.close();
        OpenFileDialog dialog(folder.path());
        dialog.selectPath(testFile("grey/buggie-8bit.dcm"));
        QTRY_VERIFY(dialog.list()->rowCount() > 0);
        dialog.selectPath(bad);
        QTRY_VERIFY(dialog.listedFile().isEmpty());
        QCOMPARE(dialog.list()->rowCount(), 0);
        QVERIFY(dialog.previewButton()->icon().isNull());
        // It can still be chosen: opening it reports the reader's failure.
        QVERIFY(dialog.openButton()->isEnabled());
    }
};

TV_REGISTER_TEST(OpenFileDialogTest);
#include "OpenFileDialogTest.moc"
