#include "document/COrvoDoc.h"

#include "document/LoadedFile.h"
#include "document/OverlayText.h"

#include "dicom/DicomDataset.h"
#include "dicom/DicomWriter.h"
#include "dicom/NumberParsing.h"
#include "dicom/Tags.h"
#include "imaging/FrameImage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <string>
#include <utility>

namespace {

std::string valueText(const dicom::DicomDataset& dataset, base::Tag tag)
{
    const dicom::DicomElement* found = dataset.find(tag);
    if (!found || !found->hasValue())
        return {};
    const auto bytes = found->bytes();
    return std::string(bytes.begin(), bytes.end()).c_str();
}

document::AspectResample aspectResample(const document::UserOptions& options)
{
    return options.aspectRatio ? document::AspectResample::Yes : document::AspectResample::No;
}

} // namespace

COrvoDoc::COrvoDoc(QObject* parent)
    : QObject(parent)
{
}

COrvoDoc::~COrvoDoc() = default;

int COrvoDoc::frameCount() const { return static_cast<int>(m_frames.size()); }
int COrvoDoc::datasetCount() const { return static_cast<int>(m_datasets.size()); }

QString COrvoDoc::dateText(const QString& path)
{
    const QFileInfo info(path);
    // Not every file system records a birth time; the last change is the next
    // best answer to "when was this made".
    QDateTime when = info.birthTime();
    if (!when.isValid())
        when = info.lastModified();
    if (!when.isValid())
        return QStringLiteral("  ");
    const QDate day = when.toLocalTime().date();
    return QString::asprintf("%04d:%02d:%02d", day.year(), day.month(), day.day());
}

QString COrvoDoc::documentPath(const QString& path)
{
    // Only the name's final suffix counts: "scan.jpg.dcm" is a DICOM file and
    // "my.jpegs/IMG1" a file in a folder; a picture is never saved over itself.
    const QString lower = path.toLower();
    for (const char* picture : { ".jpg", ".jpeg", ".jpe", ".bmp" }) {
        if (lower.endsWith(QLatin1String(picture))) {
            const auto dot = path.lastIndexOf(QLatin1Char('.'));
            const auto slash = path.lastIndexOf(QLatin1Char('/'));
            return dot > 0 && dot > slash + 1 ? path.left(dot) : path;
        }
    }
    return path;
}

void COrvoDoc::clear()
{
    // A failure of the next load must not show the message of an earlier one.
    m_loadError = document::UnknownFormatMessage;
    m_datasets.clear();
    m_frames.clear();
    m_history.clear();
    m_overlays.clear();
    m_overlayUndo.clear();
    m_rulers.clear();
    m_sourcePaths.clear();
    m_privateCopy = false;
    m_firstAspectRatio.reset();
    m_currentFrame = 0;
    m_currentDataset = 0;
    m_applyToAll = false;
}

void COrvoDoc::noteFile(const QString& path)
{
    const QFileInfo info(path);
    m_loadOk = true;
    m_fileSize = info.size();
    m_filePath = info.absoluteFilePath();
    m_fileDate = dateText(path);
}

bool COrvoDoc::load(const QString& path, const document::UserOptions& options)
{
    return takeFile(path, document::LoadedFile::read(path, 0, aspectResample(options)), options);
}

bool COrvoDoc::takeFile(const QString& path, document::LoadedFile&& file, const document::UserOptions& options)
{
    clear();
    noteFile(path);
    m_sourcePaths = QStringList { QFileInfo(path).absoluteFilePath() };
    if (!file.dataset) {
        m_loadOk = false;
        clear();
        if (!file.error.isEmpty())
            m_loadError = file.error;
        return false;
    }
    m_datasets.push_back(std::move(file.dataset));
    m_frames = std::move(file.frames);
    m_firstAspectRatio = file.aspectRatio;
    m_options = options;
    createFrameState(options);
    m_filePath = documentPath(QFileInfo(path).absoluteFilePath());
    m_fileTitle = QFileInfo(m_filePath).fileName();
    emit changed();
    return true;
}

