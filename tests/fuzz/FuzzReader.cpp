// libFuzzer target for the DICOM reader: every input is read whole and
// header-only (which takes the on-demand path), and listed.

#include "dicom/DicomReader.h"
#include "dicom/HeaderListing.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    for (auto headerOnly : {dicom::HeaderOnly::No, dicom::HeaderOnly::Yes}) {
        dicom::MemorySource source(bytes);
        dicom::ReadOptions options;
        options.headerOnly = headerOnly;
        options.pixelData = dicom::PixelData::AsElements;
        dicom::DicomReader reader(options);
        dicom::DicomDataset dataset;
        reader.read(source, dataset);
        for (const auto& row : dicom::headerRows(dataset))
            (void)row;
    }
    return 0;
}
