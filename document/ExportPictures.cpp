#include "document/ExportPictures.h"

#include "document/COrvoDoc.h"
#include "document/OverlayPainter.h"
#include "imaging/Geometry.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>
#include <optional>

namespace document {

namespace {

using exporting::ExportError;

exporting::Error renderError(ExportError code, std::string detail)
{
    return exporting::Error { code, std::move(detail) };
}

// What the overlays of one frame need, copied so that rendering never reads
// the document's lists while the user could change them.
struct OverlayCopy {
    viewmodel::FrameOverlays overlays;
    std::optional<viewmodel::RulerSetting> rulers;
};

struct Snapshot {
    std::vector<const imaging::FrameImage*> frames;
    // Empty when every overlay switch is off.
    std::vector<OverlayCopy> overlays;
    bool annotations = false;
    bool measurements = false;
    viewmodel::PixelSpacing spacing;
};

bool anyOverlaySwitch(const COrvoDoc& doc)
{
    return doc.showAnnotations() || doc.showMeasurements() || doc.showRulers();
}

bool hasSomethingToDraw(const OverlayCopy& copy, bool annotations, bool measurements)
{
    return copy.rulers || (annotations && copy.overlays.annotations.count() != 0)
        || (measurements && (copy.overlays.lengths.count() != 0 || copy.overlays.angles.count() != 0));
}

OverlayCopy overlayCopy(const COrvoDoc& doc, int frame)
{
    OverlayCopy copy { doc.overlays(frame), std::nullopt };
    if (doc.showRulers())
        copy.rulers = doc.rulerSetting(frame);
    return copy;
}

// The overlays drawn at `zoom` on a black canvas of the given size.
QImage overlayCanvas(const OverlayCopy& copy, const Snapshot& snapshot, std::int32_t width, std::int32_t height,
                     double zoom)
{
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull())
        return canvas;
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    OverlayScene scene;
    scene.overlays = &copy.overlays;
    scene.rulers = copy.rulers;
    scene.annotations = snapshot.annotations;
    scene.measurements = snapshot.measurements;
    scene.spacing = snapshot.spacing;
    scene.zoom = zoom;
    scene.image = QRect(0, 0, width, height);
    paintOverlays(painter, scene);
    return canvas;
}

// Every canvas pixel that is not black replaces the picture's; the picture
// becomes RGB.
exporting::Result<exporting::Picture> burnIn(exporting::Picture picture, const QImage& canvas)
{
    if (canvas.isNull() || canvas.width() != picture.width || canvas.height() != picture.height)
        return renderError(ExportError::OutOfMemory, "No memory for the overlays");
    const auto pixels = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    if (picture.channels == 1) {
        std::vector<std::uint8_t> rgb(pixels * 3);
        for (std::size_t i = 0; i < pixels; ++i)
            rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = picture.bytes[i];
        picture.bytes = std::move(rgb);
        picture.channels = 3;
    }
    for (std::int32_t y = 0; y < picture.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        std::uint8_t* out = picture.bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) * 3;
        for (std::int32_t x = 0; x < picture.width; ++x, out += 3) {
            const QRgb c = line[x];
            if ((c & 0xFFFFFFU) == 0)
                continue;
            out[0] = static_cast<std::uint8_t>(qRed(c));
            out[1] = static_cast<std::uint8_t>(qGreen(c));
            out[2] = static_cast<std::uint8_t>(qBlue(c));
        }
    }
    return picture;
}

exporting::Result<imaging::DisplayBitmap> copyBitmap(const imaging::FrameImage* frame)
{
    if (!frame)
        return renderError(ExportError::RenderFailed, "No such frame");
    auto bitmap = frame->copyDisplayBitmap();
    if (!bitmap)
        return renderError(bitmap.error().code == imaging::ImagingError::MemoryAllocation ? ExportError::OutOfMemory
                                                                                       : ExportError::RenderFailed,
                           bitmap.error().detail);
    return std::move(bitmap).value();
}

