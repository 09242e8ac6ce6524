#include "AppTestSupport.h"
#include "ViewerFixture.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTolanApp.h"
#include "app/ToolsPalette.h"
#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

#include <QAction>
#include <QColorDialog>
#include <QDir>
#include <QDockWidget>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using viewmodel::Tool;

class ToolsPaletteTest : public QObject {
    Q_OBJECT
private slots:
    void barsAreShownAndHiddenByTheirItems_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("edit") << static_cast<int>(Command::ToggleEditBar) << "EditToolbar" << "Edit Toolbar";
        QTest::newRow("view") << static_cast<int>(Command::ToggleViewBar) << "ViewToolbar" << "View Toolbar";
        QTest::newRow("tools") << static_cast<int>(Command::ToggleToolsBar) << "ToolsPalette" << "Tools";
    }

    void barsAreShownAndHiddenByTheirItems()
    {
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(QString, title);
        ScratchSettings scratch;
        document::UserOptions options;
        CMainFrame frame(options);
        auto* bar = frame.findChild<QWidget*>(name);
        QVERIFY(bar);
        QCOMPARE(bar->windowTitle(), title);
        QAction* item = frame.action(static_cast<Command>(id));
        QVERIFY(item->isChecked());
        item->trigger();
        QVERIFY(bar->isHidden());
        QVERIFY(!item->isChecked());
        item->trigger();
        QVERIFY(!bar->isHidden());
        QVERIFY(item->isChecked());
    }

    void barsDockInTheirRows()
    {
        ScratchSettings scratch;
        document::UserOptions options;
        CMainFrame frame(options);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const auto bar = [&frame](const char* name) { return frame.findChild<QToolBar*>(QString::fromLatin1(name)); };
        // Edit right of File; View after Zoom and Navigation in the row below.
        QCOMPARE(bar("EditToolbar")->y(), bar("FileToolbar")->y());
        QVERIFY(bar("EditToolbar")->x() > bar("FileToolbar")->x());
        QVERIFY(bar("ZoomToolbar")->y() > bar("FileToolbar")->y());
        QCOMPARE(bar("ViewToolbar")->y(), bar("ZoomToolbar")->y());
        QVERIFY(bar("ViewToolbar")->x() > bar("NavigationToolbar")->x());
        QCOMPARE(frame.dockWidgetArea(frame.findChild<QDockWidget*>(QStringLiteral("ToolsPalette"))),
            Qt::LeftDockWidgetArea);
    }

    void buttonsFollowTheActiveViewsTool()
    {
        if (!QFileInfo::exists(testFile("syntax/ct1-ile.dcm")))
            QSKIP("test data folder not found");
        ScratchSettings scratch;
        CTolanApp app;
        CMainFrame* frame = nullptr;
        {
            // Without a document every button is off.
            QVERIFY(app.start({ QStringLiteral("tolan-viewer") }));
            frame = app.mainFrame();
            const ToolsPalette* palette = frame->findChild<ToolsPalette*>();
            QVERIFY(!palette->button(Tool::PanHand)->isEnabled());
            QVERIFY(!palette->colourSwatch()->isEnabled());
        }
        QVERIFY(app.openDocumentFile(testFile("syntax/ct1-ile.dcm")));
        const ToolsPalette* palette = frame->findChild<ToolsPalette*>();
        COrvoView* view = frame->activeChild()->imageView();
        QToolButton* pan = palette->button(Tool::PanHand);
        QCOMPARE(pan->toolTip(), QStringLiteral("Cross/Pan Hand"));
        QVERIFY(pan->isChecked());

        QTest::mouseClick(palette->button(Tool::SelectionRectangle), Qt::LeftButton);
        QCOMPARE(view->currentTool(), Tool::SelectionRectangle);
        QVERIFY(palette->button(Tool::SelectionRectangle)->isChecked());
        QVERIFY(!pan->isChecked());
        // Chosen from the menu: the palette follows; a tool it has no button for clears it.
        frame->action(Command::CropTool)->trigger();
        QVERIFY(palette->button(Tool::Crop)->isChecked());
        frame->action(Command::ZoomTool)->trigger();
        for (Tool tool : viewmodel::PaletteTools)
            QVERIFY(!palette->button(tool)->isChecked());
        // Clicking the tool already chosen keeps it pressed.
        QTest::mouseClick(pan, Qt::LeftButton);
        QTest::mouseClick(pan, Qt::LeftButton);
        QVERIFY(pan->isChecked());

        // The overlay tools go with their overlays: hiding the annotations
        // leaves the move tool for the pan hand and disables it.
        QTest::mouseClick(palette->button(Tool::MoveAnnotation), Qt::LeftButton);
        QCOMPARE(view->currentTool(), Tool::MoveAnnotation);
        frame->action(Command::ShowAnnotations)->trigger();
        QCOMPARE(view->currentTool(), Tool::PanHand);
        QVERIFY(!palette->button(Tool::MoveAnnotation)->isEnabled());
        QVERIFY(palette->button(Tool::MeasureLength)->isEnabled());
        QVERIFY(palette->button(Tool::LevelWindow)->isEnabled());

        const document::ColorRef green = frame->activeChild()->document().annotationColour();
        QCOMPARE(palette->colourSwatch()->palette().color(QPalette::Button),
            QColor(document::redOf(green), document::greenOf(green), document::blueOf(green)));
    }

    // The swatch shows the annotation colour of the document in the active
    // window: also one that Next File put there, and one that Preferences
    // gave to the open documents.
    void swatchFollowsTheActiveDocumentsColour()
    {
        if (!QFileInfo::exists(testFile("syntax/ct1-ile.dcm")))
            QSKIP("test data folder not found");
        ScratchSettings scratch;
        const QDir dir(scratch.path());
        for (const char* name : { "a1.dcm", "a2.dcm", "a3.dcm" })
            QVERIFY(QFile::copy(testFile("syntax/ct1-ile.dcm"), dir.filePath(QString::fromLatin1(name))));
        CTolanApp app;
        QVERIFY(app.start({ QStringLiteral("tolan-viewer"), dir.filePath(QStringLiteral("a1.dcm")) }));
        CMainFrame* frame = app.mainFrame();
        const ToolsPalette* palette = frame->findChild<ToolsPalette*>();
        const auto swatch = [palette] { return palette->colourSwatch()->palette().color(QPalette::Button); };
        QTRY_VERIFY(frame->action(Command::NextFile)->isEnabled());
        frame->action(Command::NextFile)->trigger();
        frame->action(Command::NextFile)->trigger();
        COrvoDoc& shown = frame->activeChild()->document();
        QCOMPARE(shown.fileTitle(), QStringLiteral("a3.dcm"));
        shown.setAnnotationColour(document::makeColorRef(10, 20, 30)); // as Preferences does
        QCOMPARE(swatch(), QColor(10, 20, 30));
    }

    // "Select drawing color" sets the colour the active tool draws with:
    // lengths and angles their own, every other tool the annotations'.
    void drawingColourIsTheActiveTools()
    {
        struct Row {
            Command tool;
            document::ColorRef (*colour)(const COrvoDoc&);
        };
        const Row rows[] = {
            { Command::MeasureLengthTool, [](const COrvoDoc& d) { return d.measurementStyle().lengthColour; } },
            { Command::MeasureAngleTool, [](const COrvoDoc& d) { return d.measurementStyle().angleColour; } },
            { Command::AnnotationTextTool, [](const COrvoDoc& d) { return d.annotationColour(); } },
            { Command::PanHandTool, [](const COrvoDoc& d) { return d.annotationColour(); } },
        };
        int shade = 40;
        for (const Row& row : rows) {
            Viewer viewer(TestFile::Gradient);
            QVERIFY(viewer.doc);
            QVERIFY(viewer.enabled(Command::SelectDrawingColor));
            viewer.trigger(row.tool);
            const document::ColorRef before = row.colour(*viewer.doc);
            viewer.trigger(Command::SelectDrawingColor);
            auto* dialog = viewer.shown<QColorDialog>();
            QVERIFY(dialog);
            QCOMPARE(dialog->currentColor(), QColor(document::redOf(before), document::greenOf(before), document::blueOf(before)));
            const QColor chosen(shade, 2 * shade, 3 * shade);
            dialog->setCurrentColor(chosen);
            dialog->accept();
            QCOMPARE(row.colour(*viewer.doc), document::makeColorRef(chosen.red(), chosen.green(), chosen.blue()));
            const ToolsPalette* palette = viewer.app.mainFrame()->findChild<ToolsPalette*>();
            const document::ColorRef annotation = viewer.doc->annotationColour();
            QCOMPARE(palette->colourSwatch()->palette().color(QPalette::Button),
                QColor(document::redOf(annotation), document::greenOf(annotation), document::blueOf(annotation)));
            shade += 10;
        }
    }
};

TV_REGISTER_TEST(ToolsPaletteTest);
#include "ToolsPaletteTest.moc"
