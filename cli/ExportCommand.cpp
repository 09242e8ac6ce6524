// tolan export FILE --format F --out PATH: the frames of a DICOM, BMP or JPEG
// file as picture files, through the viewer's own writers. Without --window a
// grey frame is shown from its minimum to its maximum.

#include "cli/CliArgs.h"
#include "dicom/DicomError.h"
#include "dicom/PictureFiles.h"
#include "export/AviWriter.h"
#include "export/ExportFormats.h"
#include "export/ExportRun.h"
#include "export/FilePictures.h"
#include "export/HtmlPageFiles.h"
#include "export/ImageWriters.h"
#include "export/OutputFile.h"
#include "export/RtfReport.h"
#include "imaging/FrameImage.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

namespace {

namespace fs = std::filesystem;

void printUsage(std::FILE* out)
{
    std::string names;
    for (const exporting::FormatInfo& info : exporting::exportFormats()) {
        if (!names.empty())
            names += '|';
        names += info.cliName;
    }
    std::fprintf(out,
                 "Usage: tolan export FILE --format %s --out PATH [--frames LIST]\n"
                 "                    [--size WxH|--scale P] [--window C,W] [--quality Q] [--threads N]\n"
                 "                    [--anonymized] [--mjpeg]\n"
                 "Writes frames of FILE (all of them, or LIST such as 1,3,5-9; 1-based) as picture files.\n"
                 "With several frames PATH gets _0001, _0002 ... (the frame number) before its extension.\n"
                 "--size and --scale (percent) resize; grey frames are windowed from their minimum to their\n"
                 "maximum unless --window C,W is given;\n"
                 "--quality (0-100, default 75) is the JPEG quality.\n"
                 "html writes PATH and its pictures in a folder named after it; rtf writes a header and\n"
                 "picture report; --anonymized blanks the identifying header values in both.\n"
                 "avi writes a movie at the file's frame time, uncompressed or with --mjpeg Motion-JPEG.\n",
                 names.c_str());
}

template<typename Number>
std::optional<Number> parseNumber(std::string_view text)
{
    Number value {};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Two numbers around a separator: "512x256", "40,400".
std::optional<std::pair<std::int32_t, std::int32_t>> parsePair(std::string_view text, char separator)
{
    const auto at = text.find(separator);
    if (at == std::string_view::npos)
        return std::nullopt;
    const auto first = parseNumber<std::int32_t>(text.substr(0, at));
    const auto second = parseNumber<std::int32_t>(text.substr(at + 1));
    if (!first || !second)
        return std::nullopt;
    return std::pair { *first, *second };
}

// "1,3,5-7" in 1-based frame numbers, to 0-based indices in that order.
std::optional<std::vector<int>> parseFrames(std::string_view text, int frameCount)
{
    std::vector<int> frames;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const auto dash = item.find('-');
        const auto first = parseNumber<int>(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : parseNumber<int>(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last < *first || *last > frameCount)
            return std::nullopt;
        for (int frame = *first; frame <= *last; ++frame)
            frames.push_back(frame - 1);
    }
    if (frames.empty())
        return std::nullopt;
    return frames;
}

// out_0001.tif for frame 1 of several; out itself for a single frame.
std::vector<fs::path> outputPaths(const fs::path& out, const std::vector<int>& frames)
{
    if (frames.size() == 1)
        return { out };
    std::vector<fs::path> paths;
    for (const int frame : frames) {
        char number[16];
        std::snprintf(number, sizeof number, "_%04d", frame + 1);
        fs::path path = out;
        path.replace_filename(out.stem().string() + number + out.extension().string());
        paths.push_back(std::move(path));
    }
    return paths;
}

struct Options {
    exporting::ExportRequest request;
    std::optional<imaging::Window> window;
    std::optional<double> scale; // percent
    unsigned threads = 0;
    bool mjpeg = false;
};

// What the reports say of the input besides its header.
struct InputFile {
    const dicom::DicomDataset& dataset;
    fs::path path;
};

// Each format's run; the picture formats share one.
int reportFailed(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "tolan export: %s: %s\n", what, detail.c_str());
    return 1;
}

exporting::ReportOptions reportOptions(const Options& options)
{
    return { options.request.anonymizedHeader, dicom::AnonOptions::defaults() };
}

// The heading of a page or report: the input's file name, which may name the
// patient, so anonymized outputs take their own name instead.
std::string shownTitle(const Options& options, const InputFile& in, const fs::path& out)
{
    return (options.request.anonymizedHeader ? out.filename() : in.path.filename()).string();
}

// The file's last change as the viewer shows a file's date, "YYYY:MM:DD".
std::string fileDate(const fs::path& path)
{
    struct stat status {};
    std::tm day {};
    if (::stat(path.c_str(), &status) != 0 || !::localtime_r(&status.st_mtime, &day))
        return "  ";
    char text[16];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d", (day.tm_year + 1900) % 10000, day.tm_mon + 1, day.tm_mday);
    return text;
}

// The page at OUT (its name without extension names the picture folder).
int runHtml(const Options& options, exporting::FilePictures& loaded, const InputFile& in, const fs::path& out)
{
    exporting::HtmlExportOptions html;
    html.title = out.stem().string() + ".html";
    html.heading = shownTitle(options, in, out);
    std::error_code ignored;
    html.fileSize = fs::file_size(in.path, ignored);
    html.date = fileDate(in.path);
    html.zoom = options.scale.value_or(100.0) / 100.0;
    html.quality = options.request.quality;
    html.scaling = options.request.scaling;
    html.report = reportOptions(options);
    const auto summary = exporting::exportHtml(out.parent_path().empty() ? fs::path(".") : out.parent_path(),
                                               out.stem().string(), in.dataset, exporting::pictureSource(loaded),
                                               options.request.frames, html);
    if (!summary)
        return reportFailed("page not written", summary.error().detail);
    if (summary->picturesFailed > 0)
        return reportFailed("pictures not written", std::to_string(summary->picturesFailed));
    return 0;
}

// The header and picture report, the pictures as the frames' bitmaps.
int runRtf(const Options& options, exporting::FilePictures& loaded, const InputFile& in, const fs::path& out)
{
    const exporting::PictureSource source = exporting::pictureSource(loaded);
    std::vector<imaging::DisplayBitmap> pictures;
    for (const int frame : options.request.frames) {
        auto bitmap = source.bitmap(frame);
        if (bitmap && options.request.width > 0)
            bitmap = exporting::resampleBitmap(*bitmap, options.request.width, options.request.height,
                                               options.request.scaling);
        if (!bitmap)
            return reportFailed("frame not rendered", bitmap.error().detail);
        pictures.push_back(std::move(bitmap).value());
    }
    const std::string title = shownTitle(options, in, out);
    const std::string report = exporting::rtfReport(in.dataset, title, exporting::ReportContent::HeaderAndPictures,
                                                    pictures, reportOptions(options));
    if (report.empty())
        return reportFailed("report not built", "out of memory");
    const auto written = exporting::writeOutputFile(out, [&report](std::ostream& stream) -> exporting::Result<void> {
        stream.write(report.data(), static_cast<std::streamsize>(report.size()));
        return {};
    });
    return written ? 0 : reportFailed("report not written", written.error().detail);
}

// A movie at the file's frame time (66.67 ms without one), in colour for
// colour frames; --mjpeg compresses its frames.
int runAvi(const Options& options, exporting::FilePictures& loaded, const InputFile& in, const fs::path& out)
{
    exporting::AviMovie movie;
    const double frameTime = in.dataset.image.frameTime;
    movie.settings.frameTimeMs = std::isfinite(frameTime) && frameTime > 0 ? frameTime : 66.67;
    movie.settings.codec = options.mjpeg ? exporting::AviCodec::MotionJpeg : exporting::AviCodec::Uncompressed;
    movie.settings.colour = in.dataset.image.samplesPerPixel == 3 ? exporting::AviColour::Rgb
                                                                   : exporting::AviColour::Grey;
    movie.settings.quality = options.request.quality;
    movie.frames = options.request.frames;
    movie.width = options.request.width;
    movie.height = options.request.height;
    movie.expectedWidth = movie.width > 0 ? movie.width : loaded.columns;
    movie.expectedHeight = movie.height > 0 ? movie.height : loaded.rows;
    movie.scaling = options.request.scaling;
    movie.workers = options.threads;
    const auto written = exporting::writeAviMovie(out, movie, exporting::pictureSource(loaded));
    if (!written)
        return reportFailed("movie not written", written.error().detail);
    if (written->skipped > 0)
        return reportFailed("frames of another size left out", std::to_string(written->skipped));
    return 0;
}

int runFormat(const Options& options, exporting::FilePictures& loaded, const InputFile& in, const fs::path& out)
{
    switch (options.request.format) {
    case exporting::ExportFormat::Tiff:
    case exporting::ExportFormat::Jpeg:
    case exporting::ExportFormat::Bmp:
    case exporting::ExportFormat::Raw: {
        const auto paths = outputPaths(out, options.request.frames);
        const fs::path sources[] = { in.path };
        const auto summary = exporting::exportPictureFiles(options.request, exporting::pictureSource(loaded), paths, sources,
                                                           options.threads, {});
        if (summary.failed > 0) {
            std::fprintf(stderr, "tolan export: %d of %zu outputs failed: %s\n", summary.failed, paths.size(),
                         summary.firstError.c_str());
            return 1;
        }
        return 0;
    }
    case exporting::ExportFormat::Html:
        return runHtml(options, loaded, in, out);
    case exporting::ExportFormat::Rtf:
        return runRtf(options, loaded, in, out);
    case exporting::ExportFormat::Avi:
        return runAvi(options, loaded, in, out);
    }
    return ExitUsage;
}

// The options that need no file; an error message when one is wrong.
std::string readOptions(const Args& args, Options& options)
{
    const auto format = exporting::formatFromCliName(args.get("--format"));
    if (!format)
        return "unknown --format '" + args.get("--format") + "'";
    options.request.format = *format;
    if (args.has("--size") && args.has("--scale"))
        return "--size and --scale exclude each other";
    if (args.has("--size")) {
        const auto size = parsePair(args.get("--size"), 'x');
        if (!size || size->first < 1 || size->first > 65535 || size->second < 1 || size->second > 65535)
            return "--size wants WxH, each 1..65535";
        options.request.width = size->first;
        options.request.height = size->second;
    }
    if (args.has("--scale")) {
        const auto scale = parseNumber<double>(args.get("--scale"));
        if (!scale || !(*scale > 0 && *scale <= 10000))
            return "--scale wants a percentage above 0";
        options.scale = *scale;
    }
    if (args.has("--window")) {
        const auto window = parsePair(args.get("--window"), ',');
        if (!window || window->second < 1)
            return "--window wants C,W with a width of at least 1";
        options.window = imaging::Window { window->first, window->second };
    }
    if (args.has("--quality")) {
        const auto quality = parseNumber<int>(args.get("--quality"));
        if (!quality || *quality < 0 || *quality > 100)
            return "--quality wants 0..100";
        options.request.quality = *quality;
    }
    // Scripts export their own files: header values stay unless asked.
    options.request.anonymizedHeader = args.has("--anonymized");
    options.mjpeg = args.has("--mjpeg");
    if (args.has("--threads")) {
        const auto threads = parseNumber<unsigned>(args.get("--threads"));
        if (!threads || *threads > 64)
            return "--threads wants 0..64";
        options.threads = *threads;
    }
    return {};
}

} // namespace

