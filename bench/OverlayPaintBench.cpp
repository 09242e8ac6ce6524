// What the overlays add to a repaint of the image view: a 512 x 512 frame at
// zoom 2 drawn into a 1024 x 1024 offscreen image, alone and then with 50
// annotations, 25 lengths, 25 angles and the rulers over it. The difference
// of the two is the overlays' cost, which must stay within 2 ms.
//
//   QT_QPA_PLATFORM=offscreen OverlayPaintBench
#include "bench/GuiBenchMain.h"
#include "document/OverlayPainter.h"
#include "view/model/Measurement.h"

#include <QImage>
#include <QPainter>

#include <string>

namespace {

constexpr int kFrameSide = 512;
constexpr double kZoom = 2.0;
constexpr int kPortSide = 1024;

QImage framePicture()
{
    QImage picture(kFrameSide, kFrameSide, QImage::Format_RGB32);
    for (int y = 0; y < kFrameSide; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < kFrameSide; ++x) {
            const int v = (x + y) * 255 / (2 * kFrameSide - 2);
            row[x] = qRgb(v, v, v);
        }
    }
    return picture;
}

// Records spread over the frame, as a busy study might carry: two fonts for
// the annotations (the settings' and one the user picked), one for the labels.
viewmodel::FrameOverlays busyOverlays()
{
    viewmodel::FrameOverlays overlays;
    viewmodel::OverlayFont bigger;
    bigger.height = 12;
    bigger.weight = 700;
    for (int i = 0; i < 50; ++i) {
        viewmodel::TextAnnotation text;
        if (i % 3 == 0)
            text.font = bigger;
        text.text = "PID:" + std::to_string(100000 + i) + " , SD:20240101";
        text.position = { 10 + (i % 5) * 100, 10 + (i / 5) * 50 };
        overlays.annotations.add(text);
    }
    for (int i = 0; i < 25; ++i) {
        viewmodel::LengthMeasurement length;
        length.first = { 20 + (i % 5) * 95, 30 + (i / 5) * 95 };
        length.second = { length.first.x + 60, length.first.y + 40 };
        length.label = "0mm";
        length.labelBox = { length.second.x + 4, length.second.y, length.second.x + 40, length.second.y + 12 };
        overlays.lengths.add(length);
        viewmodel::AngleMeasurement angle;
        angle.vertex = { length.first.x + 10, length.first.y + 60 };
        angle.first = { angle.vertex.x + 50, angle.vertex.y };
        angle.second = { angle.vertex.x + 30, angle.vertex.y - 30 };
        angle.label = viewmodel::angleLabel(viewmodel::angleDegrees(angle.vertex, angle.first, angle.second));
        angle.labelBox = { angle.vertex.x - 40, angle.vertex.y, angle.vertex.x, angle.vertex.y + 12 };
        overlays.angles.add(angle);
    }
    return overlays;
}

const QRect kImage(0, 0, static_cast<int>(kFrameSide * kZoom), static_cast<int>(kFrameSide * kZoom));

void drawFrame(QPainter& painter, const QImage& picture)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(kImage, picture);
}

void BM_FrameOnly(benchmark::State& state)
{
    const QImage picture = framePicture();
    QImage port(kPortSide, kPortSide, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&port);
        drawFrame(painter, picture);
        painter.end();
        benchmark::DoNotOptimize(port.constBits());
    }
}

void BM_FrameWithOverlays(benchmark::State& state)
{
    const QImage picture = framePicture();
    const viewmodel::FrameOverlays overlays = busyOverlays();
    OverlayScene scene;
    scene.overlays = &overlays;
    scene.rulers = viewmodel::RulerSetting {};
    scene.spacing = { 0.5, 0.5 };
    scene.zoom = kZoom;
    scene.image = kImage;
    QImage port(kPortSide, kPortSide, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&port);
        drawFrame(painter, picture);
        paintOverlays(painter, scene);
        painter.end();
        benchmark::DoNotOptimize(port.constBits());
    }
}

} // namespace

BENCHMARK(BM_FrameOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameWithOverlays)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