bool COrvoDoc::appendFile(const QString& path, const document::UserOptions& options)
{
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return false;
    probe.close();
    noteFile(path);
    document::LoadedFile file = document::LoadedFile::read(path, datasetCount(), aspectResample(options));
    if (!file.dataset) {
        if (!file.error.isEmpty())
            m_loadError = file.error;
        m_loadOk = false;
        return false;
    }
    if (m_datasets.empty())
        m_firstAspectRatio = file.aspectRatio;
    m_datasets.push_back(std::move(file.dataset));
    for (auto& image : file.frames)
        m_frames.push_back(std::move(image));
    return true;
}

bool COrvoDoc::loadFiles(const QStringList& paths, const QString& title, const document::UserOptions& options,
                         const Progress& progress)
{
    clear();
    for (int i = 0; i < paths.size(); ++i) {
        if (progress)
            progress(i, static_cast<int>(paths.size()));
        appendFile(paths[i], options);
    }
    m_sourcePaths = paths;
    m_fileTitle = title;
    // One file is the document's own, as an opened one is: a picture's
    // name loses its extension so that Save never writes over the picture.
    if (paths.size() == 1 && !m_filePath.isEmpty())
        m_filePath = documentPath(m_filePath);
    if (m_frames.empty()) {
        const QString lastError = m_loadError;
        m_loadOk = false;
        clear();
        m_loadError = lastError;
        return false;
    }
    m_loadOk = true;
    m_options = options;
    createFrameState(options);
    emit changed();
    return true;
}

bool COrvoDoc::loadPictures(const std::vector<std::vector<std::uint8_t>>& bitmaps, const QString& title,
                            const document::UserOptions& options)
{
    clear();
    m_loadOk = false;
    const std::vector<std::span<const std::uint8_t>> views(bitmaps.begin(), bitmaps.end());
    auto built = dicom::buildFromBitmaps(views, dicom::localTimeNow());
    if (!built) {
        m_loadError = QStringLiteral("Error 1");
        return false;
    }
    if (built->frames.empty()) {
        m_loadError = QStringLiteral("Error 2");
        return false;
    }
    const int bits = built->image.bitsAllocated;
    document::LoadedFile file = document::LoadedFile::fromDataset(
        std::make_unique<dicom::DicomDataset>(std::move(*built)), title, 0, aspectResample(options));
    if (!file.dataset) {
        m_loadError = QStringLiteral("Error %1").arg(bits == 16 ? 8 : bits == 12 ? 7 : 6);
        return false;
    }
    m_datasets.push_back(std::move(file.dataset));
    m_frames = std::move(file.frames);
    m_firstAspectRatio = file.aspectRatio;
    // A document made in memory has no file behind it yet.
    m_fileSize = 0;
    m_filePath.clear();
    m_fileDate = QStringLiteral("  ");
    m_fileTitle = title;
    m_loadOk = true;
    m_options = options;
    createFrameState(options);
    emit changed();
    return true;
}

