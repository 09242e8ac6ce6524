#include "document/LoadedFile.h"

#include "dicom/DicomDataset.h"
#include "dicom/DicomReader.h"
#include "dicom/PictureFiles.h"
#include "dicom/PixelModule.h"
#include "imaging/Geometry.h"
#include "imaging/ImagingError.h"

#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <cmath>
#include <filesystem>
#include <new>
#include <string>

namespace document {

namespace {

// The reader's message, cut to the 64 characters the open window shows.
QString readerMessage(const dicom::DicomDataset& dataset)
{
    return QString::fromStdString(dataset.errorMessage(64));
}

// Makes the shown level the image's only one. The stretch belongs to how the
// file is shown, so it must leave no step behind that the user could undo.
// The level keeps the range and window the image had at load, where the
// window was still the as-loaded one, so the rebuilt image keeps all three.
template<typename Sample>
bool keepOnlyTopLevel(imaging::BasicImage<Sample>& image)
{
    using Image = imaging::BasicImage<Sample>;
    try {
        auto single = Image::create(typename Image::Level(image.topLevel()));
        if (!single)
            return false;
        image = std::move(**single);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool keepOnlyTopLevel(imaging::FrameImage& frame)
{
    if (imaging::Image8* image = frame.image8())
        return keepOnlyTopLevel(*image);
    if (imaging::Image16* image = frame.image16())
        return keepOnlyTopLevel(*image);
    return false;
}

// All frames or none: a document whose frames of one file differ in shape
// would confuse "Apply to all" and the exports. Each image object is
// resampled itself, so it keeps its range, its window and its as-loaded
// window instead of scanning the blended pixels afresh.
bool resampleToSquarePixels(std::vector<imaging::FrameImage>& frames, double ratio)
{
    std::vector<std::int32_t> heights;
    heights.reserve(frames.size());
    for (const imaging::FrameImage& frame : frames) {
        const auto height = aspectHeight(frame.height(), ratio);
        if (!height)
            return false;
        heights.push_back(*height);
    }
    std::size_t done = 0;
    while (done < frames.size() && imaging::resampleBilinear(frames[done], frames[done].width(), heights[done]))
        ++done;
    if (done < frames.size()) {
        for (std::size_t i = 0; i < done; ++i)
            frames[i].undo();
        return false;
    }
    for (imaging::FrameImage& frame : frames) {
        // FIXME: without memory for the copy the frame stays stretched with
        // its unstretched level below; the document's edit history cannot
        // reach that level, so only the memory is lost.
        keepOnlyTopLevel(frame);
    }
    return true;
}

} // namespace

LoadedFile::LoadedFile() = default;
LoadedFile::~LoadedFile() = default;
LoadedFile::LoadedFile(LoadedFile&&) noexcept = default;
LoadedFile& LoadedFile::operator=(LoadedFile&&) noexcept = default;

std::optional<std::int32_t> aspectHeight(std::int32_t height, double ratio)
{
    if (!std::isfinite(ratio) || !(ratio > 0) || height <= 0)
        return std::nullopt;
    const double wanted = std::trunc(static_cast<double>(height) * ratio + 0.5);
    if (!(wanted >= 1.0 && wanted <= 65535.0) || wanted == static_cast<double>(height))
        return std::nullopt;
    return static_cast<std::int32_t>(wanted);
}

LoadedFile LoadedFile::read(const QString& path, int datasetIndex, AspectResample aspect, ReadAs readAs)
{
    LoadedFile result;
    try {
        const std::filesystem::path nativePath(QFile::encodeName(path).toStdString());
        auto dataset = std::make_unique<dicom::DicomDataset>();
        if (readAs == ReadAs::ByName && dicom::pictureKind(nativePath.string()) != dicom::PictureKind::None) {
            // BMP and JPEG pictures become secondary-capture data sets; they have
            // no header of their own to probe first.
            if (!dicom::openFile(nativePath, dicom::HeaderOnly::No, *dataset)) {
                result.error = readerMessage(*dataset);
                return result;
            }
        } else {
            // The header-only probe refuses a non-DICOM file without reading it whole.
            dicom::ReadOptions headerOnly;
            headerOnly.headerOnly = dicom::HeaderOnly::Yes;
            dicom::DicomDataset probe;
            if (!dicom::DicomReader(headerOnly).read(nativePath, probe)) {
                result.error = readerMessage(probe);
                return result;
            }
            dicom::ReadOptions options;
            options.pixelStage = &dicom::readPixelStage;
            if (!dicom::DicomReader(options).read(nativePath, *dataset)) {
                result.error = readerMessage(*dataset);
                return result;
            }
        }
        return fromDataset(std::move(dataset), QFileInfo(path).fileName(), datasetIndex, aspect);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

LoadedFile LoadedFile::fromDataset(std::unique_ptr<dicom::DicomDataset> dataset, const QString& name,
                                   int datasetIndex, AspectResample aspect)
{
    LoadedFile result;
    if (!dataset)
        return result;
    try {
        // The frames decoded, but what the decoders found odd goes where
        // such messages go, as the command-line tool's do.
        for (const std::string& warning : dataset->warnings)
            qWarning("%s", QString::fromStdString(warning).trimmed().toLocal8Bit().constData());
        const int bits = dataset->image.bitsAllocated;
        if (dataset->frames.empty() || (bits != 8 && bits != 12 && bits != 16))
            return result;
        const std::string fileName = name.toStdString();
        const imaging::Window fileWindow { dataset->image.windowCentre, dataset->image.windowWidth };
        // Each frame's buffer moves into its image object, so the pixels are
        // held once; the data set keeps the attributes and the element list.
        std::vector<base::Frame> frames = std::move(dataset->frames);
        dataset->frames.clear();
        result.frames.reserve(frames.size());
        for (base::Frame& frame : frames) {
            imaging::FrameInput input;
            input.frame = std::move(frame);
            input.columns = static_cast<std::int32_t>(dataset->image.columns);
            input.rows = static_cast<std::int32_t>(dataset->image.rows);
            input.window = fileWindow;
            auto image = imaging::FrameImage::fromFrame(std::move(input));
            if (!image || !image->displayBitmap())
                return {};
            // Only the first frame is shown at once; the others build their
            // bitmaps when they are shown, so a long series is not held twice.
            if (!result.frames.empty())
                image->releaseDisplayBitmap();
            image->setSourceName(fileName);
            image->setSourceIndex(datasetIndex);
            result.frames.push_back(std::move(*image));
        }
        if (aspect == AspectResample::Yes) {
            const auto ratio = dicom::pixelAspectRatio(*dataset);
            if (ratio && resampleToSquarePixels(result.frames, *ratio))
                result.aspectRatio = ratio;
        }
        dataset->path = fileName;
        result.dataset = std::move(dataset);
    } catch (const std::bad_alloc&) {
        return {};
    }
    return result;
}

} // namespace document
