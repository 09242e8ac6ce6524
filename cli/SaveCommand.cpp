// tolan save FILE --out FILE: re-encodes a DICOM, BMP or JPEG file as the
// viewer's Save writes it: the normalised frames as one secondary-capture
// file, the rescale undone with the intercept and slope it carries.

#include "cli/CliArgs.h"
#include "dicom/DicomEncoder.h"
#include "dicom/DicomWriter.h"
#include "dicom/PictureFiles.h"
#include "dicom/SavedAttributes.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

namespace cli {

namespace {

void printUsage(std::FILE* out)
{
    std::fprintf(out, "Usage: tolan save FILE --out FILE [--keep-patient-study]\n"
                      "Writes the frames of FILE as the viewer saves them: a secondary-capture DICOM file\n"
                      "with the pixel spacing and slice thickness of FILE. --keep-patient-study also copies\n"
                      "the patient and study, as the viewer's \"Keep patient and study in saved files\" does.\n"
                      "A DICOM file written by other software is never overwritten.\n");
}

// The window a viewer opens a 16-bit frame with when the file gives none: its range.
std::pair<std::int32_t, std::int32_t> frameRangeWindow(const std::vector<base::Frame>& frames)
{
    std::int32_t low = std::numeric_limits<std::int16_t>::max(), high = std::numeric_limits<std::int16_t>::min();
    for (const base::Frame& f : frames) {
        for (const std::int16_t v : f.samples) {
            low = std::min<std::int32_t>(low, v);
            high = std::max<std::int32_t>(high, v);
        }
    }
    if (high < low)
        return { 0, 1 };
    return { (low + high) / 2, std::max(1, high - low) };
}

} // namespace

int runSave(const std::vector<std::string>& argv)
{
    Args args;
    if (std::string error = parseArgs(argv, { "--help", "--keep-patient-study" }, { "--out" }, args); !error.empty()) {
        std::fprintf(stderr, "tolan save: %s\n", error.c_str());
        printUsage(stderr);
        return ExitUsage;
    }
    if (args.has("--help")) {
        printUsage(stdout);
        return 0;
    }
    if (args.positional.size() != 1 || !args.has("--out") || args.get("--out").empty()) {
        printUsage(stderr);
        return ExitUsage;
    }
    const std::filesystem::path in = args.positional.front(), out = args.get("--out");
    if (!dicom::mayOverwrite(dicom::overwriteVerdict(out))) {
        std::fprintf(stderr, "tolan save: %s was written by other software; not overwritten\n", out.c_str());
        return ExitFailed;
    }
    dicom::DicomDataset dataset;
    if (!dicom::openFile(in, dicom::HeaderOnly::No, dataset) || dataset.frames.empty()) {
        std::fprintf(stderr, "tolan save: %s: %s\n", in.c_str(),
                     trimTrailingBlanks(dataset.frames.empty() && dataset.error == dicom::DicomError::None
                                            ? "no frames"
                                            : dataset.errorMessage())
                         .c_str());
        return ExitFailed;
    }
    dicom::SaveFrames source;
    source.columns = dataset.image.columns;
    source.rows = dataset.image.rows;
    source.windowCentre = dataset.image.windowCentre;
    source.windowWidth = dataset.image.windowWidth;
    if (source.windowCentre == 0 && source.windowWidth == 0)
        std::tie(source.windowCentre, source.windowWidth) = frameRangeWindow(dataset.frames);
    if (dataset.image.rescalePresent) {
        dicom::Rescale rescale { dataset.image.rescaleIntercept, dataset.image.rescaleSlope, "US" };
        if (const auto* type = dataset.find(dicom::tags::RescaleType); type && type->hasValue())
            rescale.type = trimTrailingBlanks(type->text());
        source.rescale = rescale;
    }
    source.frameTimeMs = dataset.image.frameTime;
    source.frames = std::move(dataset.frames);
    auto built = dicom::buildForSave(std::move(source), dicom::localTimeNow());
    if (!built) {
        std::fprintf(stderr, "tolan save: %s: %s\n", in.c_str(), built.error().detail.c_str());
        return ExitFailed;
    }
    dicom::SaveOptions saveOptions;
    saveOptions.keepPatientAndStudy = args.has("--keep-patient-study");
    dicom::copySavedAttributes(*built, dataset, saveOptions);
    if (auto written = dicom::writeDicomFile(out, *built); !written) {
        std::fprintf(stderr, "tolan save: %s\n", written.error().detail.c_str());
        return ExitFailed;
    }
    return 0;
}

} // namespace cli
