// libFuzzer target for the DICOM reader: every input is read whole and
// header-only (which takes the on-demand path) and listed. Up to the pixel
// group both readings must agree exactly, so a difference aborts as a finding.
// Then it is opened as the viewer opens it, frames and all, and every frame
// of a data set that opens must have the size its attributes give.

#include "dicom/DicomReader.h"
#include "dicom/HeaderListing.h"
#include "dicom/PixelModule.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

struct Reading {
    dicom::DicomError error;
    std::vector<dicom::HeaderRow> rows;
};

Reading readAndList(std::span<const std::uint8_t> bytes, dicom::HeaderOnly headerOnly, dicom::PixelData pixelData)
{
    dicom::MemorySource source(bytes);
    dicom::ReadOptions options;
    options.headerOnly = headerOnly;
    options.pixelData = pixelData;
    dicom::DicomReader reader(options);
    dicom::DicomDataset dataset;
    reader.read(source, dataset);
    return {dataset.lastError(), dicom::headerRows(dataset)};
}

bool sameRows(const std::vector<dicom::HeaderRow>& a, const std::vector<dicom::HeaderRow>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].tag != b[i].tag || a[i].vr != b[i].vr || a[i].length != b[i].length || a[i].value != b[i].value)
            return false;
    }
    return true;
}

void openWithFrames(std::span<const std::uint8_t> bytes)
{
    dicom::MemorySource source(bytes);
    dicom::ReadOptions options;
    options.pixelStage = &dicom::readPixelStage;
    dicom::DicomDataset dataset;
    if (!dicom::DicomReader(options).read(source, dataset))
        return;
    const auto& a = dataset.image;
    const std::size_t pixels = std::size_t(a.rows) * a.columns;
    if (dataset.frames.size() != static_cast<std::size_t>(a.numberOfFrames))
        std::abort();
    for (const base::Frame& frame : dataset.frames) {
        const std::size_t size = frame.format == base::FrameFormat::Grey16 ? frame.samples.size() : frame.bytes.size();
        if (size != pixels * (frame.format == base::FrameFormat::Rgb8 ? 3 : 1))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    const Reading whole = readAndList(bytes, dicom::HeaderOnly::No, dicom::PixelData::Stop);
    const Reading header = readAndList(bytes, dicom::HeaderOnly::Yes, dicom::PixelData::Stop);
    if (whole.error != header.error || !sameRows(whole.rows, header.rows))
        std::abort();
    (void)readAndList(bytes, dicom::HeaderOnly::No, dicom::PixelData::AsElements);
    openWithFrames(bytes);
    return 0;
}
