#include "document/OverlayPainter.h"

#include "document/OverlayText.h"

#include <QFontMetrics>
#include <QLine>
#include <QPaintDevice>
#include <QPainter>
#include <QStringView>

#include <algorithm>
#include <cmath>
#include <deque>
#include <string>
#include <vector>

namespace {

// No frame is shown larger than this on a side, so a mapped point past it
// comes from a damaged record; keeping it there keeps the toolkit's
// fixed-point rasteriser away from overflow.
constexpr double FarPoint = 1 << 24;
// A pen wider than this covers any viewport; a damaged record asking for
// more is drawn at this width.
constexpr int MaxLineWidth = 100;
// The end dots: a filled circle in a 4 x 4 pixel box around the point.
constexpr int DotBox = 4;

int toPainter(std::int32_t imageCoordinate, double zoom, int origin)
{
    double mapped = std::trunc(static_cast<double>(imageCoordinate) * zoom + 0.5) + origin;
    if (!(mapped >= -FarPoint))
        mapped = -FarPoint;
    if (mapped > FarPoint)
        mapped = FarPoint;
    return static_cast<int>(mapped);
}

QPoint toPainter(viewmodel::Point image, double zoom, const QRect& frame)
{
    return { toPainter(image.x, zoom, frame.left()), toPainter(image.y, zoom, frame.top()) };
}

QPoint toQPoint(viewmodel::Point point) { return { point.x, point.y }; }

// A font with its metrics, made once per distinct record font in a paint:
// building the toolkit's font and its metrics costs more than drawing a label.
struct PaintFont {
    viewmodel::OverlayFont record;
    QFont font;
    QFontMetrics metrics;
};

PaintFont makePaintFont(const viewmodel::OverlayFont& record, double zoom)
{
    QFont font = overlaytext::toQFont(record, zoom);
    QFontMetrics metrics(font);
    return { record, std::move(font), std::move(metrics) };
}

class FontCache {
public:
    explicit FontCache(double zoom)
        : m_zoom(zoom)
    {
    }

