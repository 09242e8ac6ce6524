#include "export/BatchConvert.h"

#include "dicom/PictureFiles.h"
#include "export/ExportRun.h"
#include "export/FilePictures.h"
#include "export/FramePipeline.h"
#include "export/HtmlPageFiles.h"
#include "export/ImageWriters.h"
#include "export/OutputFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>
#include <optional>
#include <sstream>
#include <utility>

namespace exporting {

namespace {

namespace fs = std::filesystem;

const char* extensionOf(BatchFormat format)
{
    switch (format) {
    case BatchFormat::Tiff:
        return ".tif";
    case BatchFormat::Jpeg:
        return ".jpg";
    case BatchFormat::Bmp:
        return ".bmp";
    case BatchFormat::Raw:
        return ".raw";
    case BatchFormat::Html:
        return ".html";
    }
    return "";
}

ExportFormat exportFormatOf(BatchFormat format)
{
    switch (format) {
    case BatchFormat::Jpeg:
        return ExportFormat::Jpeg;
    case BatchFormat::Bmp:
        return ExportFormat::Bmp;
    case BatchFormat::Raw:
        return ExportFormat::Raw;
    case BatchFormat::Html:
        return ExportFormat::Html;
    case BatchFormat::Tiff:
        break;
    }
    return ExportFormat::Tiff;
}

// The run's sources by device and inode, so that a path spelled another way,
// a symbolic link or a hard link to a source is still recognised.
class SourceFiles {
public:
    explicit SourceFiles(const std::vector<fs::path>& sources)
    {
        for (const fs::path& source : sources)
            if (const auto id = idOf(source))
                m_ids.push_back(*id);
        std::sort(m_ids.begin(), m_ids.end());
    }

    bool covers(const fs::path& output) const
    {
        const auto id = idOf(output);
        return id && std::binary_search(m_ids.begin(), m_ids.end(), *id);
    }

private:
    using FileId = std::pair<dev_t, ino_t>;

    static std::optional<FileId> idOf(const fs::path& path)
    {
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0)
            return std::nullopt; // a file that does not exist is no source
        return FileId { status.st_dev, status.st_ino };
    }

    std::vector<FileId> m_ids;
};

// One source read, on a worker; a single-frame picture is already encoded
// there too, so that the ordered part of the run only names and writes.
struct Prepared {
    dicom::DicomDataset dataset;
    FilePictures pictures;
    int frameCount = 0;
    bool readable = false;
    std::optional<std::string> encoded;
};

Result<void> encodeFirst(BatchFormat format, int quality, const PictureSource& source, std::ostream& out)
{
    if (format == BatchFormat::Bmp) {
        auto bitmap = source.bitmap(0);
        if (!bitmap)
            return bitmap.error();
        return writeBmp(*bitmap, out);
    }
    auto picture = source.picture(0);
    if (!picture)
        return picture.error();
    switch (format) {
    case BatchFormat::Jpeg:
        return writeJpeg(*picture, quality, out);
    case BatchFormat::Raw:
        return writeRaw(*picture, out);
    default:
        return writeTiff(*picture, out);
    }
}

void prepare(const fs::path& source, const BatchOptions& options, Prepared& prepared)
{
    // Pictures by extension are read through a stream that a FIFO would block.
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)
        || !dicom::openFile(source, dicom::HeaderOnly::No, prepared.dataset) || prepared.dataset.frames.empty())
        return;
    prepared.readable = true;
    prepared.pictures = filePictures(prepared.dataset);
    // Every frame goes out once: each image takes its decoded buffer over.
    prepared.pictures.eachFrameOnce = true;
    prepared.frameCount = static_cast<int>(prepared.pictures.frames.size());
    if (options.format == BatchFormat::Html || prepared.frameCount != 1)
        return;
    std::ostringstream bytes;
    if (encodeFirst(options.format, options.quality, pictureSource(prepared.pictures), bytes))
        prepared.encoded = std::move(bytes).str();
    prepared.dataset = {};
}

Result<void> writeHtml(const fs::path& source, const fs::path& page, Prepared& prepared, const BatchOptions& options)
{
    HtmlExportOptions html;
    html.title = page.filename().string();
    // An anonymized page is headed by its own name: the source's may name the patient.
    html.heading = (options.anonymizedHeader ? page.filename() : source.filename()).string();
    html.quality = options.quality;
    html.report = { options.anonymizedHeader, options.anonOptions };
    html.fileFacts = false;
    html.creator = "Tolan Viewer Version 4.0";
    std::vector<int> frames(static_cast<std::size_t>(prepared.frameCount));
    std::iota(frames.begin(), frames.end(), 0);
    const auto written = exportHtml(page.parent_path(), page.stem().string(), prepared.dataset,
                                    pictureSource(prepared.pictures), frames, html);
    if (!written)
        return written.error();
    if (written->picturesFailed > 0)
        return Error { ExportError::WriteFailed, std::to_string(written->picturesFailed) + " pictures not written" };
    return {};
}

