#include "AppTestSupport.h"

#include "app/Settings.h"
#include "app/dialogs/ExportFramesDialog.h"
#include "document/COrvoDoc.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

using exporting::ExportFormat;
using exporting::Scope;

namespace {

// What a row expects enabled: frame list, "Export frame(s)", "Not export
// frame(s)", "Continual numeration", "Export".
struct Enabled {
    bool list, mark, unmark, continual, exportButton;
};

} // namespace

Q_DECLARE_METATYPE(Scope)
Q_DECLARE_METATYPE(ExportFormat)
Q_DECLARE_METATYPE(Enabled)

class ExportFramesDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!QFileInfo::exists(testFile("multiframe/emri-10f-ele.dcm")))
            QSKIP("test data folder not found");
    }

    void enablingFollowsTheChoices_data()
    {
        QTest::addColumn<Scope>("scope");
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<QList<int>>("marked");      // highlighted, then "Export frame(s)"
        QTest::addColumn<QList<int>>("highlighted"); // highlighted afterwards
        QTest::addColumn<QString>("directory");
        QTest::addColumn<int>("userWidth"); // 0: "Actual size"
        QTest::addColumn<Enabled>("enabled");
        const QString dir = QStringLiteral("/tmp/");
        QTest::newRow("current frame") << Scope::Current << ExportFormat::Tiff << QList<int> {} << QList<int> {}
                                       << dir << 0 << Enabled { false, false, false, false, true };
        QTest::newRow("nothing marked") << Scope::Selected << ExportFormat::Tiff << QList<int> {} << QList<int> { 1, 3 }
                                        << dir << 0 << Enabled { true, true, false, false, false };
        QTest::newRow("marked with a gap") << Scope::Selected << ExportFormat::Jpeg << QList<int> { 1, 3 }
                                           << QList<int> { 1, 2 } << dir << 0 << Enabled { true, true, true, true, true };
        QTest::newRow("first frames") << Scope::Selected << ExportFormat::Raw << QList<int> { 0, 1 }
                                      << QList<int> { 0 } << dir << 0 << Enabled { true, false, true, false, true };
        QTest::newRow("header page alone") << Scope::Selected << ExportFormat::Html << QList<int> {} << QList<int> {}
                                           << dir << 0 << Enabled { true, false, false, false, true };
        QTest::newRow("no directory") << Scope::All << ExportFormat::Bmp << QList<int> {} << QList<int> {}
                                      << QString() << 0 << Enabled { false, false, false, false, false };
        QTest::newRow("user width 0") << Scope::All << ExportFormat::Tiff << QList<int> {} << QList<int> {} << dir
                                      << -1 << Enabled { false, false, false, false, false };
        QTest::newRow("user width 65536") << Scope::All << ExportFormat::Tiff << QList<int> {} << QList<int> {} << dir
                                          << 65536 << Enabled { false, false, false, false, false };
        QTest::newRow("user width 65535") << Scope::All << ExportFormat::Tiff << QList<int> {} << QList<int> {} << dir
                                          << 65535 << Enabled { false, false, false, false, true };
    }

    void enablingFollowsTheChoices()
    {
        QFETCH(Scope, scope);
        QFETCH(ExportFormat, format);
        QFETCH(QList<int>, marked);
        QFETCH(QList<int>, highlighted);
        QFETCH(QString, directory);
        QFETCH(int, userWidth);
        QFETCH(Enabled, enabled);
        ScratchSettings scratch;
        COrvoDoc doc;
        QVERIFY(doc.load(testFile("multiframe/emri-10f-ele.dcm"), document::UserOptions {}));
        ExportFramesDialog dialog(doc);
        dialog.scopeButton(scope)->setChecked(true);
        dialog.formatButton(format)->setChecked(true);
        const auto highlight = [&dialog](const QList<int>& rows) {
            dialog.frameList()->clearSelection();
            for (int row : rows)
                dialog.frameList()->item(row)->setSelected(true);
        };
        if (!marked.isEmpty()) {
            highlight(marked);
            QTest::mouseClick(dialog.markExportButton(), Qt::LeftButton);
        }
        highlight(highlighted);
        dialog.directoryField()->setText(directory);
        if (userWidth != 0) {
            dialog.userSizeButton()->setChecked(true);
            dialog.constrainBox()->setChecked(false);
            dialog.widthPixels()->setValue(std::max(userWidth, 0));
        }
        const Enabled got { dialog.frameList()->isEnabled(), dialog.markExportButton()->isEnabled(),
                            dialog.markNotExportButton()->isEnabled(), dialog.continualBox()->isEnabled(),
                            dialog.exportButton()->isEnabled() };
        QCOMPARE(got.list, enabled.list);
        QCOMPARE(got.mark, enabled.mark);
        QCOMPARE(got.unmark, enabled.unmark);
        QCOMPARE(got.continual, enabled.continual);
        QCOMPARE(got.exportButton, enabled.exportButton);
    }

    void exportWritesTheMarkedFrames()
    {
        ScratchSettings scratch;
        QTemporaryDir out;
        COrvoDoc doc;
        QVERIFY(doc.load(testFile("multiframe/emri-10f-ele.dcm"), document::UserOptions {}));
        // Without overlays a grey frame stays grey: one byte a pixel.
        doc.setShowAnnotations(false);
        doc.setShowMeasurements(false);
        ExportFramesDialog dialog(doc);
        dialog.scopeButton(Scope::Selected)->setChecked(true);
        dialog.formatButton(ExportFormat::Raw)->setChecked(true);
        dialog.frameList()->item(1)->setSelected(true);
        dialog.frameList()->item(4)->setSelected(true);
        QTest::mouseClick(dialog.markExportButton(), Qt::LeftButton);
        dialog.continualBox()->setChecked(true);
        dialog.directoryField()->setText(out.path());
        QTest::mouseClick(dialog.exportButton(), Qt::LeftButton);
        const QStringList written = QDir(out.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(written, (QStringList { QStringLiteral("emri-10f-ele_0001.raw"), QStringLiteral("emri-10f-ele_0002.raw") }));
        QCOMPARE(QFileInfo(out.filePath(written.front())).size(), qint64 { doc.frame(1)->width() } * doc.frame(1)->height());
    }

    void closeKeepsTheChoices()
    {
        ScratchSettings scratch;
        COrvoDoc doc;
        QVERIFY(doc.load(testFile("multiframe/emri-10f-ele.dcm"), document::UserOptions {}));
        ExportFramesDialog dialog(doc);
        QCOMPARE(dialog.nameField()->text(), QStringLiteral("emri-10f-ele"));
        const QString tiffDirectory = dialog.directoryField()->text();
        QVERIFY(tiffDirectory.endsWith(QLatin1Char('/')));
        dialog.userSizeButton()->setChecked(true);
        dialog.widthPixels()->setValue(doc.frame()->width() / 2);
        QCOMPARE(dialog.heightPixels()->value(), (doc.frame()->height() + 1) / 2);
        dialog.formatButton(ExportFormat::Jpeg)->setChecked(true);
        dialog.qualitySlider()->setValue(40);
        QCOMPARE(dialog.qualitySpin()->value(), 40);
        dialog.directoryField()->setText(QStringLiteral("/tmp/jpeg"));
        saveScreenshot(dialog, QStringLiteral("export-frames"));
        dialog.reject();

        QCOMPARE(doc.exportChoices().sizeMode, document::SizeMode::User);
        QCOMPARE(doc.exportChoices().width, doc.frame()->width() / 2);
        QSettings store(scratch.iniPath(), QSettings::IniFormat);
        store.beginGroup(QString::fromLatin1(settings::SettingsGroup));
        QCOMPARE(store.value(QStringLiteral("JPEG Export Directory")).toString(), QStringLiteral("/tmp/jpeg/"));
        QCOMPARE(store.value(QStringLiteral("TIFF Export Directory")).toString(), tiffDirectory);
        QCOMPARE(store.value(QStringLiteral("Export Jpeg Quality")).toInt(), 40);
        QCOMPARE(store.value(QStringLiteral("Use Scaling at Export")).toInt(), 1);
    }
};

TV_REGISTER_TEST(ExportFramesDialogTest);
#include "ExportFramesDialogTest.moc"