exporting::Result<exporting::Picture> picturesOf(const imaging::DisplayBitmap& bitmap)
{
    auto pixels = imaging::exportPixelsOf(bitmap);
    if (!pixels)
        return renderError(ExportError::OutOfMemory, pixels.error().detail);
    return std::move(pixels).value();
}

// A bitmap's pixel rows as an 8-bit level (indices or B, G, R), resampled,
// and written back under the same colour table.
exporting::Result<imaging::DisplayBitmap> resampled(const imaging::DisplayBitmap& bitmap, std::int32_t width,
                                                    std::int32_t height, exporting::Scaling scaling)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    try {
        imaging::Level8 level;
        level.kind = bitmap.bitsPerPixel() == 24 ? imaging::SampleKind::Rgb : imaging::SampleKind::Grey;
        level.width = bitmap.width();
        level.height = bitmap.height();
        level.max = 255;
        const std::size_t rowBytes = static_cast<std::size_t>(level.width) * static_cast<std::size_t>(level.channels());
        level.pixels.resize(rowBytes * static_cast<std::size_t>(level.height));
        for (std::int32_t y = 0; y < level.height; ++y)
            std::copy_n(bitmap.imageRow(y), rowBytes, level.pixels.data() + static_cast<std::size_t>(y) * rowBytes);
        // Indices of a colour table are not intensities: only nearest
        // neighbour keeps them meaningful.
        const bool indexed = level.kind == imaging::SampleKind::Grey && !bitmap.colourTable().isGrey();
        auto next = scaling == exporting::Scaling::Bilinear && !indexed ? imaging::resampleBilinear(level, width, height)
                                                                        : imaging::resampleNearest(level, width, height);
        if (!next)
            return renderError(ExportError::OutOfMemory, next.error().detail);
        auto out = imaging::DisplayBitmap::create(width, height, bitmap.bitsPerPixel());
        if (!out)
            return renderError(ExportError::OutOfMemory, out.error().detail);
        out->setColourTable(bitmap.colourTable());
        const std::size_t outRow = static_cast<std::size_t>(width) * static_cast<std::size_t>(level.channels());
        for (std::int32_t y = 0; y < height; ++y)
            std::copy_n(next->pixels.data() + static_cast<std::size_t>(y) * outRow, outRow, out->imageRow(y));
        return std::move(out).value();
    } catch (const std::bad_alloc&) {
        return renderError(ExportError::OutOfMemory, "No memory to resample the picture");
    }
}

// The bitmap as 24 bits with the canvas's non-black pixels over it.
exporting::Result<imaging::DisplayBitmap> burnInBitmap(const imaging::DisplayBitmap& bitmap, const QImage& canvas)
{
    auto picture = picturesOf(bitmap);
    if (!picture)
        return picture.error();
    auto burnt = burnIn(std::move(picture).value(), canvas);
    if (!burnt)
        return burnt.error();
    auto out = imaging::DisplayBitmap::create(burnt->width, burnt->height, 24);
    if (!out)
        return renderError(ExportError::OutOfMemory, out.error().detail);
    const std::size_t rowBytes = static_cast<std::size_t>(burnt->width) * 3;
    for (std::int32_t y = 0; y < burnt->height; ++y) {
        const std::uint8_t* src = burnt->bytes.data() + static_cast<std::size_t>(y) * rowBytes;
        std::uint8_t* dst = out->imageRow(y);
        for (std::size_t x = 0; x < rowBytes; x += 3) {
            dst[x] = src[x + 2];
            dst[x + 1] = src[x + 1];
            dst[x + 2] = src[x];
        }
    }
    return std::move(out).value();
}

} // namespace

