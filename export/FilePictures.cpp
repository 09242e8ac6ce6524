#include "export/FilePictures.h"

#include <utility>

namespace exporting {

imaging::Result<imaging::FrameImage> FilePictures::image(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= frames.size())
        return imaging::makeError(imaging::ImagingError::InvalidParameters);
    imaging::FrameInput input;
    base::Frame& frame = frames[static_cast<std::size_t>(index)];
    input.frame = eachFrameOnce ? std::move(frame) : frame;
    input.columns = columns;
    input.rows = rows;
    input.window = window;
    input.givenWindow = imaging::GivenWindow::Keep;
    auto image = imaging::FrameImage::fromFrame(std::move(input));
    if (!image || grey8 == Grey8Window::AsOpened || image->sampleDepth() != 8
        || image->kind() != imaging::SampleKind::Grey)
        return image;
    const std::int32_t span = image->max() - image->min() + 1;
    const bool ramp = window.isRamp();
    image->setWindow(ramp ? imaging::Window { image->min() + span / 2, span } : window);
    return image;
}

FilePictures filePictures(dicom::DicomDataset& dataset)
{
    FilePictures pictures;
    pictures.columns = static_cast<std::int32_t>(dataset.image.columns);
    pictures.rows = static_cast<std::int32_t>(dataset.image.rows);
    pictures.window = imaging::Window { dataset.image.windowCentre, dataset.image.windowWidth };
    pictures.frames = std::move(dataset.frames);
    dataset.frames.clear();
    return pictures;
}

PictureSource pictureSource(FilePictures& pictures)
{
    PictureSource source;
    source.frameCount = static_cast<int>(pictures.frames.size());
    source.picture = [&pictures](int frame) -> Result<Picture> {
        auto image = pictures.image(frame);
        if (!image)
            return Error { ExportError::RenderFailed, "frame cannot be shown" };
        auto pixels = image->exportPixels();
        image->releaseDisplayBitmap();
        if (!pixels)
            return Error { ExportError::RenderFailed, "frame cannot be rendered" };
        return std::move(*pixels);
    };
    source.bitmap = [&pictures](int frame) -> Result<imaging::DisplayBitmap> {
        auto image = pictures.image(frame);
        if (!image)
            return Error { ExportError::RenderFailed, "frame cannot be shown" };
        auto bitmap = image->copyDisplayBitmap();
        image->releaseDisplayBitmap();
        if (!bitmap)
            return Error { ExportError::RenderFailed, "frame cannot be rendered" };
        return std::move(*bitmap);
    };
    return source;
}

} // namespace exporting