Result<void> writeOutputs(const fs::path& source, const std::vector<fs::path>& outputs, Prepared& prepared,
                          const BatchOptions& options)
{
    if (options.format == BatchFormat::Html)
        return writeHtml(source, outputs.front(), prepared, options);
    if (prepared.frameCount == 1) {
        if (!prepared.encoded)
            return Error { ExportError::RenderFailed, "the frame could not be encoded" };
        const std::string& bytes = *prepared.encoded;
        return writeOutputFile(outputs.front(), [&bytes](std::ostream& out) -> Result<void> {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            return {};
        });
    }
    ExportRequest request;
    request.format = exportFormatOf(options.format);
    request.quality = options.quality;
    request.frames.resize(static_cast<std::size_t>(prepared.frameCount));
    std::iota(request.frames.begin(), request.frames.end(), 0);
    // A file is finished whole once begun: a cancel waits for the next file.
    const RunSummary run = exportPictureFiles(request, pictureSource(prepared.pictures), outputs, {},
                                              options.workers, {});
    if (run.failed > 0 || run.written != prepared.frameCount)
        return Error { ExportError::WriteFailed, run.firstError };
    return {};
}

// The outputs to check against the sources: for a page its pictures too.
std::vector<fs::path> touchedPaths(const std::vector<fs::path>& outputs, BatchFormat format, int frames)
{
    std::vector<fs::path> touched = outputs;
    if (format == BatchFormat::Html && outputs.size() == 2)
        for (int frame = 0; frame < frames; ++frame)
            touched.push_back(outputs[1] / pictureFileName(frame + 1));
    return touched;
}

} // namespace

BatchNames::BatchNames(fs::path directory, BatchFormat format)
    : m_directory(std::move(directory))
    , m_format(format)
{
}

std::vector<fs::path> BatchNames::claim(const fs::path& source, int frames)
{
    std::string base = source.filename().string();
    std::replace(base.begin(), base.end(), '.', '_');
    const std::string extension = extensionOf(m_format);
    for (int round = 1;; ++round) {
        const std::string stem = round == 1 ? base : base + "_" + std::to_string(round);
        std::vector<fs::path> outputs;
        if (m_format == BatchFormat::Html) {
            outputs = { m_directory / (stem + extension), m_directory / (stem + "_files") };
        } else if (frames <= 1) {
            outputs = { m_directory / (stem + extension) };
        } else {
            for (int frame = 0; frame < frames; ++frame) {
                char number[16];
                std::snprintf(number, sizeof number, "_%04d", frame);
                outputs.push_back(m_directory / (stem + number + extension));
            }
        }
        const bool taken = std::any_of(outputs.begin(), outputs.end(),
                                       [this](const fs::path& path) { return m_claimed.count(path) != 0; });
        if (!taken) {
            m_claimed.insert(outputs.begin(), outputs.end());
            return outputs;
        }
    }
}

BatchSummary runBatchConvert(const std::vector<fs::path>& sources, const BatchOptions& options,
                             const Progress& progress)
{
    BatchSummary summary;
    summary.files.resize(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i)
        summary.files[i].source = sources[i];
    if (sources.empty())
        return summary;
    BatchNames names(options.directory, options.format);
    const SourceFiles sourceFiles(sources);
    // Files are read (and single frames encoded) on the workers, a few ahead;
    // naming and writing go in list order on this thread, so a cancel stops
    // cleanly between two files.
    std::vector<std::unique_ptr<Prepared>> prepared(sources.size());
    PictureSource files;
    files.frameCount = static_cast<int>(sources.size());
    files.picture = [&](int index) -> Result<Picture> {
        auto file = std::make_unique<Prepared>();
        prepare(sources[static_cast<std::size_t>(index)], options, *file);
        prepared[static_cast<std::size_t>(index)] = std::move(file);
        return Picture {};
    };
    std::vector<int> indices(sources.size());
    std::iota(indices.begin(), indices.end(), 0);
    const auto run = renderInOrder(files, indices, 0, 0, Scaling::Nearest, options.workers, progress,
        [&](std::size_t index, int, Result<Picture>&&) {
            BatchFileResult& result = summary.files[index];
            std::unique_ptr<Prepared> file = std::move(prepared[index]);
            if (!file) {
                result.outcome = BatchOutcome::Failed; // memory ran out while it was read
                ++summary.failed;
                return true;
            }
            if (!file->readable) {
                result.outcome = BatchOutcome::Unreadable;
                ++summary.unreadable;
                return true;
            }
            result.outputs = names.claim(result.source, file->frameCount);
            const auto touched = touchedPaths(result.outputs, options.format, file->frameCount);
            if (std::any_of(touched.begin(), touched.end(),
                            [&](const fs::path& path) { return sourceFiles.covers(path); })) {
                result.outcome = BatchOutcome::SameAsSource;
                ++summary.sameAsSource;
                return true;
            }
            if (const auto written = writeOutputs(result.source, result.outputs, *file, options)) {
                result.outcome = BatchOutcome::Converted;
                ++summary.converted;
            } else {
                result.outcome = BatchOutcome::Failed;
                result.error = written.error().detail;
                ++summary.failed;
            }
            return true;
        });
    summary.cancelled = !run && run.error().code == ExportError::Cancelled;
    return summary;
}

} // namespace exporting
