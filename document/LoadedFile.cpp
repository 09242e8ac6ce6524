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

// The frame's pixels stretched to `height` rows as a fresh image object of a
// single level: the stretch belongs to how the file is shown, so it is no
// step the user could undo.
imaging::Result<imaging::FrameImage> stretchedFrame(const imaging::FrameImage& frame, std::int32_t height,
                                                 imaging::Window fileWindow)
{
    if (const imaging::Image8* image = frame.image8()) {
        auto level = imaging::resampleBilinear(image->topLevel(), frame.width(), height);
        if (!level)
            return level.error();
        return imaging::FrameImage::adoptSamples8(std::move(level->pixels), level->kind, level->width, level->height);
    }
    if (const imaging::Image16* image = frame.image16()) {
        auto level = imaging::resampleBilinear(image->topLevel(), frame.width(), height);
        if (!level)
            return level.error();
        return imaging::FrameImage::adoptSamples16(std::move(level->pixels), level->width, level->height, fileWindow);
    }
    return imaging::makeError(imaging::ImagingError::InvalidParameters);
}

// All frames or none: a document whose frames of one file differ in shape
// would confuse "Apply to all" and the exports.
bool resampleToSquarePixels(std::vector<imaging::FrameImage>& frames, double ratio, imaging::Window fileWindow)
{
    std::vector<imaging::FrameImage> stretched;
    stretched.reserve(frames.size());
    for (const imaging::FrameImage& frame : frames) {
        const auto height = aspectHeight(frame.height(), ratio);
        if (!height)
            return false;
        auto image = stretchedFrame(frame, *height, fileWindow);
        if (!image || !image->displayBitmap())
            return false;
        image->setSourceName(frame.sourceName());
        image->setSourceIndex(frame.sourceIndex());
        stretched.push_back(std::move(*image));
    }
    frames = std::move(stretched);
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

LoadedFile LoadedFile::read(const QString& path, int datasetIndex, AspectResample aspect)
{
    LoadedFile result;
    try {
        const std::filesystem::path nativePath(QFile::encodeName(path).toStdString());
        auto dataset = std::make_unique<dicom::DicomDataset>();
        if (dicom::pictureKind(nativePath.string()) != dicom::PictureKind::None) {
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
        // The frames decoded, but what the decoders found odd goes where
        // such messages go, as the command-line tool's do.
        for (const std::string& warning : dataset->warnings)
            qWarning("%s", QString::fromStdString(warning).trimmed().toLocal8Bit().constData());
        const int bits = dataset->image.bitsAllocated;
        if (dataset->frames.empty() || (bits != 8 && bits != 12 && bits != 16))
            return result;
        const std::string fileName = QFileInfo(path).fileName().toStdString();
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
            image->setSourceName(fileName);
            image->setSourceIndex(datasetIndex);
            result.frames.push_back(std::move(*image));
        }
        if (aspect == AspectResample::Yes) {
            const auto ratio = dicom::pixelAspectRatio(*dataset);
            if (ratio && resampleToSquarePixels(result.frames, *ratio, fileWindow))
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