void COrvoDoc::createFrameState(const document::UserOptions& options)
{
    const std::size_t count = m_frames.size();
    m_currentFrame = 0;
    m_currentDataset = 0;
    m_zoom = 1.0F;
    m_history.assign(count, {});
    m_overlays.assign(count, {});
    m_overlayUndo.assign(count, {});
    m_rulers.assign(count, { viewmodel::rulerCornerOf(options.axisStart), options.axisColor });
    m_measurementStyle = { overlaytext::fromFontRecord(options.measurementFont), options.lineWidth,
        options.distanceColor, options.angleColor };
    m_annotationFont = overlaytext::fromFontRecord(options.annotationFont);
    const dicom::DicomDataset& first = *m_datasets.front();
    m_headerFrameTime = first.image.frameTime;
    if (m_headerFrameTime != 0.0)
        m_frameTime = m_headerFrameTime;
    m_anonymizedExports = options.anonExports != 0;
    m_showRulers = options.rulersOn;
    m_annotationColour = options.annotationColor;
    const std::string spacing = valueText(first, dicom::tags::PixelSpacing);
    const auto split = spacing.find('\\');
    m_pixelSpacing = { dicom::parseReal(spacing.substr(0, split)),
        split == std::string::npos ? 0.0 : dicom::parseReal(spacing.substr(split + 1)) };
    // Stretched frames have more rows over the same height of the body; the
    // spacing comes from the first data set, so only its stretch counts.
    if (m_firstAspectRatio)
        m_pixelSpacing.first /= *m_firstAspectRatio;
    m_headerPixelSpacing = m_pixelSpacing;
    m_sliceThickness = dicom::parseReal(valueText(first, dicom::tags::SliceThickness));
    m_headerSliceThickness = m_sliceThickness;
    if (options.defAnnotations)
        addDefaultAnnotations();
    const imaging::FrameImage& frame0 = m_frames.front();
    m_exportChoices = { document::SizeMode::Actual, true, frame0.width(), frame0.height(),
        std::vector<std::uint8_t>(count, 1) };
    m_videoChoices = { std::vector<std::uint8_t>(count, 1), frame0.kind() == imaging::SampleKind::Rgb, document::SizeMode::Actual,
        frame0.width(), frame0.height() };
}

imaging::FrameImage* COrvoDoc::frame(int index)
{
    if (m_frames.empty())
        return nullptr;
    if (index < 0 || index >= frameCount())
        index = m_currentFrame;
    return &m_frames[static_cast<std::size_t>(index)];
}

const imaging::FrameImage* COrvoDoc::frame(int index) const { return const_cast<COrvoDoc*>(this)->frame(index); }

const dicom::DicomDataset* COrvoDoc::dataset(int index) const
{
    if (m_datasets.empty())
        return nullptr;
    if (index < 0 || index >= datasetCount())
        index = m_currentDataset;
    return m_datasets[static_cast<std::size_t>(index)].get();
}

void COrvoDoc::setZoom(float zoom)
{
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    emit zoomChanged();
}

void COrvoDoc::setCurrentFrame(int index)
{
    if (index < 0 || index >= frameCount() || index == m_currentFrame)
        return;
    m_currentFrame = index;
    const int source = m_frames[static_cast<std::size_t>(index)].sourceIndex();
    if (source >= 0 && source < datasetCount())
        m_currentDataset = source;
    emit changed();
}

void COrvoDoc::setCurrentDataset(int index)
{
    if (index < 0 || index >= datasetCount())
        return;
    m_currentDataset = index;
    for (int i = 0; i < frameCount(); ++i) {
        if (m_frames[static_cast<std::size_t>(i)].sourceIndex() == index) {
            m_currentFrame = i;
            break;
        }
    }
    emit changed();
}

bool COrvoDoc::firstFrame()
{
    if (m_frames.empty() || m_currentFrame == 0)
        return false;
    setCurrentFrame(0);
    return true;
}

bool COrvoDoc::previousFrame()
{
    if (m_currentFrame <= 0)
        return false;
    setCurrentFrame(m_currentFrame - 1);
    return true;
}

bool COrvoDoc::nextFrame()
{
    if (m_currentFrame + 1 >= frameCount())
        return false;
    setCurrentFrame(m_currentFrame + 1);
    return true;
}

bool COrvoDoc::lastFrame()
{
    if (m_frames.empty() || m_currentFrame == frameCount() - 1)
        return false;
    setCurrentFrame(frameCount() - 1);
    return true;
}

bool COrvoDoc::allFramesAgree() const
{
    if (m_frames.size() < 2)
        return false;
    const auto& first = m_frames.front();
    for (const auto& f : m_frames) {
        if (f.width() != first.width() || f.height() != first.height()
            || (f.kind() == imaging::SampleKind::Grey) != (first.kind() == imaging::SampleKind::Grey))
            return false;
    }
    return true;
}

COrvoDoc::ApplyToAllResult COrvoDoc::toggleApplyToAll()
{
    if (allFramesAgree()) {
        m_applyToAll = !m_applyToAll;
        return ApplyToAllResult::Toggled;
    }
    if (frameCount() <= 1)
        return ApplyToAllResult::Unchanged;
    if (m_applyToAll) {
        m_applyToAll = false;
        return ApplyToAllResult::Toggled;
    }
    return ApplyToAllResult::FramesDiffer;
}

