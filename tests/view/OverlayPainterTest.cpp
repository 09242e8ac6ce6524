#include "document/OverlayPainter.h"
#include "document/OverlayText.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>
#include <iterator>
#include <optional>
#include <string>

namespace {

const QRgb Background = qRgb(10, 20, 30);
// A 100 x 100 frame at zoom 2, away from the canvas's corner.
const QRect Frame(20, 30, 200, 200);

// A text cut at the frame's right edge, a length across the whole frame and
// an angle along two of its edges.
viewmodel::FrameOverlays sampleOverlays()
{
    viewmodel::FrameOverlays overlays;
    viewmodel::TextAnnotation text;
    text.font.height = 12;
    text.colour = 0x0000FF;
    text.text = "WWWW\r\n" + std::string(40, 'W');
    text.position = { 10, 10 };
    overlays.annotations.add(text);
    viewmodel::LengthMeasurement length;
    length.first = { -50, -50 };
    length.second = { 150, 150 };
    length.labelBox = { 50, 10, 60, 20 };
    overlays.lengths.add(length);
    viewmodel::AngleMeasurement angle;
    angle.vertex = { 99, 0 };
    angle.first = { 200, 0 };
    angle.second = { 99, 300 };
    angle.label = "90.00°";
    angle.labelBox = { 95, 95, 105, 105 };
    overlays.angles.add(angle);
    return overlays;
}

OverlayScene sceneOf(const viewmodel::FrameOverlays& overlays, bool rulers = true, bool measurements = true)
{
    OverlayScene scene;
    scene.overlays = &overlays;
    if (rulers)
        scene.rulers = viewmodel::RulerSetting {};
    scene.measurements = measurements;
    scene.zoom = 2;
    scene.image = Frame;
    return scene;
}

OverlayScene annotationsOnly(const viewmodel::FrameOverlays& overlays) { return sceneOf(overlays, false, false); }

QImage canvas()
{
    QImage image(260, 260, QImage::Format_ARGB32_Premultiplied);
    image.fill(Background);
    return image;
}

QImage painted(const OverlayScene& scene)
{
    QImage image = canvas();
    QPainter painter(&image);
    paintOverlays(painter, scene);
    return image;
}

struct QuietCase {
    const char* name;
    bool rulers;
    bool annotations;
    bool measurements;
    bool hidden;
    std::optional<std::size_t> skip;
    double zoom;
};
const QuietCase QuietCases[] = {
    { "switches off", false, false, false, false, {}, 2 },
    { "hidden annotation", false, true, false, true, {}, 2 },
    { "dragged annotation", false, true, false, false, 0, 2 },
    { "zoom 0", true, true, true, false, {}, 0 },
    { "zoom not a number", true, true, true, false, {}, std::nan("") },
};

// The smallest rectangle holding every pixel the paint changed.
QRect changedBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != Background)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

class OverlayPainterTest : public QObject {
    Q_OBJECT
private slots:
    void annotationStartsAtItsZoomedPoint()
    {
        viewmodel::FrameOverlays overlays = sampleOverlays();
        const QRect box = changedBox(painted(annotationsOnly(overlays)));
        const QFontMetrics metrics(overlaytext::toQFont(overlays.annotations.at(0)->font, 2.0));
        QVERIFY2(box.left() >= 40 && box.left() <= 43, qPrintable(QString::number(box.left())));
        QVERIFY2(box.top() >= 50 && box.top() <= 50 + metrics.ascent(), qPrintable(QString::number(box.top())));
        // The long second line is cut at the frame's right edge.
        QCOMPARE(box.right(), Frame.right());
    }

    void lengthLabelIsRecomputedOnOpaqueBlack()
    {
        viewmodel::FrameOverlays overlays;
        viewmodel::LengthMeasurement length;
        // 80 rows apart, so the row spacing applies: 40 mm, not the stored label.
        length.second = { 0, 80 };
        length.label = "1mm";
        length.labelBox = { 10, 60, 20, 70 };
        overlays.lengths.add(length);
        OverlayScene scene = sceneOf(overlays, false);
        scene.spacing = { 0.5, 3.0 };
        const QImage image = painted(scene);
        const QFontMetrics metrics(overlaytext::toQFont(overlays.lengths.at(0)->font, 2.0));
        const QPoint corner(Frame.left() + 20, Frame.top() + 120);
        const int width = metrics.horizontalAdvance(QStringLiteral("40mm"));
        QCOMPARE(image.pixel(corner), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(corner + QPoint(width - 1, metrics.height() - 1)), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(corner + QPoint(width, 0)), Background);
    }

    void switchedOffOrSkippedDrawsNothing_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < static_cast<int>(std::size(QuietCases)); ++i)
            QTest::newRow(QuietCases[i].name) << i;
    }

    void switchedOffOrSkippedDrawsNothing()
    {
        QFETCH(int, row);
        const QuietCase& c = QuietCases[row];
        viewmodel::FrameOverlays overlays = sampleOverlays();
        auto text = *overlays.annotations.at(0);
        text.hidden = c.hidden;
        overlays.annotations.replace(0, text);
        OverlayScene scene = sceneOf(overlays, c.rulers, c.measurements);
        scene.annotations = c.annotations;
        scene.skipAnnotation = c.skip;
        scene.zoom = c.zoom;
        QCOMPARE(changedBox(painted(scene)), QRect());
    }

    void everythingStaysQuickAndInsideTheFrame_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<double>("spacing");
        QTest::newRow("as usual") << 2.0 << 1.0;
        QTest::newRow("tiny spacing") << 2.0 << 1e-9;
        QTest::newRow("huge spacing") << 2.0 << 1e9;
        QTest::newRow("huge zoom") << 1e9 << 1.0;
        QTest::newRow("one tick a pixel") << 0.1 << 1.0;
    }

    void everythingStaysQuickAndInsideTheFrame()
    {
        QFETCH(double, zoom);
        QFETCH(double, spacing);
        viewmodel::FrameOverlays overlays = sampleOverlays();
        OverlayScene scene = sceneOf(overlays);
        scene.zoom = zoom;
        scene.spacing = { spacing, spacing };
        QElapsedTimer timer;
        timer.start();
        const QRect box = changedBox(painted(scene));
        QVERIFY(timer.elapsed() < 2000);
        QVERIFY(!box.isEmpty() && Frame.contains(box));
    }

    void toolAnnotationMatchesTheOverlayPaint()
    {
        viewmodel::FrameOverlays overlays = sampleOverlays();
        QImage byTool = canvas();
        QPainter painter(&byTool);
        paintAnnotation(painter, *overlays.annotations.at(0), { 10, 10 }, 2.0, Frame);
        painter.end();
        QCOMPARE(byTool, painted(annotationsOnly(overlays)));
    }
};

QTEST_MAIN(OverlayPainterTest)
#include "OverlayPainterTest.moc"
