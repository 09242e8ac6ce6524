// The annotation and measurement tools driven through the real view with
// synthetic clicks, and the overlay steps they leave for Undo.

#include "AppTestSupport.h"

#include "document/COrvoDoc.h"
#include "view/COrvoView.h"

#include <QtTest>

class OverlayToolsTest : public QObject {
    Q_OBJECT
private:
    struct Shown {
        QTemporaryDir dir;
        COrvoDoc doc;
        COrvoView view { doc };
    };

    // 32 x 32 frames at 0.5 mm per pixel, shown at zoom 2.
    static void show(Shown& shown, viewmodel::Tool tool, TestFile file = TestFile::SpacedFrame)
    {
        const QString path = shown.dir.filePath(QStringLiteral("spaced.dcm"));
        writeTestFile(path, file);
        QVERIFY(shown.doc.load(path, {}));
        shown.doc.setZoom(2.0F);
        shown.view.resize(200, 200);
        shown.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        shown.view.selectTool(tool);
    }

    // The viewport point in the middle of an image pixel.
    static QPoint at(const COrvoView& view, int x, int y)
    {
        const QRect image = view.displayedImageRect();
        return image.topLeft() + QPoint(x * 2 + 1, y * 2 + 1);
    }

    static void click(COrvoView& view, QPoint point, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseMove(view.viewport(), point);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, keys, point);
    }

    static void answerWith(COrvoView& view, const QString& text)
    {
        view.setAnnotationPrompt([text](QWidget*, const overlayedits::AnnotationRequest& request) {
            overlayedits::AnnotationAnswer answer { request.start, std::nullopt };
            answer.draft.text = text;
            return std::optional(answer);
        });
    }

private slots:
    void lengthAtZoomTwoKeepsImagePointsAndUndoTakesItBack()
    {
        Shown shown;
        show(shown, viewmodel::Tool::MeasureLength);
        // Escape drops a length under way.
        click(shown.view, at(shown.view, 1, 1));
        QTest::keyClick(&shown.view, Qt::Key_Escape);
        click(shown.view, at(shown.view, 3, 4));
        click(shown.view, at(shown.view, 20, 4));
        const auto& lengths = shown.doc.overlays().lengths;
        QCOMPARE(lengths.count(), std::size_t { 1 });
        QCOMPARE(lengths.at(0)->first, (viewmodel::Point { 3, 4 }));
        QCOMPARE(lengths.at(0)->second, (viewmodel::Point { 20, 4 }));
        QCOMPARE(lengths.at(0)->label.str(), std::string("8mm"));
        QVERIFY(shown.doc.undo(0));
        QCOMPARE(shown.doc.overlays().lengths.count(), std::size_t { 0 });
        QVERIFY(shown.doc.redo(0));
        QCOMPARE(shown.doc.overlays().lengths.count(), std::size_t { 1 });
    }

    void angleTakesVertexThenBothArms()
    {
        Shown shown;
        show(shown, viewmodel::Tool::MeasureAngle);
        click(shown.view, at(shown.view, 5, 5));
        click(shown.view, at(shown.view, 15, 5));
        click(shown.view, at(shown.view, 15, 15));
        const auto* angle = shown.doc.overlays().angles.at(0);
        QVERIFY(angle != nullptr);
        QCOMPARE(angle->second, (viewmodel::Point { 15, 15 }));
        QCOMPARE(QString::fromStdString(angle->label.str()), QStringLiteral("45.00°"));
    }

    void annotationGoesAboveTheClickToEveryFrameAndTheEraserTakesItFromEvery()
    {
        Shown shown;
        show(shown, viewmodel::Tool::AddTextAnnotation, TestFile::SpacedFrames);
        QCOMPARE(shown.doc.toggleApplyToAll(), COrvoDoc::ApplyToAllResult::Toggled);
        answerWith(shown.view, QStringLiteral("Hi"));
        click(shown.view, at(shown.view, 4, 30));
        const auto* note = shown.doc.overlays(2).annotations.at(0);
        QVERIFY(note != nullptr);
        QCOMPARE(note->position, (viewmodel::Point { 4, 30 - note->boxSize.height }));
        shown.view.selectTool(viewmodel::Tool::DeleteAnnotation);
        click(shown.view, at(shown.view, 5, 29));
        for (int frame = 0; frame < 3; ++frame)
            QCOMPARE(shown.doc.overlays(frame).annotations.count(), std::size_t { 0 });
    }

    void movingWithShiftKeepsTheColumn()
    {
        Shown shown;
        show(shown, viewmodel::Tool::AddTextAnnotation);
        answerWith(shown.view, QStringLiteral("Hi"));
        click(shown.view, at(shown.view, 4, 30));
        const viewmodel::Point before = shown.doc.overlays().annotations.at(0)->position;
        shown.view.selectTool(viewmodel::Tool::MoveAnnotation);
        const QPoint from = at(shown.view, 5, 29);
        QTest::mousePress(shown.view.viewport(), Qt::LeftButton, Qt::ShiftModifier, from);
        QTest::mouseMove(shown.view.viewport(), from - QPoint(6, 10));
        QTest::mouseRelease(shown.view.viewport(), Qt::LeftButton, Qt::ShiftModifier, from - QPoint(6, 10));
        QCOMPARE(shown.doc.overlays().annotations.at(0)->position, (viewmodel::Point { before.x, before.y - 5 }));
    }

    void defaultAnnotationShowsThePatientsName()
    {
        const QString path = testFile("syntax/ct1-ele.dcm");
        if (!QFile::exists(path))
            QSKIP("test data folder not found");
        document::UserOptions options;
        options.defAnnotations = true;
        COrvoDoc doc;
        QVERIFY(doc.load(path, options));
        const auto* name = doc.overlays().annotations.at(0);
        QVERIFY(name != nullptr);
        QCOMPARE(name->text.str(), std::string(" CompressedSamples CT1"));
        QCOMPARE(name->colour, options.annotationColor);
        COrvoView view(doc);
        view.resize(600, 600);
        const QImage shot = view.grab().toImage();
        const QRect box = QRect(view.displayedImageRect().topLeft(), QSize(name->boxSize.width, name->boxSize.height))
                              .translated(name->position.x, name->position.y);
        bool green = false;
        for (int y = box.top(); y <= box.bottom() && !green; ++y) {
            for (int x = box.left(); x <= box.right() && !green; ++x)
                green = shot.pixelColor(x, y).green() > 200 && shot.pixelColor(x, y).red() < 100;
        }
        QVERIFY(green);
    }
};

TV_REGISTER_TEST(OverlayToolsTest);
#include "OverlayToolsTest.moc"
