#include "AppTestSupport.h"

#include "app/CMainFrame.h"
#include "app/MainFrameActions.h"
#include "app/MdiBackground.h"
#include "app/SelectFileBar.h"
#include "app/StatusPanes.h"
#include "app/dialogs/PreviewFileDialog.h"
#include "view/model/WindowPlacement.h"

#include <QAction>
#include <QComboBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTreeView>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// Notes the text the style is asked to draw as a combo box's label.
class LabelSpy : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
            combo && element == CE_ComboBoxLabel)
            drawn = combo->currentText;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    mutable QString drawn;
};

struct ShownFrame {
    ScratchSettings scratch;
    document::UserOptions options;
    CMainFrame frame { options };

    ShownFrame()
    {
        frame.resize(1000, 700);
        frame.show();
    }
};

} // namespace

// What the shell shows of itself: prompts, background, fields wide enough.
class ShellLookTest : public QObject {
    Q_OBJECT
private slots:
    void commandsCarryTheirStatusTexts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        const auto row = [](Command id, const char* text) {
            QTest::newRow(text) << static_cast<int>(id) << QString::fromUtf8(text);
        };
        row(Command::Rotate180, "Rotate canvas 180°");
        row(Command::Rotate90Clockwise, "Rotate canvas 90° Clockwise");
        row(Command::Rotate90CounterClockwise, "Rotate canvas 90° Counter-Clockwise");
        row(Command::RotateCustom, "Custom rotate");
        row(Command::FlipHorizontal, "Flip Horizontal");
        row(Command::FlipVertical, "Flip Vertically");
        row(Command::Inverse, "Color inverse");
        row(Command::Thresholding, "Thresholding");
        row(Command::BrightnessContrast, "Brightness - Contrast");
        row(Command::RemoveBurnedIn, "Remove Burned In Annotations");
        row(Command::Clear, "Fill selected area with background color");
        row(Command::Histogram, "Image Histogram");
        row(Command::ImageInfo, "Image Info");
        row(Command::AutoLevels, "Auto Levels");
    }
    void commandsCarryTheirStatusTexts()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        ShownFrame shown;
        QCOMPARE(shown.frame.action(static_cast<Command>(id))->statusTip(), text);
    }

    void everyMenuItemHasAStatusText()
    {
        ShownFrame shown;
        for (const QAction* item : shown.frame.actions().allActions())
            QVERIFY2(!item->statusTip().isEmpty(), qPrintable(item->text()));
    }

    // The status bar shows the prompt of the item under the mouse, in room
    // the panes leave it, and "Ready" again once the menu closes.
    void hoveredItemShowsItsPromptThenReady()
    {
        ShownFrame shown;
        QVERIFY(QTest::qWaitForWindowExposed(&shown.frame));
        QLabel* idle = shown.frame.statusPanes().idleLabel();
        QCOMPARE(idle->text(), QStringLiteral("Ready"));
        QVERIFY(idle->isVisible());
        QMenu* help = shown.frame.actions().menu(QStringLiteral("Help"));
        QAction* item = shown.frame.action(Command::SystemInfo);
        QVERIFY(item->isEnabled());
        help->popup(shown.frame.mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QTest::mouseMove(help, help->actionGeometry(item).center());
        QTRY_COMPARE(shown.frame.statusBar()->currentMessage(), item->statusTip());
        QVERIFY(!idle->isVisible());
        int panesStart = shown.frame.statusBar()->width();
        for (int pane = StatusPanes::FileDate; pane <= StatusPanes::PixelValue; ++pane) {
            const QLabel* label = shown.frame.statusPanes().label(static_cast<StatusPanes::Pane>(pane));
            if (label->isVisible())
                panesStart = std::min(panesStart, label->x());
        }
        QVERIFY(shown.frame.statusBar()->fontMetrics().horizontalAdvance(item->statusTip()) < panesStart);
        help->hide();
        QTRY_VERIFY(shown.frame.statusBar()->currentMessage().isEmpty());
        QTRY_VERIFY(idle->isVisible());
    }

    // "Show background image" tiles the picture behind the document
    // windows; off, the background colour comes back.
    void backgroundPictureFollowsTheOption()
    {
        ShownFrame shown;
        QVERIFY(QTest::qWaitForWindowExposed(&shown.frame));
        QWidget* area = shown.frame.mdiArea()->viewport();
        const QImage tile(MdiBackground::tilePath());
        QVERIFY(!tile.isNull());
        const QColor colour(0, 70, 100);
        // Points on the tile's lines, in the first tile and in later ones.
        const QPoint points[] = { QPoint(5, 5), QPoint(64 + 10, 10), QPoint(5, 64 + 58) };
        for (const QPoint& p : points)
            QVERIFY(tile.pixelColor(p.x() % tile.width(), p.y() % tile.height()) != colour);
        QCOMPARE(area->grab().toImage().pixelColor(5, 5), colour);
        shown.frame.options().bgImage = true;
        shown.frame.applyOptions();
        QVERIFY(MdiBackground::showsPictures(*shown.frame.mdiArea()));
        const QImage painted = area->grab().toImage();
        for (const QPoint& p : points)
            QCOMPARE(painted.pixelColor(p), tile.pixelColor(p.x() % tile.width(), p.y() % tile.height()));
        saveScreenshot(shown.frame, QStringLiteral("background-picture"));
        shown.frame.options().bgImage = false;
        shown.frame.applyOptions();
        QCOMPARE(area->grab().toImage().pixelColor(5, 5), colour);
    }

    // A factor of four digits shows whole in the zoom field.
    void zoomFieldShowsFourDigitFactorsWhole()
    {
        ShownFrame shown;
        QVERIFY(QTest::qWaitForWindowExposed(&shown.frame));
        QComboBox* list = shown.frame.zoomList();
        list->setEnabled(true);
        list->addItem(QStringLiteral("1268.75%"));
        list->setCurrentIndex(list->count() - 1);
        QLineEdit* edit = list->lineEdit();
        edit->end(false);
        edit->repaint();
        // Scrolled to show its end, the field would begin past the first digit.
        QCOMPARE(edit->cursorPositionAt(QPoint(edit->contentsRect().left() + 3, edit->height() / 2)), 0);
    }

    // The folder list keeps the end of a long path, where the folder the user
    // is in is named; its tooltip gives the whole path.
    void folderFieldKeepsTheFolderInSight()
    {
        QTemporaryDir dir;
        const QString deep = dir.path() + QStringLiteral("/a folder with a long name for the first level")
            + QStringLiteral("/another folder with a long name for the second/the-leaf-folder");
        QVERIFY(QDir().mkpath(deep));
        writeDicomStub(deep + QStringLiteral("/x.dcm"));
        LabelSpy spy;
        SelectFileBar bar;
        bar.directoryList()->setStyle(&spy);
        bar.fileOpened(deep + QStringLiteral("/x.dcm"));
        bar.show();
        bar.directoryList()->grab();
        QVERIFY2(spy.drawn.endsWith(QStringLiteral("the-leaf-folder/")), qPrintable(spy.drawn));
        QVERIFY2(spy.drawn.contains(QChar(0x2026)), qPrintable(spy.drawn));
        QCOMPARE(bar.directoryList()->toolTip(), deep + QLatin1Char('/'));
        bar.directoryList()->setStyle(nullptr);
    }

    // File Open opens at a share of the screen, its columns as wide as
    // what they show.
    void fileDialogOpensLargeWithColumnsThatFit()
    {
        ScratchSettings scratch;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("IMG-0001-00001.dcm"));
        writeDicomStub(file);
        PreviewFileDialog dialog(nullptr, dir.path());
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const viewmodel::WindowRect expected
            = viewmodel::shareOf({ available.x(), available.y(), available.width(), available.height() }, 70, 760, 520);
        QCOMPARE(dialog.size(), QSize(expected.width, expected.height));
        dialog.show();
        auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(tree);
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        QVERIFY(model);
        QTRY_VERIFY(!model->index(file, 3).data().toString().isEmpty());
        const QFontMetrics metrics(tree->font());
        for (int column = 1; column <= 3; ++column) {
            const QString text = model->index(file, column).data().toString();
            QVERIFY2(metrics.horizontalAdvance(text) + 6 <= tree->header()->sectionSize(column), qPrintable(text));
        }
    }
};

TV_REGISTER_TEST(ShellLookTest);
#include "ShellLookTest.moc"
