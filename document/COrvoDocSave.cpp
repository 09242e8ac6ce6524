// The document's storing step: the frames as shown become one
// secondary-capture file, and the document reloads from it.

#include "document/COrvoDoc.h"

#include "document/LoadedFile.h"

#include "dicom/DicomDataset.h"
#include "dicom/DicomEncoder.h"
#include "dicom/DicomWriter.h"
#include "dicom/Tags.h"
#include "imaging/FrameImage.h"

#include <QFileInfo>

#include <new>

namespace {

std::optional<base::Frame> shownFrame(const imaging::FrameImage& image)
{
    base::Frame frame;
    if (const auto* image8 = image.image8()) {
        const auto& level = image8->topLevel();
        frame.format = level.kind == imaging::SampleKind::Rgb ? base::FrameFormat::Rgb8 : base::FrameFormat::Grey8;
        frame.bytes = level.pixels;
        return frame;
    }
    if (const auto* image16 = image.image16()) {
        frame.format = base::FrameFormat::Grey16;
        frame.samples = image16->topLevel().pixels;
        return frame;
    }
    return std::nullopt;
}

} // namespace

bool COrvoDoc::mayOverwrite(const QString& path)
{
    return dicom::mayOverwrite(dicom::overwriteVerdict(path.toStdString()));
}

void COrvoDoc::writeMeasuringSpacing(dicom::DicomDataset& saved) const
{
    // The copied elements say what the file said; frames stretched to square
    // pixels, or a spacing the user set, measure otherwise.
    const bool headerSpacing = m_headerPixelSpacing.first > 0.0 && m_headerPixelSpacing.second > 0.0;
    const bool spacingValid = m_pixelSpacing.first > 0.0 && m_pixelSpacing.second > 0.0;
    if (headerSpacing && spacingValid && (m_firstAspectRatio || m_pixelSpacing != m_headerPixelSpacing)) {
        dicom::setText(saved, dicom::tags::PixelSpacing, "DS",
                       dicom::formatDs(m_pixelSpacing.first) + "\\" + dicom::formatDs(m_pixelSpacing.second));
    }
    if (m_headerSliceThickness > 0.0 && m_sliceThickness > 0.0 && m_sliceThickness != m_headerSliceThickness)
        dicom::setText(saved, dicom::tags::SliceThickness, "DS", dicom::formatDs(m_sliceThickness));
}

COrvoDoc::SaveResult COrvoDoc::save(const QString& path, const dicom::SaveOptions& saveOptions,
                                    const std::function<bool(std::uint64_t)>& writeHook)
{
    m_saveError.clear();
    if (m_frames.empty() || m_datasets.empty())
        return SaveResult::NothingToSave;
    const imaging::FrameImage& first = m_frames.front();
    for (const imaging::FrameImage& f : m_frames) {
        if (f.sampleDepth() != first.sampleDepth() || f.kind() != first.kind() || f.width() != first.width()
            || f.height() != first.height())
            return SaveResult::FramesDiffer;
    }
    dicom::SaveFrames source;
    try {
        for (const imaging::FrameImage& f : m_frames) {
            auto frame = shownFrame(f);
            if (!frame)
                return SaveResult::NothingToSave;
            source.frames.push_back(std::move(*frame));
        }
    } catch (const std::bad_alloc&) {
        return SaveResult::CannotCreate;
    }
    source.columns = static_cast<std::uint32_t>(first.width());
    source.rows = static_cast<std::uint32_t>(first.height());
    imaging::Window window = first.window();
    if (window.isRamp())
        window = { (first.min() + first.max()) / 2, std::max(1, first.max() - first.min()) };
    source.windowCentre = window.centre;
    source.windowWidth = window.width;
    const dicom::DicomDataset& current = *dataset();
    if (current.image.rescalePresent) {
        dicom::Rescale rescale { current.image.rescaleIntercept, current.image.rescaleSlope, "US" };
        if (const auto* type = current.find(dicom::tags::RescaleType); type && type->hasValue()) {
            std::string text(type->text());
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            if (!text.empty())
                rescale.type = text;
        }
        source.rescale = rescale;
    }
    source.frameTimeMs = m_frameTime;
    auto built = dicom::buildForSave(std::move(source), dicom::localTimeNow());
    if (!built)
        return built.error().code == dicom::DicomError::UnsupportedFormat ? SaveResult::FramesDiffer
                                                                            : SaveResult::CannotCreate;
    dicom::copySavedAttributes(*built, current, saveOptions);
    writeMeasuringSpacing(*built);
    const QString target = QFileInfo(path).absoluteFilePath();
    if (auto written = dicom::writeDicomFile(target.toStdString(), *built, writeHook); !written) {
        m_saveError = QString::fromStdString(written.error().detail);
        return SaveResult::CannotCreate;
    }
    // Reloading gives the frames of the written file and empty histories.
    // The file is DICOM whatever its name says, so a name such as "c.bmp"
    // must not send it to the picture reader; and it is read before the
    // document lets go of its frames, so a failure leaves them as they were.
    const document::UserOptions options = m_options;
    document::LoadedFile file = document::LoadedFile::read(
        target, 0, options.aspectRatio ? document::AspectResample::Yes : document::AspectResample::No,
        document::ReadAs::Dicom);
    if (!file.dataset) {
        m_saveError = file.error.isEmpty() ? document::UnknownFormatMessage : file.error;
        return SaveResult::ReloadFailed;
    }
    takeFile(target, std::move(file), options);
    // The written file is DICOM of ours: the document's own, under the name it was given.
    m_filePath = target;
    m_fileTitle = QFileInfo(target).fileName();
    return SaveResult::Saved;
}
