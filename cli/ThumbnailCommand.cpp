// tolan thumbnail [-s SIZE] FILE OUT.png: the first frame as the viewer first
// shows it (the file's window), reduced so that its longer side is SIZE, as a
// PNG for file managers' previews.

#include "cli/CliArgs.h"
#include "dicom/DicomError.h"
#include "dicom/DicomReader.h"
#include "dicom/Normalisation.h"
#include "dicom/PictureFiles.h"
#include "dicom/PixelModule.h"
#include "export/PngWriter.h"
#include "export/Thumbnail.h"
#include "imaging/FrameImage.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

namespace {

constexpr std::int32_t kDefaultSize = 128;
constexpr std::int32_t kMaxSize = 4096;

void printUsage(std::FILE* out)
{
    std::fprintf(out, "Usage: tolan thumbnail [-s SIZE] FILE OUT.png\n"
                      "Writes the first frame of FILE, windowed as the viewer shows it, as a PNG whose\n"
                      "longer side is SIZE pixels (1..%d, default %d), keeping the aspect ratio.\n",
                 kMaxSize, kDefaultSize);
}

struct FirstFrame {
    base::Frame frame;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    imaging::Window window;
};

// The frames of a BMP or JPEG picture are few and small: read whole.
dicom::Result<FirstFrame> readPicture(const std::string& path)
{
    dicom::DicomDataset dataset;
    if (!dicom::openFile(path, dicom::HeaderOnly::No, dataset))
        return dicom::Error { dataset.error, {} };
    if (dataset.frames.empty())
        return dicom::Error { dicom::DicomError::Corrupted, "no frames" };
    FirstFrame first;
    first.frame = std::move(dataset.frames.front());
    first.columns = static_cast<std::int32_t>(dataset.image.columns);
    first.rows = static_cast<std::int32_t>(dataset.image.rows);
    first.window = { dataset.image.windowCentre, dataset.image.windowWidth };
    return first;
}

// Decoding stops after the first frame: a long multi-frame file costs no more
// than a single frame of it.
dicom::Result<FirstFrame> readDicom(const std::string& path)
{
    std::optional<FirstFrame> first;
    dicom::ReadOptions options;
    options.pixelStage = [&first](dicom::DicomDataset& dataset, dicom::ElementDecoder& decoder) {
        const dicom::PixelAttributes attributes = dicom::normalisedAttributes(dicom::readPixelAttributes(dataset));
        const dicom::FrameSink keepFirst = [&](base::Frame&& frame) -> dicom::Result<void> {
            first = FirstFrame { std::move(frame), static_cast<std::int32_t>(attributes.columns),
                                 static_cast<std::int32_t>(attributes.rows),
                                 imaging::Window { attributes.windowCentre, attributes.windowWidth } };
            return dicom::Error { dicom::DicomError::None, "the first frame is enough" };
        };
        auto image = dicom::readPixelFrames(dataset, decoder, keepFirst, 1u);
        return first || image ? dicom::DicomError::None : image.error().code;
    };
    dicom::DicomDataset dataset;
    if (!dicom::DicomReader(std::move(options)).read(path, dataset) && !first)
        return dicom::Error { dataset.error, {} };
    if (!first)
        return dicom::Error { dicom::DicomError::Corrupted, "no frames" };
    return std::move(*first);
}

std::optional<std::int32_t> parseSize(std::string_view text)
{
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > kMaxSize)
        return std::nullopt;
    return value;
}

int failed(const std::string& path, const std::string& message)
{
    std::fprintf(stderr, "tolan thumbnail: %s: %s\n", path.c_str(), message.c_str());
    return ExitFailed;
}

} // namespace

int runThumbnail(const std::vector<std::string>& argv)
{
    Args args;
    if (std::string error = parseArgs(argv, { "--help" }, { "-s", "--size" }, args); !error.empty()) {
        std::fprintf(stderr, "tolan thumbnail: %s\n", error.c_str());
        printUsage(stderr);
        return ExitUsage;
    }
    if (args.has("--help")) {
        printUsage(stdout);
        return 0;
    }
    if (args.positional.size() != 2) {
        printUsage(stderr);
        return ExitUsage;
    }
    std::int32_t size = kDefaultSize;
    if (args.has("-s") || args.has("--size")) {
        const auto parsed = parseSize(args.has("-s") ? args.get("-s") : args.get("--size"));
        if (!parsed) {
            std::fprintf(stderr, "tolan thumbnail: SIZE must be a whole number from 1 to %d\n", kMaxSize);
            return ExitUsage;
        }
        size = *parsed;
    }
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    auto first = dicom::pictureKind(in) != dicom::PictureKind::None ? readPicture(in) : readDicom(in);
    if (!first) {
        std::string message = trimTrailingBlanks(dicom::errorText(first.error().code));
        if (!first.error().detail.empty())
            message += ": " + first.error().detail;
        return failed(in, message);
    }
    // As the viewer makes a frame's image: the file's window, fitted to the samples.
    imaging::FrameInput input;
    input.frame = std::move(first->frame);
    input.columns = first->columns;
    input.rows = first->rows;
    input.window = first->window;
    auto image = imaging::FrameImage::fromFrame(std::move(input));
    const imaging::DisplayBitmap* bitmap = image ? image->displayBitmap() : nullptr;
    if (!bitmap)
        return failed(in, "the first frame cannot be shown");
    const auto picture = exporting::thumbnailPicture(*bitmap, exporting::thumbnailSize(bitmap->width(), bitmap->height(), size));
    if (!picture)
        return failed(in, picture.error().detail);
    if (auto written = exporting::writePng(out, *picture); !written)
        return failed(out, "cannot write: " + written.error().detail);
    return 0;
}

} // namespace cli
