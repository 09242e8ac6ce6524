#include "export/HtmlPageFiles.h"

#include "export/FramePipeline.h"
#include "export/ImageWriters.h"
#include "export/OutputFile.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>

namespace exporting {

namespace {

std::int32_t scaledSide(std::int32_t side, double zoom)
{
    const double scaled = std::round(static_cast<double>(side) * zoom);
    if (!(scaled >= 1.0))
        return 1;
    return scaled > 65535.0 ? 65535 : static_cast<std::int32_t>(scaled);
}

bool writePicture(const std::filesystem::path& path, const PictureSource& source, int frame,
                  const HtmlExportOptions& options)
{
    if (!source.picture || frame < 0 || frame >= source.frameCount)
        return false;
    auto picture = source.picture(frame);
    if (!picture)
        return false;
    const std::int32_t width = scaledSide(picture->width, options.zoom);
    const std::int32_t height = scaledSide(picture->height, options.zoom);
    if (width != picture->width || height != picture->height) {
        picture = resamplePicture(*picture, width, height, options.scaling);
        if (!picture)
            return false;
    }
    return writeOutputFile(path, [&](std::ostream& out) { return writeJpeg(*picture, options.quality, out); })
        .has_value();
}

} // namespace

Result<HtmlExportSummary> exportHtml(const std::filesystem::path& directory, std::string_view name,
                                     const dicom::DicomDataset& dataset, const PictureSource& source,
                                     const std::vector<int>& frames, const HtmlExportOptions& options,
                                     const Progress& progress)
{
    try {
        const std::filesystem::path folder = directory / pictureFolderName(name);
        bool madeFolder = false;
        if (!frames.empty()) {
            std::error_code ignored; // a folder that cannot be made fails each picture instead
            madeFolder = std::filesystem::create_directories(folder, ignored);
        }
        const auto numberOf = [&](std::size_t index) {
            return options.continual ? static_cast<int>(index) + 1 : frames[index] + 1;
        };
        // Each worker renders, resizes, encodes and writes its own picture; the
        // pipeline hands the outcomes back in order, for the page's rows.
        PictureSource written;
        written.frameCount = static_cast<int>(frames.size());
        written.picture = [&](int index) -> Result<Picture> {
            const auto at = static_cast<std::size_t>(index);
            if (!writePicture(folder / pictureFileName(numberOf(at)), source, frames[at], options))
                return Error { ExportError::WriteFailed, {} };
            return Picture {};
        };
        std::vector<int> indices(frames.size());
        std::iota(indices.begin(), indices.end(), 0);
        HtmlExportSummary summary;
        std::vector<HtmlPicture> pictures;
        std::vector<std::filesystem::path> writtenFiles;
        const auto run = renderInOrder(written, indices, 0, 0, options.scaling, 0, progress,
            [&](std::size_t index, int, Result<Picture>&& outcome) {
                if (outcome) {
                    pictures.push_back({ pictureSource(name, numberOf(index)), numberOf(index) });
                    writtenFiles.push_back(folder / pictureFileName(numberOf(index)));
                    ++summary.picturesWritten;
                } else {
                    ++summary.picturesFailed;
                }
                return true;
            });
        summary.cancelled = !run && run.error().code == ExportError::Cancelled;
        HtmlPageRequest request;
        request.title = options.title.empty() ? std::string(name) + ".html" : options.title;
        request.heading = options.heading;
        request.date = options.date;
        request.fileSize = options.fileSize;
        request.fileFacts = options.fileFacts;
        request.creator = options.creator;
        if (options.header)
            request.header = reportHeader(dataset, options.report);
        if (!frames.empty())
            request.pictures = std::move(pictures);
        const std::string pageName = options.pageFileName.empty() ? std::string(name) + ".html" : options.pageFileName;
        auto page = writeOutputFile(directory / pageName, [&](std::ostream& out) -> Result<void> {
            if (!writeHtmlPage(out, request))
                return Error {ExportError::WriteFailed, {}};
            return {};
        });
        if (!page) {
            std::error_code ignored;
            for (const std::filesystem::path& picture : writtenFiles)
                std::filesystem::remove(picture, ignored);
            // Only a folder this export made, and only when nothing else is in it.
            if (madeFolder && std::filesystem::is_empty(folder, ignored))
                std::filesystem::remove(folder, ignored);
            return page.error();
        }
        return summary;
    } catch (const std::bad_alloc&) {
        return Error {ExportError::OutOfMemory, {}};
    }
}

} // namespace exporting