exporting::PictureSource exportPictureSource(const COrvoDoc& doc)
{
    auto snapshot = std::make_shared<Snapshot>();
    for (int f = 0; f < doc.frameCount(); ++f)
        snapshot->frames.push_back(doc.frame(f));
    if (anyOverlaySwitch(doc)) {
        snapshot->annotations = doc.showAnnotations();
        snapshot->measurements = doc.showMeasurements();
        snapshot->spacing = doc.measuringSpacing();
        for (int f = 0; f < doc.frameCount(); ++f)
            snapshot->overlays.push_back(overlayCopy(doc, f));
    }
    exporting::PictureSource source;
    source.frameCount = doc.frameCount();
    source.bitmap = [snapshot](int frame) -> exporting::Result<imaging::DisplayBitmap> {
        if (frame < 0 || static_cast<std::size_t>(frame) >= snapshot->frames.size())
            return renderError(ExportError::RenderFailed, "No such frame");
        return copyBitmap(snapshot->frames[static_cast<std::size_t>(frame)]);
    };
    source.picture = [snapshot](int frame) -> exporting::Result<exporting::Picture> {
        if (frame < 0 || static_cast<std::size_t>(frame) >= snapshot->frames.size())
            return renderError(ExportError::RenderFailed, "No such frame");
        auto bitmap = copyBitmap(snapshot->frames[static_cast<std::size_t>(frame)]);
        if (!bitmap)
            return bitmap.error();
        auto picture = picturesOf(*bitmap);
        if (!picture || snapshot->overlays.empty())
            return picture;
        const OverlayCopy& copy = snapshot->overlays[static_cast<std::size_t>(frame)];
        // A switch that is on makes the picture RGB even with nothing to draw,
        // so every frame of a series comes out alike.
        QImage canvas = hasSomethingToDraw(copy, snapshot->annotations, snapshot->measurements)
            ? overlayCanvas(copy, *snapshot, picture->width, picture->height, 1.0)
            : QImage(picture->width, picture->height, QImage::Format_RGB32);
        if (!hasSomethingToDraw(copy, snapshot->annotations, snapshot->measurements) && !canvas.isNull())
            canvas.fill(Qt::black);
        return burnIn(std::move(picture).value(), canvas);
    };
    return source;
}

exporting::Result<imaging::DisplayBitmap> reportBitmap(const COrvoDoc& doc, int frame)
{
    auto bitmap = copyBitmap(doc.frame(frame));
    if (!bitmap)
        return bitmap;
    const long percent = std::lround(static_cast<double>(doc.zoom()) * 100.0);
    const auto scaledSize = [percent](std::int32_t size) {
        return static_cast<std::int32_t>(std::max<long long>(1, static_cast<long long>(size) * percent / 100));
    };
    const exporting::Scaling scaling
        = doc.pageSetup().pageScaling == 1 ? exporting::Scaling::Bilinear : exporting::Scaling::Nearest;
    if (percent != 100) {
        bitmap = resampled(*bitmap, scaledSize(bitmap->width()), scaledSize(bitmap->height()), scaling);
        if (!bitmap)
            return bitmap;
    }
    if (!doc.pageSetup().printAnnotations || !anyOverlaySwitch(doc))
        return bitmap;
    Snapshot snapshot;
    snapshot.annotations = doc.showAnnotations();
    snapshot.measurements = doc.showMeasurements();
    snapshot.spacing = doc.measuringSpacing();
    const OverlayCopy copy = overlayCopy(doc, frame < 0 ? doc.currentFrameIndex() : frame);
    if (!hasSomethingToDraw(copy, snapshot.annotations, snapshot.measurements))
        return bitmap;
    const QImage canvas
        = overlayCanvas(copy, snapshot, bitmap->width(), bitmap->height(), static_cast<double>(percent) / 100.0);
    return burnInBitmap(*bitmap, canvas);
}

exporting::Result<imaging::DisplayBitmap> sizedBitmap(const COrvoDoc& doc, int frame, std::int32_t width,
                                                      std::int32_t height, exporting::Scaling scaling)
{
    auto bitmap = copyBitmap(doc.frame(frame));
    if (!bitmap || (bitmap->width() == width && bitmap->height() == height))
        return bitmap;
    return resampled(*bitmap, width, height, scaling);
}

} // namespace document
