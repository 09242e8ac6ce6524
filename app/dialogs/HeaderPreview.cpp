#include "app/dialogs/HeaderPreview.h"

#include "app/FileThumbnail.h"
#include "dicom/DicomDataset.h"
#include "dicom/DicomReader.h"
#include "dicom/NumberParsing.h"
#include "dicom/PictureFiles.h"
#include "dicom/Tags.h"

#include <QFile>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// Only regular files are read: opening a FIFO or a device would block the
// reading thread for as long as nothing writes to it.
bool isRegularFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::shared_ptr<const dicom::DicomDataset> readHeader(const std::filesystem::path& path)
{
    auto dataset = std::make_shared<dicom::DicomDataset>();
    // A BMP or JPEG picture has no header apart from its pixels; it is small
    // enough to read whole for its secondary-capture elements.
    if (dicom::pictureKind(path.native()) != dicom::PictureKind::None) {
        if (!dicom::openFile(path, dicom::HeaderOnly::No, *dataset))
            return nullptr;
        dataset->frames.clear();
        return dataset;
    }
    // No pixel stage: a file without an image (a structured report) still
    // has a header worth listing.
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    if (!dicom::DicomReader(options).read(path, *dataset))
        return nullptr;
    return dataset;
}

// Element texts are the file's bytes, Latin-1 unless a character set says
// otherwise; trailing padding (blanks, NULs) is not part of the value.
QString factText(const dicom::DicomDataset& dataset, base::Tag tag)
{
    const dicom::DicomElement* element = dataset.find(tag);
    if (!element)
        return {};
    std::string_view text = element->text();
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    const auto length = std::min<qsizetype>(static_cast<qsizetype>(text.size()), HeaderFacts::MaxFactLength);
    return QString::fromLatin1(text.data(), length);
}

} // namespace

HeaderPreview readHeaderPreview(const QString& path, int thumbnailSide)
{
    HeaderPreview preview;
    preview.path = path;
    try {
        const std::filesystem::path nativePath(QFile::encodeName(path).toStdString());
        if (!isRegularFile(nativePath))
            return preview;
        preview.header = readHeader(nativePath);
        if (preview.header && thumbnailSide > 0)
            preview.thumbnail = fileThumbnail(path, thumbnailSide);
    } catch (...) {
        // Out of memory or a failing file system: the file shows nothing.
        preview.header.reset();
        preview.thumbnail = {};
    }
    return preview;
}

HeaderFacts headerFacts(const dicom::DicomDataset& dataset)
{
    HeaderFacts facts;
    facts.patientName = factText(dataset, dicom::tags::PatientName);
    facts.studyId = factText(dataset, dicom::tags::StudyID);
    facts.date = factText(dataset, dicom::tags::StudyDate);
    facts.modality = factText(dataset, dicom::tags::Modality);
    if (const dicom::DicomElement* frames = dataset.find(dicom::tags::NumberOfFrames)) {
        if (const std::int32_t count = dicom::parseNumber(frames->text()); count > 0)
            facts.frames = count;
    }
    return facts;
}

HeaderPreviewReader::HeaderPreviewReader(QObject* parent)
    : QObject(parent)
{
}

void HeaderPreviewReader::request(const QString& path, int thumbnailSide)
{
    ++m_generation;
    const Request request { path, thumbnailSide };
    if (m_running) {
        m_waiting = request;
        m_hasWaiting = true;
        return;
    }
    start(request);
}

void HeaderPreviewReader::cancel()
{
    ++m_generation;
    m_hasWaiting = false;
}

void HeaderPreviewReader::start(const Request& request)
{
    m_running = true;
    const quint64 generation = m_generation;
    // The promise is shared with the pool thread: when this object goes
    // first, the watcher goes with it and the late result reaches no one.
    auto promise = std::make_shared<QPromise<HeaderPreview>>();
    auto* watcher = new QFutureWatcher<HeaderPreview>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        const QFuture<HeaderPreview> future = watcher->future();
        watcher->deleteLater();
        finished(future.resultCount() > 0 ? future.result() : HeaderPreview {}, generation);
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, request] {
        promise->addResult(readHeaderPreview(request.path, request.side));
        promise->finish();
    });
}

void HeaderPreviewReader::finished(const HeaderPreview& preview, quint64 generation)
{
    m_running = false;
    if (m_hasWaiting) {
        m_hasWaiting = false;
        start(m_waiting);
        return;
    }
    if (generation == m_generation)
        emit ready(preview);
}
