#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/MainFrameActions.h"
#include "app/PaletteFiles.h"
#include "app/PaletteMenu.h"
#include "app/dialogs/PalettesDialog.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "imaging/Palettes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

// The user's data folder, where saved palettes go, inside a fresh folder.
class ScratchDataFolder {
public:
    ScratchDataFolder()
        : m_old(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", m_dir.path().toLocal8Bit());
    }
    ~ScratchDataFolder() { qputenv("XDG_DATA_HOME", m_old); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

// A running application with one test file open.
struct OpenApp {
    ScratchSettings settings;
    std::unique_ptr<CTolanApp> app = std::make_unique<CTolanApp>();

    bool open(const QString& path)
    {
        return app->start({ QStringLiteral("tolan-viewer") }) && app->openDocumentFile(path);
    }
    CMainFrame& frame() const { return *app->mainFrame(); }
    COrvoDoc& doc() const { return frame().activeChild()->document(); }
    imaging::FrameImage& image(int index = -1) const { return *doc().frame(index); }
    PaletteMenu& menu() const { return *frame().findChild<PaletteMenu*>(QStringLiteral("PaletteMenu")); }
    void run(Command id) const { frame().action(id)->trigger(); }
};

std::vector<std::uint8_t> bitmapBytes(const imaging::FrameImage& image)
{
    const auto bytes = image.displayBitmap()->bytes();
    return { bytes.begin(), bytes.end() };
}

} // namespace

class PaletteCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_dir.reset(new QTemporaryDir); }

    void builtInPaletteAppliesAndUndoRestores_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("number");
        QTest::newRow("Hotiron") << static_cast<int>(Command::PaletteHotiron) << 8;
        QTest::newRow("Blackbody") << static_cast<int>(Command::PaletteBlackbody) << 0;
        QTest::newRow("Fusion16") << static_cast<int>(Command::PaletteFusion16) << 4;
        QTest::newRow("Spectrum") << static_cast<int>(Command::PaletteSpectrum) << 10;
    }
    void builtInPaletteAppliesAndUndoRestores()
    {
        QFETCH(int, id);
        QFETCH(int, number);
        OpenApp a;
        QVERIFY(a.open(file(TestFile::SpacedFrame)));
        const auto before = bitmapBytes(a.image());
        a.run(static_cast<Command>(id));
        QCOMPARE(imaging::getPalette(a.image()), number);
        QCOMPARE(a.image().displayBitmap()->colourTable(), *imaging::builtInPalette(number));
        QVERIFY(a.frame().action(static_cast<Command>(id))->isChecked());
        a.run(Command::Undo);
        QCOMPARE(imaging::getPalette(a.image()), imaging::kGrayscalePalette);
        QVERIFY(bitmapBytes(a.image()) == before);
        a.run(Command::Redo);
        QCOMPARE(a.image().displayBitmap()->colourTable(), *imaging::builtInPalette(number));
    }

    void grayscaleConvertsAnRgbFrame()
    {
        OpenApp a;
        QVERIFY(a.open(file(TestFile::RgbFrame)));
        const auto rgb = a.image().exportPixels();
        auto expected
            = imaging::FrameImage::fromSamples8(rgb->bytes, imaging::SampleKind::Rgb, rgb->width, rgb->height);
        QVERIFY(expected->convertToGrey());
        a.run(Command::PaletteGrayscale);
        QCOMPARE(a.image().kind(), imaging::SampleKind::Grey);
        QVERIFY(a.image().exportPixels()->bytes == expected->exportPixels()->bytes);
        QVERIFY(a.frame().action(Command::PaletteGrayscale)->isChecked());
        a.run(Command::Undo);
        QCOMPARE(a.image().kind(), imaging::SampleKind::Rgb);
        QVERIFY(a.image().exportPixels()->bytes == rgb->bytes);
    }

    void onlyGrayscaleAndRgbServeAnRgbFrame()
    {
        OpenApp a;
        QVERIFY(a.open(file(TestFile::RgbFrame)));
        a.frame().updateCommandStates();
        for (Command id : { Command::PaletteBlackbody, Command::PaletteCardiac, Command::PaletteFiveramp,
                            Command::PaletteFlow, Command::PaletteFusion16, Command::PaletteGeColor,
                            Command::PaletteGrayrain, Command::PaletteHotiron, Command::PaletteNih,
                            Command::PaletteSpectrum, Command::ViewPalettes, Command::ExtractPalette })
            QVERIFY2(!a.frame().action(id)->isEnabled(), qPrintable(a.frame().action(id)->text()));
        QVERIFY(a.frame().action(Command::PaletteGrayscale)->isEnabled());
        QVERIFY(a.frame().action(Command::PaletteRgb)->isChecked());
        // A shortcut or stale item still leaves the 24-bit bitmap alone.
        QVERIFY(!imaging::setPalette(a.image(), 8, a.menu().palettes()));
        QCOMPARE(a.image().kind(), imaging::SampleKind::Rgb);
    }

    void extractedPaletteIsListedAfterARestartAndApplies()
    {
        ScratchDataFolder data;
        imaging::CustomPalette extracted;
        {
            OpenApp a;
            QVERIFY(a.open(file(TestFile::PaletteColourFrame)));
            const QList<QAction*> empty = a.menu().submenu().actions();
            QCOMPARE(empty.size(), 1);
            QCOMPARE(empty.front()->text(), QStringLiteral("(Not Found)"));
            QVERIFY(!empty.front()->isEnabled());
            a.frame().updateCommandStates();
            QVERIFY(a.frame().action(Command::ExtractPalette)->isEnabled());
            extracted = *documentPalette(a.doc());
            QCOMPARE(extracted.name, std::string("Acme_Scan"));
            QCOMPARE(extracted.green[1], 254);
            QVERIFY(a.menu().save(userPaletteFolder() + QStringLiteral("/Acme_Scan.txt"), extracted));
            QCOMPARE(a.menu().items().size(), 1);
            // The file's frame is shown in RGB: no palette for it.
            QCOMPARE(a.image().kind(), imaging::SampleKind::Rgb);
            emit a.menu().submenu().aboutToShow();
            QVERIFY(!a.menu().items().front()->isEnabled());
            QCOMPARE(a.menu().applyCustom(0), 0);
        }
        OpenApp b;
        QVERIFY(b.open(file(TestFile::SpacedFrames)));
        const QList<QAction*> items = b.menu().submenu().actions();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items.front()->text(), QStringLiteral("Acme_Scan"));
        emit b.menu().submenu().aboutToShow();
        items.front()->trigger();
        // Frames of one size all take it, "Apply to all" or not, each with its own step.
        QVERIFY(!b.doc().applyToAll());
        for (int f = 0; f < 3; ++f) {
            QCOMPARE(imaging::getPalette(b.image(f)), imaging::kFirstCustomPalette);
            QCOMPARE(b.image(f).displayBitmap()->colourTable(), extracted.table());
            QVERIFY(b.doc().canUndo(f));
        }
        emit b.menu().submenu().aboutToShow();
        QVERIFY(items.front()->isChecked());
    }

    void savedNamesAreMadeSafe_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("listed");
        QTest::newRow("blank") << "Hot Iron" << "Hot_Iron";
        QTest::newRow("tab") << "a\tb" << "a_b";
        QTest::newRow("reserved") << "a/b\\c:d*e?f\"g<h>i|j" << "a_b_c_d_e_f_g_h_i_j";
        QTest::newRow("control") << QString::fromLatin1("x\x01y") << "x_y";
        QTest::newRow("plain") << "Warm" << "Warm";
    }
    void savedNamesAreMadeSafe()
    {
        QFETCH(QString, name);
        QFETCH(QString, listed);
        ScratchDataFolder data;
        imaging::CustomPaletteList list;
        imaging::CustomPalette palette;
        palette.name = name.toStdString();
        const QString path = userPaletteFolder() + QStringLiteral("/p.txt");
        QVERIFY(saveCustomPalette(list, path, palette));
        QCOMPARE(QString::fromStdString(list.at(0)->name), listed);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readLine()).trimmed(), listed);
    }

    void aPaletteThatCannotBeWrittenIsNotListed()
    {
        ScratchDataFolder data;
        ScratchSettings settings;
        document::UserOptions options;
        CMainFrame frame(options);
        PaletteMenu& menu = *frame.findChild<PaletteMenu*>();
        imaging::CustomPalette palette;
        palette.name = "Lost";
        // A file cannot be created inside a file.
        const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
        writeTestFile(blocker, TestFile::Part10);
        QString told;
        QTimer::singleShot(0, [&told] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box) {
                told = box->text();
                box->close();
            }
        });
        QVERIFY(!menu.save(blocker + QStringLiteral("/Lost.txt"), palette));
        QCOMPARE(told, QStringLiteral("I can n't create the file!    "));
        QVERIFY(menu.palettes().empty());
        QCOMPARE(menu.submenu().actions().size(), 1);
    }

    void palettesDialogShowsTheChosenColours()
    {
        imaging::CustomPaletteList custom;
        imaging::CustomPalette warm;
        warm.name = "Warm";
        warm.red.fill(200);
        QVERIFY(custom.add(warm));
        PalettesDialog dialog(custom, 8);
        QCOMPARE(dialog.list()->count(), 12);
        QCOMPARE(dialog.list()->item(8)->text(), QStringLiteral("Hotiron"));
        QCOMPARE(dialog.shownTable(), *imaging::builtInPalette(8));
        dialog.list()->setCurrentRow(11);
        QCOMPARE(dialog.shownTable(), warm.table());
        QCOMPARE(dialog.chosen(), 11);
        dialog.list()->setCurrentRow(8);
        saveScreenshot(dialog, QStringLiteral("palettes-dialog"));
    }

    // "Select" applies as the "&Color" items do: to the frames "Apply to
    // all" covers, custom palettes too, and the menu's last custom choice
    // stays as it was.
    void palettesDialogAppliesToTheFramesInScope_data()
    {
        QTest::addColumn<bool>("applyToAll");
        QTest::newRow("current frame") << false;
        QTest::newRow("apply to all") << true;
    }
    void palettesDialogAppliesToTheFramesInScope()
    {
        QFETCH(bool, applyToAll);
        ScratchDataFolder data;
        QVERIFY(QDir().mkpath(userPaletteFolder()));
        QFile warm(userPaletteFolder() + QStringLiteral("/Warm.txt"));
        QVERIFY(warm.open(QIODevice::WriteOnly));
        warm.write("Warm\n");
        for (int i = 0; i < 256; ++i)
            warm.write("200\t0\t0\n");
        warm.close();
        OpenApp a;
        QVERIFY(a.open(file(TestFile::SpacedFrames)));
        QCOMPARE(a.menu().palettes().size(), std::size_t { 1 });
        if (applyToAll)
            a.run(Command::ApplyToAll);
        QCOMPARE(a.doc().applyToAll(), applyToAll);
        bool selected = false;
        QTimer::singleShot(0, [&selected] {
            auto* dialog = qobject_cast<PalettesDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->list()->setCurrentRow(imaging::kFirstCustomPalette);
            dialog->selectButton()->click();
            selected = true;
        });
        a.run(Command::ViewPalettes);
        QVERIFY(selected);
        for (int f = 0; f < 3; ++f)
            QCOMPARE(imaging::getPalette(a.image(f)),
                     f == 0 || applyToAll ? imaging::kFirstCustomPalette : imaging::kGrayscalePalette);
        QVERIFY(!a.menu().palettes().lastChosen().has_value());
    }

    void ctInHotiron()
    {
        const QString ct = testFile("syntax/ct1-ele.dcm");
        if (!QFileInfo::exists(ct))
            QSKIP("test data folder not found");
        OpenApp a;
        QVERIFY(a.open(ct));
        a.run(Command::PaletteHotiron);
        QCOMPARE(imaging::getPalette(a.image()), 8);
        a.frame().resize(900, 700);
        saveScreenshot(a.frame(), QStringLiteral("ct-hotiron"));
    }

private:
    QString file(TestFile kind) const
    {
        const QString path = m_dir->filePath(QString::number(static_cast<int>(kind)) + QStringLiteral(".dcm"));
        writeTestFile(path, kind);
        return path;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

TV_REGISTER_TEST(PaletteCommandsTest);

#include "PaletteCommandsTest.moc"
