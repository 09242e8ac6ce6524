// One step of a level-window drag on a large frame, as the image view makes
// it: the new window is applied, the display bitmap rebuilt, the bitmap turned
// into a top-down RGB32 picture and that picture drawn, nearest neighbour,
// into a viewport-sized offscreen image. At zoom 0.5 the whole frame is
// scaled down into the viewport; at zoom 2 only the part that shows is drawn.
//
//   QT_QPA_PLATFORM=offscreen ViewPaintBench
//
// The picture is the view's own (framePicture); BM_PictureTwoPasses keeps
// the earlier way, Qt's conversion of the wrapped bitmap and then a flip, as
// the baseline it must beat.
#include "bench/GuiBenchMain.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/FrameImage.h"
#include "view/FramePicture.h"

#include <QImage>
#include <QPainter>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr std::int32_t kFrameSide = 2048;
constexpr int kPortWidth = 1000;
constexpr int kPortHeight = 800;

// A diagonal ramp over 0..4095 with noise, like a 12-bit CT stored in 16 bits.
imaging::FrameImage rampFrame()
{
    std::vector<std::int16_t> samples(static_cast<std::size_t>(kFrameSide) * kFrameSide);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> noise(-40, 40);
    for (std::int32_t y = 0; y < kFrameSide; ++y) {
        for (std::int32_t x = 0; x < kFrameSide; ++x) {
            const int v = (x + y) * 4095 / (2 * kFrameSide - 2) + noise(random);
            samples[static_cast<std::size_t>(y) * kFrameSide + x] = static_cast<std::int16_t>(std::clamp(v, 0, 4095));
        }
    }
    auto frame = imaging::FrameImage::adoptSamples16(std::move(samples), kFrameSide, kFrameSide, { 2048, 4096 });
    return std::move(*frame);
}

// Qt's conversion of the wrapped bottom-up bitmap, then a flip; 8-bit only.
QImage pictureTwoPasses(const imaging::DisplayBitmap& bitmap)
{
    const auto rows = bitmap.pixelRows();
    QImage wrapped(rows.data(), bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.stride()),
        QImage::Format_Indexed8);
    const auto table = bitmap.bytes().subspan(imaging::DisplayBitmap::kHeaderSize,
        imaging::DisplayBitmap::kColourTableSize);
    QList<QRgb> colours(256);
    for (int i = 0; i < 256; ++i) {
        const auto* entry = table.data() + 4 * i;
        colours[i] = qRgb(entry[2], entry[1], entry[0]);
    }
    wrapped.setColorTable(colours);
    return wrapped.convertToFormat(QImage::Format_RGB32).mirrored(false, true);
}

// Where a frame of kFrameSide at this zoom lands in the viewport: centred
// when smaller, scrolled to the middle when larger (the view's layout).
QRect imageRect(double zoom)
{
    const int side = static_cast<int>(kFrameSide * zoom);
    const int left = side < kPortWidth ? (kPortWidth - side) / 2 : -(side - kPortWidth) / 2;
    const int top = side < kPortHeight ? (kPortHeight - side) / 2 : -(side - kPortHeight) / 2;
    return { left, top, side, side };
}

void BM_LevelWindowStep(benchmark::State& state)
{
    const double zoom = static_cast<double>(state.range(0)) / 100.0;
    imaging::FrameImage frame = rampFrame();
    QImage port(kPortWidth, kPortHeight, QImage::Format_RGB32);
    const QRect target = imageRect(zoom);
    // The drag keeps its windows apart from the undo steps, as the tool does.
    frame.beginWindowChange();
    int centre = 1500;
    for (auto _ : state) {
        // Each step a new window, as a drag gives.
        centre = centre >= 2600 ? 1500 : centre + 7;
        frame.setWindow({ centre, 1200 });
        frame.rebuildDisplay();
        const QImage shown = framePicture(*frame.displayBitmap());
        QPainter painter(&port);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, shown);
        painter.end();
        benchmark::DoNotOptimize(port.constBits());
    }
}

// The parts of a step, to see where its time goes.
void BM_RebuildDisplay(benchmark::State& state)
{
    imaging::FrameImage frame = rampFrame();
    int centre = 1500;
    for (auto _ : state) {
        centre = centre >= 2600 ? 1500 : centre + 7;
        frame.setWindow({ centre, 1200 });
        frame.rebuildDisplay();
        benchmark::DoNotOptimize(frame.displayBitmap());
    }
}

void BM_Picture(benchmark::State& state)
{
    imaging::FrameImage frame = rampFrame();
    frame.rebuildDisplay();
    for (auto _ : state) {
        const QImage shown = framePicture(*frame.displayBitmap());
        benchmark::DoNotOptimize(shown.constBits());
    }
}

void BM_PictureTwoPasses(benchmark::State& state)
{
    imaging::FrameImage frame = rampFrame();
    frame.rebuildDisplay();
    if (pictureTwoPasses(*frame.displayBitmap()) != framePicture(*frame.displayBitmap())) {
        state.SkipWithError("the two pictures differ");
        return;
    }
    for (auto _ : state) {
        const QImage shown = pictureTwoPasses(*frame.displayBitmap());
        benchmark::DoNotOptimize(shown.constBits());
    }
}

void BM_Draw(benchmark::State& state)
{
    const double zoom = static_cast<double>(state.range(0)) / 100.0;
    imaging::FrameImage frame = rampFrame();
    frame.rebuildDisplay();
    const QImage shown = framePicture(*frame.displayBitmap());
    QImage port(kPortWidth, kPortHeight, QImage::Format_RGB32);
    const QRect target = imageRect(zoom);
    for (auto _ : state) {
        QPainter painter(&port);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, shown);
        painter.end();
        benchmark::DoNotOptimize(port.constBits());
    }
}

} // namespace

BENCHMARK(BM_LevelWindowStep)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildDisplay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Picture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureTwoPasses)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return runGuiBenchmarks(argc, argv); }