    const PaintFont& fontOf(const viewmodel::OverlayFont& record)
    {
        // Overlays mostly share one or two fonts, so a short list beats a map.
        const auto found = std::find_if(m_fonts.begin(), m_fonts.end(),
            [&](const PaintFont& entry) { return entry.record == record; });
        if (found != m_fonts.end())
            return *found;
        m_fonts.push_back(makePaintFont(record, m_zoom));
        return m_fonts.back();
    }

private:
    double m_zoom;
    // A deque keeps the fonts handed out in place while more are added.
    std::deque<PaintFont> m_fonts;
};

// Draws a text one line below another from `topLeft` in the painter's font
// and pen, never wrapped: what passes the clip is cut off. Lines end at '\n'
// (a "\r\n" pair counts as one break). With `opaque`, each line's cell is
// first filled black. Lines wholly off the frame are not laid out at all.
void drawTextLines(QPainter& painter, const QFontMetrics& metrics, QPoint topLeft, QStringView text, bool opaque,
                   const QRect& image)
{
    if (topLeft.x() > image.right())
        return;
    const int lineHeight = metrics.height();
    int top = topLeft.y() - lineHeight;
    for (QStringView line : text.tokenize(QLatin1Char('\n'))) {
        top += lineHeight;
        if (top > image.bottom())
            break;
        if (top + lineHeight <= image.top())
            continue;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString shown = line.toString();
        if (opaque)
            painter.fillRect(QRect(topLeft.x(), top, metrics.horizontalAdvance(shown), lineHeight), Qt::black);
        if (!shown.isEmpty())
            painter.drawText(QPoint(topLeft.x(), top + metrics.ascent()), shown);
    }
}

void drawAnnotation(QPainter& painter, const viewmodel::TextAnnotation& annotation, QPoint topLeft,
                    const PaintFont& font, const QRect& image)
{
    painter.setFont(font.font);
    painter.setPen(overlaytext::toQColor(annotation.colour));
    drawTextLines(painter, font.metrics, topLeft, overlaytext::toQString(annotation.text.str()), false, image);
}

void drawLabel(QPainter& painter, const QString& text, QPoint topLeft, viewmodel::Colour colour, const PaintFont& font,
               const QRect& image)
{
    painter.setFont(font.font);
    painter.setPen(overlaytext::toQColor(colour));
    drawTextLines(painter, font.metrics, topLeft, text, true, image);
}

QPen measurementPen(int lineWidth, viewmodel::Colour colour)
{
    QPen pen(overlaytext::toQColor(colour), std::clamp(lineWidth, 1, MaxLineWidth));
    // Wide lines end in round caps, the look of a plain solid pen.
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void drawMeasurementLine(QPainter& painter, QPoint from, QPoint to, int lineWidth, viewmodel::Colour colour)
{
    painter.setPen(measurementPen(lineWidth, colour));
    painter.drawLine(from, to);
    paintMeasurementDot(painter, from, colour);
    paintMeasurementDot(painter, to, colour);
}

// Where the rulers are worth drawing: the frame, and of it only what the
// device shows when nothing transforms the painter.
QRect visibleFrame(const QPainter& painter, const QRect& image)
{
    const QPaintDevice* device = painter.device();
    if (device == nullptr || !painter.worldTransform().isIdentity())
        return image;
    return image.intersected(QRect(0, 0, device->width(), device->height()));
}

bool lineMeets(const viewmodel::Line& line, const QRect& area)
{
    const QRect box = QRect(toQPoint(line.from), toQPoint(line.to)).normalized().adjusted(-1, -1, 1, 1);
    return box.intersects(area);
}

void paintRulers(QPainter& painter, const viewmodel::RulerSetting& setting, const OverlayScene& scene)
{
    const QRect& image = scene.image;
    const viewmodel::Rect displayed { image.left(), image.top(), image.left() + image.width(),
        image.top() + image.height() };
    const viewmodel::RulerLayout layout = viewmodel::rulerLayout(setting.corner, displayed, scene.zoom, scene.spacing);
    const QRect visible = visibleFrame(painter, image);
    const QColor colour = overlaytext::toQColor(setting.colour);

    std::vector<QLine> lines;
    for (const viewmodel::Ruler* ruler : { &layout.horizontal, &layout.vertical }) {
        lines.emplace_back(toQPoint(ruler->axis.from), toQPoint(ruler->axis.to));
        for (const viewmodel::RulerTick& tick : ruler->ticks) {
            if (lineMeets(tick.line, visible))
                lines.emplace_back(toQPoint(tick.line.from), toQPoint(tick.line.to));
        }
    }
    painter.setPen(QPen(colour, 2));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));

    viewmodel::OverlayFont labelFont;
    labelFont.height = 9;
    labelFont.weight = 700;
    labelFont.face.set("Arial");
    const PaintFont font = makePaintFont(labelFont, 1.0);
    painter.setFont(font.font);
    const auto offset = [](viewmodel::LabelAlign align, int extent) {
        switch (align) {
        case viewmodel::LabelAlign::Start:
            return 0;
        case viewmodel::LabelAlign::Centre:
            return extent / 2;
        case viewmodel::LabelAlign::End:
            return extent;
        }
        return 0;
    };
    for (const viewmodel::Ruler* ruler : { &layout.horizontal, &layout.vertical }) {
        for (const viewmodel::RulerLabel& label : ruler->labels) {
            const QString text = QString::fromStdString(label.text);
            const int width = font.metrics.horizontalAdvance(text);
            const int height = font.metrics.height();
            const QRect box(label.anchor.x - offset(label.horizontal, width),
                label.anchor.y - offset(label.vertical, height), width, height);
            if (box.intersects(visible))
                painter.drawText(QPoint(box.left(), box.top() + font.metrics.ascent()), text);
        }
    }
}

