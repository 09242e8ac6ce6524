#include "export/HtmlPageFiles.h"

#include "export/ImageWriters.h"
#include "export/OutputFile.h"

#include <algorithm>
#include <cmath>
#include <new>

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
    auto sized = resamplePicture(*picture, scaledSide(picture->width, options.zoom),
                                 scaledSide(picture->height, options.zoom), options.scaling);
    if (!sized)
        return false;
    auto written = writeOutputFile(path, [&](std::ostream& out) { return writeJpeg(*sized, options.quality, out); });
    return written.has_value();
}

} // namespace

Result<HtmlExportSummary> exportHtml(const std::filesystem::path& directory, std::string_view name,
                                     const dicom::DicomDataset& dataset, const PictureSource& source,
                                     const std::vector<int>& frames, const HtmlExportOptions& options,
                                     const Progress& progress)
{
    try {
        const std::filesystem::path folder = directory / pictureFolderName(name);
        if (!frames.empty()) {
            std::error_code ignored; // a folder that cannot be made fails each picture instead
            std::filesystem::create_directories(folder, ignored);
        }
        HtmlExportSummary summary;
        std::vector<HtmlPicture> pictures;
        int running = 0;
        for (int frame : frames) {
            if (progress.isCancelled())
                return Error {ExportError::Cancelled, {}};
            ++running;
            const int number = options.continual ? running : frame + 1;
            if (writePicture(folder / pictureFileName(number), source, frame, options)) {
                pictures.push_back({pictureSource(name, number), number});
                ++summary.picturesWritten;
            } else {
                ++summary.picturesFailed;
            }
            if (progress.advance)
                progress.advance(running);
        }
        HtmlPageRequest request;
        request.title = options.title.empty() ? std::string(name) + ".html" : options.title;
        request.heading = options.heading;
        request.date = options.date;
        request.fileSize = options.fileSize;
        if (options.header)
            request.header = reportHeader(dataset, options.report);
        if (!frames.empty())
            request.pictures = std::move(pictures);
        auto page = writeOutputFile(directory / (std::string(name) + ".html"), [&](std::ostream& out) -> Result<void> {
            if (!writeHtmlPage(out, request))
                return Error {ExportError::WriteFailed, {}};
            return {};
        });
        if (!page)
            return page.error();
        return summary;
    } catch (const std::bad_alloc&) {
        return Error {ExportError::OutOfMemory, {}};
    }
}

} // namespace exporting
