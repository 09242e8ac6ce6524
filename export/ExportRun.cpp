#include "export/ExportRun.h"

#include "export/FramePipeline.h"
#include "export/ImageWriters.h"
#include "export/OutputFile.h"

#include <numeric>
#include <system_error>
#include <vector>

namespace exporting {

namespace {

namespace fs = std::filesystem;

// The document's own files, made canonical once for the whole run.
class ProtectedFiles {
public:
    explicit ProtectedFiles(std::span<const fs::path> paths)
        : m_paths(paths)
    {
        for (const fs::path& path : paths) {
            std::error_code ec;
            fs::path canonical = fs::weakly_canonical(path, ec);
            m_canonical.push_back(ec ? fs::path() : std::move(canonical));
        }
    }

    bool covers(const fs::path& path) const
    {
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(path, ec);
        if (ec)
            return false;
        for (std::size_t i = 0; i < m_paths.size(); ++i) {
            if (!m_canonical[i].empty() && canonical == m_canonical[i])
                return true;
            // Hard links and bind mounts name one file twice.
            const bool equivalent = fs::equivalent(path, m_paths[i], ec);
            if (!ec && equivalent)
                return true;
        }
        return false;
    }

private:
    std::span<const fs::path> m_paths;
    std::vector<fs::path> m_canonical;
};

Result<void> writeBitmapFile(const ExportRequest& request, const PictureSource& source, int frame,
                             const fs::path& path)
{
    if (!source.bitmap || frame < 0 || frame >= source.frameCount)
        return Error { ExportError::RenderFailed, "no bitmap of frame " + std::to_string(frame + 1) };
    auto bitmap = source.bitmap(frame);
    if (!bitmap)
        return bitmap.error();
    if ((request.width > 0 && request.width != bitmap->width())
        || (request.height > 0 && request.height != bitmap->height())) {
        auto sized = resampleBitmap(*bitmap, request.width > 0 ? request.width : bitmap->width(),
                                    request.height > 0 ? request.height : bitmap->height(), request.scaling);
        if (!sized)
            return sized.error();
        bitmap = std::move(*sized);
    }
    return writeOutputFile(path, [&](std::ostream& out) { return writeBmp(*bitmap, out); });
}

Result<void> writePictureFile(const ExportRequest& request, const Picture& picture, const fs::path& path)
{
    return writeOutputFile(path, [&](std::ostream& out) -> Result<void> {
        switch (request.format) {
        case ExportFormat::Tiff:
            return writeTiff(picture, out);
        case ExportFormat::Jpeg:
            return writeJpeg(picture, request.quality, out);
        case ExportFormat::Raw:
            return writeRaw(picture, out);
        default:
            return Error { ExportError::InvalidPicture, "not a picture format" };
        }
    });
}

// One output of the run, complete: rendered, encoded and written.
Result<void> exportOne(const ExportRequest& request, const PictureSource& source, std::size_t index,
                       const fs::path& path, const ProtectedFiles& protectedFiles)
{
    if (protectedFiles.covers(path))
        return Error { ExportError::CannotCreate, path.string() + " is a source file of the document" };
    const int frame = request.frames[index];
    if (request.format == ExportFormat::Bmp)
        return writeBitmapFile(request, source, frame, path);
    if (!source.picture || frame < 0 || frame >= source.frameCount)
        return Error { ExportError::RenderFailed, "no frame " + std::to_string(frame + 1) };
    auto picture = source.picture(frame);
    if (!picture)
        return picture.error();
    if ((request.width > 0 && request.width != picture->width)
        || (request.height > 0 && request.height != picture->height)) {
        auto sized = resamplePicture(*picture, request.width > 0 ? request.width : picture->width,
                                     request.height > 0 ? request.height : picture->height, request.scaling);
        if (!sized)
            return sized.error();
        picture = std::move(*sized);
    }
    return writePictureFile(request, *picture, path);
}

} // namespace

RunSummary exportPictureFiles(const ExportRequest& request, const PictureSource& source,
                              std::span<const fs::path> paths, std::span<const fs::path> protectedPaths,
                              unsigned workers, const Progress& progress)
{
    RunSummary summary;
    const std::size_t count = std::min(paths.size(), request.frames.size());
    // Files of a run are independent: each worker renders, encodes and writes
    // its own, and the pipeline only keeps the count in order and bounded.
    // The picture handed through is empty; the outcome is what matters.
    const ProtectedFiles protectedFiles(protectedPaths);
    PictureSource outputs;
    outputs.frameCount = static_cast<int>(count);
    outputs.picture = [&](int index) -> Result<Picture> {
        const auto at = static_cast<std::size_t>(index);
        if (auto written = exportOne(request, source, at, paths[at], protectedFiles); !written)
            return written.error();
        return Picture {};
    };
    std::vector<int> indices(count);
    std::iota(indices.begin(), indices.end(), 0);
    const auto run = renderInOrder(outputs, indices, 0, 0, request.scaling, workers, progress,
                                   [&](std::size_t, int, Result<Picture>&& outcome) {
                                       if (outcome) {
                                           ++summary.written;
                                       } else {
                                           ++summary.failed;
                                           if (summary.firstError.empty())
                                               summary.firstError = outcome.error().detail;
                                       }
                                       return true;
                                   });
    if (!run && run.error().code == ExportError::Cancelled)
        summary.cancelled = true;
    // Outputs that had no frame or no path are failures too.
    summary.failed += static_cast<int>(std::max(paths.size(), request.frames.size()) - count);
    return summary;
}

} // namespace exporting