int runExport(const std::vector<std::string>& argv)
{
    Args args;
    if (std::string error = parseArgs(argv, { "--help", "--anonymized", "--mjpeg" },
                                      { "--format", "--out", "--frames", "--size", "--scale", "--window",
                                        "--quality", "--threads" },
                                      args);
        !error.empty()) {
        std::fprintf(stderr, "tolan export: %s\n", error.c_str());
        printUsage(stderr);
        return ExitUsage;
    }
    if (args.has("--help")) {
        printUsage(stdout);
        return 0;
    }
    Options options;
    if (args.positional.size() != 1 || args.get("--out").empty() || !args.has("--format")) {
        printUsage(stderr);
        return ExitUsage;
    }
    if (std::string error = readOptions(args, options); !error.empty()) {
        std::fprintf(stderr, "tolan export: %s\n", error.c_str());
        return ExitUsage;
    }
    const fs::path in = args.positional.front(), out = args.get("--out");
    dicom::DicomDataset dataset;
    if (!dicom::openFile(in, dicom::HeaderOnly::No, dataset) || dataset.frames.empty()) {
        std::fprintf(stderr, "tolan export: %s: %s\n", in.c_str(),
                     trimTrailingBlanks(dataset.frames.empty() && dataset.error == dicom::DicomError::None
                                            ? "no frames"
                                            : dataset.errorMessage())
                         .c_str());
        return ExitFailed;
    }
    exporting::FilePictures loaded = exporting::filePictures(dataset);
    // Without --window every grey frame, 8-bit ones too, is shown from its minimum to its maximum.
    loaded.window = options.window.value_or(imaging::Window {});
    loaded.grey8 = exporting::Grey8Window::SameWindow;
    const int frameCount = static_cast<int>(loaded.frames.size());
    if (args.has("--frames")) {
        auto frames = parseFrames(args.get("--frames"), frameCount);
        if (!frames) {
            std::fprintf(stderr, "tolan export: --frames wants numbers 1..%d such as 1,3,5-7\n", frameCount);
            return ExitUsage;
        }
        options.request.frames = std::move(*frames);
    } else {
        for (int frame = 0; frame < frameCount; ++frame)
            options.request.frames.push_back(frame);
    }
    if (options.scale) {
        // Never 0: a tiny percentage still leaves one pixel.
        const auto scaled = [&](std::int32_t side) {
            return static_cast<std::int32_t>(std::clamp(std::lround(side * *options.scale / 100.0), 1L, 65535L));
        };
        options.request.width = scaled(loaded.columns);
        options.request.height = scaled(loaded.rows);
    }
    std::vector<int> sorted = options.request.frames;
    std::sort(sorted.begin(), sorted.end());
    loaded.eachFrameOnce = std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
    return runFormat(options, loaded, InputFile { dataset, in }, out);
}

} // namespace cli