QPoint labelCorner(viewmodel::Rect box, const OverlayScene& scene)
{
    return toPainter(viewmodel::Point { box.left, box.top }, scene.zoom, scene.image);
}

} // namespace

void paintOverlays(QPainter& painter, const OverlayScene& scene)
{
    if (scene.overlays == nullptr || scene.image.isEmpty() || !std::isfinite(scene.zoom) || !(scene.zoom > 0))
        return;
    painter.save();
    painter.setClipRect(scene.image, Qt::IntersectClip);
    // Plain pixel lines over the frame's plain pixels: smoothing would only
    // blur them, at a cost.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setBrush(Qt::NoBrush);

    if (scene.rulers)
        paintRulers(painter, *scene.rulers, scene);

    FontCache fonts(scene.zoom);
    const viewmodel::FrameOverlays& overlays = *scene.overlays;
    if (scene.annotations) {
        const auto& records = overlays.annotations.records();
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (records[i].hidden || scene.skipAnnotation == i)
                continue;
            drawAnnotation(painter, records[i], toPainter(records[i].position, scene.zoom, scene.image),
                fonts.fontOf(records[i].font), scene.image);
        }
    }

    if (scene.measurements) {
        for (const viewmodel::LengthMeasurement& length : overlays.lengths.records()) {
            drawMeasurementLine(painter, toPainter(length.first, scene.zoom, scene.image),
                toPainter(length.second, scene.zoom, scene.image), length.lineWidth, length.colour);
            // The label follows the present spacing, not the one it was made with.
            const std::string text = viewmodel::lengthLabel(length.first, length.second, scene.spacing);
            drawLabel(painter, overlaytext::toQString(text), labelCorner(length.labelBox, scene), length.colour,
                fonts.fontOf(length.font), scene.image);
        }
        for (const viewmodel::AngleMeasurement& angle : overlays.angles.records()) {
            const QPoint vertex = toPainter(angle.vertex, scene.zoom, scene.image);
            drawMeasurementLine(painter, vertex, toPainter(angle.first, scene.zoom, scene.image), angle.lineWidth,
                angle.colour);
            drawMeasurementLine(painter, vertex, toPainter(angle.second, scene.zoom, scene.image), angle.lineWidth,
                angle.colour);
            drawLabel(painter, overlaytext::toQString(angle.label.str()), labelCorner(angle.labelBox, scene),
                angle.colour, fonts.fontOf(angle.font), scene.image);
        }
    }
    painter.restore();
}

void paintAnnotation(QPainter& painter, const viewmodel::TextAnnotation& annotation, viewmodel::Point position,
                     double zoom, const QRect& image)
{
    if (image.isEmpty() || !std::isfinite(zoom) || !(zoom > 0))
        return;
    painter.save();
    painter.setClipRect(image, Qt::IntersectClip);
    painter.setBackgroundMode(Qt::TransparentMode);
    drawAnnotation(painter, annotation, toPainter(position, zoom, image), makePaintFont(annotation.font, zoom), image);
    painter.restore();
}

void paintMeasurementLine(QPainter& painter, QPoint from, QPoint to, int lineWidth, viewmodel::Colour colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawMeasurementLine(painter, from, to, lineWidth, colour);
    painter.restore();
}

void paintMeasurementDot(QPainter& painter, QPoint at, viewmodel::Colour colour)
{
    // A 4 x 4 circle on the pixel grid is a cross of two 2 x 4 bars; filling
    // them is exact and far cheaper than an ellipse path.
    const QColor qcolour = overlaytext::toQColor(colour);
    painter.fillRect(QRect(at.x() - DotBox / 4, at.y() - DotBox / 2, DotBox / 2, DotBox), qcolour);
    painter.fillRect(QRect(at.x() - DotBox / 2, at.y() - DotBox / 4, DotBox, DotBox / 2), qcolour);
}
