#include "view/tools/MeasureTools.h"

#include "document/COrvoDoc.h"
#include "document/OverlayText.h"
#include "view/COrvoView.h"
#include "view/OverlayEdits.h"
#include "document/OverlayPainter.h"
#include "view/model/LabelPlacement.h"
#include "view/model/Measurement.h"

#include <QKeyEvent>
#include <QPainter>

void ClickPointsTool::press(const ToolEvent& event)
{
    if (m_points.empty() && !event.image)
        return;
    const viewmodel::Point point = view().transform().toImageClamped(event.viewport);
    if (m_points.size() < m_pointCount)
        m_points.push_back(point);
    m_following = point;
    remember(event);
    view().viewport()->update();
}

void ClickPointsTool::move(const ToolEvent& event)
{
    if (m_points.empty())
        return;
    m_following = view().transform().toImageClamped(event.viewport);
    remember(event);
    view().viewport()->update();
}

void ClickPointsTool::release(const ToolEvent&)
{
    if (m_points.size() < m_pointCount)
        return;
    const std::vector<viewmodel::Point> points = std::move(m_points);
    m_points.clear();
    view().viewport()->update();
    commit(points);
}

void ClickPointsTool::cancel()
{
    m_points.clear();
    view().viewport()->update();
}

bool ClickPointsTool::key(const QKeyEvent& event)
{
    if (event.key() != Qt::Key_Escape || m_points.empty())
        return false;
    cancel();
    return true;
}

std::vector<viewmodel::Point> ClickPointsTool::shownPoints() const
{
    std::vector<viewmodel::Point> points = m_points;
    if (!points.empty() && points.size() < m_pointCount)
        points.push_back(m_following);
    return points;
}

namespace {

viewmodel::Size imageSizeOf(const COrvoView& view) { return view.transform().imageSize(); }

viewmodel::LengthMeasurement lengthRecord(COrvoView& view, viewmodel::Point first, viewmodel::Point second)
{
    COrvoDoc& doc = view.document();
    const COrvoDoc::MeasurementStyle& style = doc.measurementStyle();
    viewmodel::LengthMeasurement record;
    record.font = style.font;
    record.lineWidth = style.lineWidth;
    record.colour = style.lengthColour;
    record.first = first;
    record.second = second;
    record.label = viewmodel::lengthLabel(first, second, doc.measuringSpacing());
    const viewmodel::Size text = overlaytext::nominalTextSize(overlaytext::toQString(record.label.str()), record.font);
    record.labelBox = viewmodel::lengthLabelBox(first, second, text, imageSizeOf(view));
    return record;
}

// The scene of one record being measured, drawn as the overlay paint draws it.
OverlayScene measuringScene(COrvoView& view, const viewmodel::FrameOverlays& overlays)
{
    OverlayScene scene;
    scene.overlays = &overlays;
    scene.annotations = false;
    scene.spacing = view.document().measuringSpacing();
    scene.zoom = view.document().zoom();
    scene.image = view.displayedImageRect();
    return scene;
}

QPoint windowPoint(const COrvoView& view, viewmodel::Point image)
{
    const viewmodel::Point at = view.transform().toViewport(image);
    return { at.x, at.y };
}

} // namespace

void LengthTool::paint(QPainter& painter) const
{
    const std::vector<viewmodel::Point> points = shownPoints();
    if (points.size() < 2)
        return;
    viewmodel::FrameOverlays live;
    live.lengths.add(lengthRecord(view(), points[0], points[1]));
    paintOverlays(painter, measuringScene(view(), live));
}

void LengthTool::commit(const std::vector<viewmodel::Point>& points)
{
    COrvoDoc& doc = view().document();
    overlayedits::add(doc, lengthRecord(view(), points[0], points[1]), doc.applyToAll());
}

void AngleTool::paint(QPainter& painter) const
{
    const std::vector<viewmodel::Point> points = shownPoints();
    if (points.empty())
        return;
    const COrvoDoc::MeasurementStyle& style = view().document().measurementStyle();
    painter.save();
    painter.setClipRect(view().displayedImageRect());
    const QPoint vertex = windowPoint(view(), points[0]);
    for (std::size_t i = 1; i < points.size(); ++i)
        paintMeasurementLine(painter, vertex, windowPoint(view(), points[i]), style.lineWidth, style.angleColour);
    for (const viewmodel::Point& point : points)
        paintMeasurementDot(painter, windowPoint(view(), point), style.lengthColour);
    painter.restore();
}

void AngleTool::commit(const std::vector<viewmodel::Point>& points)
{
    COrvoDoc& doc = view().document();
    const COrvoDoc::MeasurementStyle& style = doc.measurementStyle();
    viewmodel::AngleMeasurement record;
    record.font = style.font;
    record.lineWidth = style.lineWidth;
    record.colour = style.angleColour;
    record.vertex = points[0];
    record.first = points[1];
    record.second = points[2];
    record.label = viewmodel::angleLabel(viewmodel::angleDegrees(points[0], points[1], points[2]));
    const viewmodel::Size text = overlaytext::nominalTextSize(overlaytext::toQString(record.label.str()), record.font);
    record.labelBox = viewmodel::angleLabelBox(points[0], points[1], points[2], text, imageSizeOf(view()));
    overlayedits::add(doc, record, doc.applyToAll());
}
