// tolan frames FILE --out DIR: the normalised frames of a DICOM, BMP or JPEG file as
// raw files plus an info.txt, for conformance scripts and benchmarks. The files
// are made in a temporary folder beside DIR and moved in only when all are
// there, info.txt last: a folder without info.txt holds no complete result, and
// a failed run leaves the result of an earlier one as it was.

#include "cli/CliArgs.h"
#include "dicom/DicomEncoder.h"
#include "dicom/DicomError.h"
#include "dicom/DicomReader.h"
#include "dicom/Normalisation.h"
#include "dicom/PictureFiles.h"
#include "dicom/PixelModule.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <stdlib.h>

namespace cli {

namespace {

void printUsage(std::FILE* out)
{
    std::fprintf(out, "Usage: tolan frames FILE --out DIR [--threads N]\n"
                      "Writes each normalised frame k as DIR/frame-NNNN.raw (8-bit grey, R G B triplets,\n"
                      "or little-endian int16) and the image attributes as DIR/info.txt.\n"
                      "Frames decode on N threads (default: one a core).\n");
}

std::string number(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// A file appears under its name only once it is complete; false, with errno
// saying why, when it could not be written.
bool writeAtomically(const std::filesystem::path& path, const char* data, std::size_t size)
{
    return dicom::writeThroughTemporary(path, [&](int fd) {
        return dicom::writeAllTo(fd, { reinterpret_cast<const std::uint8_t*>(data), size });
    });
}

std::string frameName(std::size_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04zu.raw", number);
    return name;
}

// The names this command writes frames under: "frame-", four or more digits, ".raw".
bool isFrameName(const std::string& name)
{
    constexpr std::string_view prefix = "frame-", suffix = ".raw";
    if (name.size() < prefix.size() + 4 + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
        return false;
    const auto digits = std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A new empty folder beside dir, on the same file system so that its files
// can be renamed into dir; inside dir when dir's parent cannot be written.
std::optional<std::filesystem::path> makeStagingFolder(const std::filesystem::path& dir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target = fs::absolute(dir, ec).lexically_normal();
    if (ec)
        return std::nullopt;
    if (!target.has_filename())
        target = target.parent_path();
    std::vector<fs::path> candidates;
    if (target.has_filename())
        candidates.push_back(target.parent_path() / ("." + target.filename().string() + ".tmp-XXXXXX"));
    candidates.push_back(target / ".tolan-frames.tmp-XXXXXX");
    for (const fs::path& candidate : candidates) {
        std::string pattern = candidate.string();
        if (::mkdtemp(pattern.data()))
            return fs::path(pattern);
    }
    return std::nullopt;
}

// Removes the staging folder and whatever is left in it on every way out.
struct StagingFolder {
    std::filesystem::path path;
    ~StagingFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// The output folder and any of its parents that this run makes, removed
// again (deepest first, each only while empty) when the run fails.
class RemovedUnlessKept {
public:
    // Call before making `dir`: notes which of its folders do not exist yet.
    explicit RemovedUnlessKept(const std::filesystem::path& dir)
    {
        std::error_code ec;
        for (std::filesystem::path at = std::filesystem::absolute(dir, ec).lexically_normal();
             !ec && at.has_relative_path() && !std::filesystem::exists(at, ec); at = at.parent_path()) {
            if (at.has_filename())
                m_made.push_back(at);
        }
    }
    ~RemovedUnlessKept()
    {
        std::error_code ignored;
        for (const std::filesystem::path& folder : m_made) {
            if (!std::filesystem::is_empty(folder, ignored) || !std::filesystem::remove(folder, ignored))
                break;
        }
    }
    RemovedUnlessKept(const RemovedUnlessKept&) = delete;
    RemovedUnlessKept& operator=(const RemovedUnlessKept&) = delete;
    void keep() { m_made.clear(); }

private:
    std::vector<std::filesystem::path> m_made; // deepest first
};

// Puts the complete result in staging in place of an earlier run's outputs in
// dir. The old info.txt goes first and the new one comes last, so dir never
// pairs one run's info.txt with another run's frames; other files in dir stay.
std::string installOutputs(const std::filesystem::path& staging, const std::filesystem::path& dir, std::size_t frames)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::remove(dir / "info.txt", ec);
    if (ec)
        return "cannot remove " + (dir / "info.txt").string() + ": " + ec.message();
    std::vector<fs::path> earlier;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (isFrameName(it->path().filename().string()))
            earlier.push_back(it->path());
    }
    if (ec)
        return "cannot list " + dir.string() + ": " + ec.message();
    for (const fs::path& path : earlier) {
        if (fs::remove(path, ec); ec)
            return "cannot remove " + path.string() + ": " + ec.message();
    }
    auto move = [&](const std::string& name) -> std::string {
        if (fs::rename(staging / name, dir / name, ec); ec)
            return "cannot move " + (staging / name).string() + " to " + dir.string() + ": " + ec.message();
        return {};
    };
    for (std::size_t k = 1; k <= frames; ++k) {
        if (std::string error = move(frameName(k)); !error.empty())
            return error;
    }
    return move("info.txt");
}

bool writeFrame(const std::filesystem::path& path, const dicom::Frame& frame)
{
    if (frame.format != dicom::FrameFormat::Grey16)
        return writeAtomically(path, reinterpret_cast<const char*>(frame.bytes.data()), frame.bytes.size());
    if constexpr (std::endian::native == std::endian::little) {
        return writeAtomically(path, reinterpret_cast<const char*>(frame.samples.data()), frame.samples.size() * 2);
    } else {
        std::vector<char> le(frame.samples.size() * 2);
        for (std::size_t i = 0; i < frame.samples.size(); ++i) {
            le[2 * i] = static_cast<char>(frame.samples[i] & 0xFF);
            le[2 * i + 1] = static_cast<char>((frame.samples[i] >> 8) & 0xFF);
        }
        return writeAtomically(path, le.data(), le.size());
    }
}

std::string infoText(const dicom::PixelFrames& image)
{
    const dicom::PixelAttributes& a = image.attributes;
    const auto format = dicom::normalisedFormat(a);
    // Samples and bits describe the written frames, so a reader of the raw files needs nothing else.
    const int samples = format == dicom::FrameFormat::Rgb8 ? 3 : 1;
    const int bits = format == dicom::FrameFormat::Grey16 ? 16 : 8;
    std::string out;
    out += "rows: " + std::to_string(a.rows) + "\n";
    out += "columns: " + std::to_string(a.columns) + "\n";
    out += "frames: " + std::to_string(a.numberOfFrames) + "\n";
    out += "samples: " + std::to_string(samples) + "\n";
    out += "bits_allocated: " + std::to_string(bits) + "\n";
    out += "photometric: " + trimTrailingBlanks(a.photometric) + "\n";
    out += "window_centre: " + std::to_string(a.windowCentre) + "\n";
    out += "window_width: " + std::to_string(a.windowWidth) + "\n";
    out += "rescale_intercept: " + number(a.rescaleIntercept) + "\n";
    out += "rescale_slope: " + number(a.rescaleSlope) + "\n";
    return out;
}

// BMP and JPEG pictures through the same opening as the viewer's.
dicom::Result<dicom::PixelFrames> readPictureFrames(const std::string& path, const dicom::FrameSink& sink)
{
    dicom::DicomDataset dataset;
    if (!dicom::openFile(path, dicom::HeaderOnly::No, dataset))
        return dicom::Error{dataset.error, {}};
    dicom::PixelFrames image;
    auto& a = image.attributes;
    const dicom::ImageAttributes& in = dataset.image;
    a = in;
    a.numberOfFrames = static_cast<std::int32_t>(dataset.frames.size());
    for (auto& frame : dataset.frames) {
        if (auto taken = sink(std::move(frame)); !taken)
            return taken.error();
    }
    return image;
}

dicom::Result<dicom::PixelFrames> readDicomFrames(const std::string& path, const dicom::FrameSink& sink,
                                                 std::optional<unsigned> threads)
{
    dicom::Result<dicom::PixelFrames> result = dicom::Error{dicom::DicomError::Corrupted, "no pixel data"};
    dicom::ReadOptions options;
    options.pixelStage = [&result, &sink, threads](dicom::DicomDataset& dataset, dicom::ElementDecoder& decoder) {
        result = dicom::readPixelFrames(dataset, decoder, sink, threads);
        return result ? dicom::DicomError::None : result.error().code;
    };
    dicom::DicomReader reader(std::move(options));
    dicom::DicomDataset dataset;
    if (!reader.read(path, dataset)) {
        if (result || result.error().code != dataset.error) {
            std::string detail;
            const dicom::DicomElement* syntax = dataset.find(dicom::tags::TransferSyntaxUID);
            if (dataset.error == dicom::DicomError::UnknownCompression && syntax)
                detail = "transfer syntax " + std::string(syntax->text()) + " is not supported";
            return dicom::Error{dataset.error, detail};
        }
    }
    return result;
}

} // namespace

int runFrames(const std::vector<std::string>& argv)
{
    Args args;
    if (std::string error = parseArgs(argv, {"--help"}, {"--out", "--threads"}, args); !error.empty()) {
        std::fprintf(stderr, "tolan frames: %s\n", error.c_str());
        printUsage(stderr);
        return ExitUsage;
    }
    if (args.has("--help")) {
        printUsage(stdout);
        return 0;
    }
    if (args.positional.size() != 1 || !args.has("--out")) {
        printUsage(stderr);
        return ExitUsage;
    }
    std::optional<unsigned> threads;
    if (args.has("--threads")) {
        const std::string text = args.get("--threads");
        unsigned value = 0;
        const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
        if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || value == 0 || value > 64) {
            std::fprintf(stderr, "tolan frames: --threads takes a number from 1 to 64\n");
            return ExitUsage;
        }
        threads = value;
    }
    const std::string& path = args.positional.front();
    const std::filesystem::path outDir = args.get("--out");

    // A failed run leaves no trace: folders it made for its outputs go too
    // (after the staging folder, which may lie inside them).
    RemovedUnlessKept madeFolders{outDir};
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (ec) {
        std::fprintf(stderr, "tolan frames: cannot create %s: %s\n", outDir.string().c_str(), ec.message().c_str());
        return ExitFailed;
    }
    const auto stagingPath = makeStagingFolder(outDir);
    if (!stagingPath) {
        std::fprintf(stderr, "tolan frames: cannot create a temporary folder for %s\n", outDir.string().c_str());
        return ExitFailed;
    }
    const StagingFolder staging{*stagingPath};
    // Each frame is written as soon as it is made, so only one is held at a time.
    std::size_t written = 0;
    const dicom::FrameSink sink = [&](dicom::Frame&& frame) -> dicom::Result<void> {
        const auto path = staging.path / frameName(written + 1);
        if (!writeFrame(path, frame))
            return dicom::Error{dicom::DicomError::FileIo, "cannot write " + path.string() + ": " + std::strerror(errno)};
        ++written;
        return {};
    };
    auto image = dicom::pictureKind(path) != dicom::PictureKind::None ? readPictureFrames(path, sink) : readDicomFrames(path, sink, threads);
    if (!image) {
        const auto code = image.error().code;
        std::string message = trimTrailingBlanks(dicom::errorText(code));
        if (!image.error().detail.empty())
            message += ": " + image.error().detail;
        std::fprintf(stderr, "%s\n", message.c_str());
        return ExitFailed;
    }
    // The frames decoded, but what the decoders found odd belongs on screen.
    for (std::string_view warning : image->warnings) {
        while (!warning.empty() && warning.back() == '\n')
            warning.remove_suffix(1);
        std::fprintf(stderr, "%.*s\n", static_cast<int>(warning.size()), warning.data());
    }
    const std::string info = infoText(*image);
    if (!writeAtomically(staging.path / "info.txt", info.data(), info.size())) {
        std::fprintf(stderr, "tolan frames: cannot write %s: %s\n", (staging.path / "info.txt").string().c_str(),
                     std::strerror(errno));
        return ExitFailed;
    }
    if (std::string error = installOutputs(staging.path, outDir, written); !error.empty()) {
        std::fprintf(stderr, "tolan frames: %s\n", error.c_str());
        return ExitFailed;
    }
    madeFolders.keep();
    return 0;
}

} // namespace cli