void COrvoDoc::recordPixelStep(int f)
{
    if (f < 0 || f >= frameCount())
        return;
    m_history[static_cast<std::size_t>(f)].record(document::StepKind::Pixel);
    // The overlay steps that could have been redone are gone from the history.
    m_overlayUndo[static_cast<std::size_t>(f)].redo.clear();
}

int COrvoDoc::changeFrames(const std::function<bool(imaging::FrameImage&, int)>& change, Scope scope, int current)
{
    if (current < 0 || current >= frameCount())
        current = m_currentFrame;
    const bool all = (scope == Scope::InScope && m_applyToAll) || (scope == Scope::AgreeingFrames && allFramesAgree());
    const int first = all ? 0 : current;
    const int last = all ? frameCount() - 1 : current;
    int count = 0;
    for (int f = first; f <= last && f < frameCount(); ++f) {
        if (change(m_frames[static_cast<std::size_t>(f)], f)) {
            recordPixelStep(f);
            ++count;
        }
    }
    emit changed();
    return count;
}

bool COrvoDoc::isModified() const
{
    return std::any_of(m_history.begin(), m_history.end(), [](const auto& h) { return h.isModified(); });
}

void COrvoDoc::markSaved()
{
    for (auto& history : m_history)
        history.markSaved();
}

bool COrvoDoc::canUndo(int f) const
{
    if (f < 0 || f >= frameCount())
        return false;
    const auto frame = static_cast<std::size_t>(f);
    const auto& history = m_history[frame];
    if (!history.hasUndo())
        return false;
    return history.undoKind() == document::StepKind::Pixel ? m_frames[frame].canUndo() : canUndoOverlay(frame);
}

bool COrvoDoc::canRedo(int f) const
{
    if (f < 0 || f >= frameCount())
        return false;
    const auto frame = static_cast<std::size_t>(f);
    const auto& history = m_history[frame];
    if (!history.hasRedo())
        return false;
    return history.redoKind() == document::StepKind::Pixel ? m_frames[frame].canRedo() : canRedoOverlay(frame);
}

bool COrvoDoc::undo(int f)
{
    if (!canUndo(f))
        return false;
    const auto frame = static_cast<std::size_t>(f);
    m_history[frame].stepBack();
    if (m_history[frame].redoKind() == document::StepKind::Pixel) {
        m_frames[frame].undo();
    } else {
        OverlayUndo& lists = m_overlayUndo[frame];
        lists.redo.push_back(std::exchange(m_overlays[frame], std::move(lists.undo.back())));
        lists.undo.pop_back();
    }
    if (m_applyToAll && !allFramesAgree())
        m_applyToAll = false;
    emit changed();
    return true;
}

bool COrvoDoc::redo(int f)
{
    if (!canRedo(f))
        return false;
    const auto frame = static_cast<std::size_t>(f);
    if (m_history[frame].redoKind() == document::StepKind::Pixel) {
        m_frames[frame].redo();
    } else {
        OverlayUndo& lists = m_overlayUndo[frame];
        lists.undo.push_back(std::exchange(m_overlays[frame], std::move(lists.redo.back())));
        lists.redo.pop_back();
    }
    m_history[frame].stepForward();
    if (m_applyToAll && !allFramesAgree())
        m_applyToAll = false;
    emit changed();
    return true;
}

std::pair<double, double> COrvoDoc::pixelSpacing()
{
    if (m_pixelSpacing.first == 0.0 || m_pixelSpacing.second == 0.0)
        m_pixelSpacing = { 1.0, 1.0 };
    return m_pixelSpacing;
}

void COrvoDoc::setVoxelSize(std::pair<double, double> rowColumnSpacing, double sliceThickness)
{
    m_pixelSpacing = rowColumnSpacing;
    m_sliceThickness = sliceThickness;
    emit changed();
}
