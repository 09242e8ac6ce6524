// libFuzzer target for the DICOM reader: every input is read whole and
// header-only (which takes the on-demand path) and listed. Up to the pixel
// group both readings must agree exactly, so a difference aborts as a finding.

#include "dicom/DicomReader.h"
#include "dicom/HeaderListing.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    const Reading whole = readAndList(bytes, dicom::HeaderOnly::No, dicom::PixelData::Stop);
    const Reading header = readAndList(bytes, dicom::HeaderOnly::Yes, dicom::PixelData::Stop);
    if (whole.error != header.error || !sameRows(whole.rows, header.rows))
        std::abort();
    (void)readAndList(bytes, dicom::HeaderOnly::No, dicom::PixelData::AsElements);
    return 0;
}
