#pragma once

#include "view/model/FrameOverlays.h"
#include "view/model/Measurement.h"
#include "view/model/Rulers.h"

#include <QRect>

#include <cstddef>
#include <optional>

class QPainter;

// Everything drawn over one frame, in the order the view stacks it: the
// rulers, the text annotations, the lengths, then the angles. Everything is
// cut at the displayed image's edges.
struct OverlayScene {
    const viewmodel::FrameOverlays* overlays = nullptr;
    // The frame's rulers when they are switched on.
    std::optional<viewmodel::RulerSetting> rulers;
    bool annotations = true;
    bool measurements = true;
    viewmodel::PixelSpacing spacing;
    double zoom = 1.0;
    // Where the frame lies in the painter's coordinates, at `zoom`.
    QRect image;
    // The annotation being dragged by the move tool is drawn by the tool.
    std::optional<std::size_t> skipAnnotation;
};

void paintOverlays(QPainter& painter, const OverlayScene& scene);

// One annotation at the image point `position`, as the overlay paint draws
// it; the move tool draws the one it drags with it.
void paintAnnotation(QPainter& painter, const viewmodel::TextAnnotation& annotation, viewmodel::Point position,
                     double zoom, const QRect& image);
// A measurement's line (or arms) with its end dots, without the label, for
// the measuring tools' rubber lines; points in the painter's coordinates.
void paintMeasurementLine(QPainter& painter, QPoint from, QPoint to, int lineWidth, viewmodel::Colour colour);
void paintMeasurementDot(QPainter& painter, QPoint at, viewmodel::Colour colour);
