#pragma once

#include "dicom/DicomReader.h"
#include "tests/support/DicomBytes.h"

#include <vector>

namespace readertest {

inline dicom::ReadOptions options(dicom::HeaderOnly headerOnly,
                                  dicom::PixelData pixelData = dicom::PixelData::Stop)
{
    dicom::ReadOptions result;
    result.headerOnly = headerOnly;
    result.pixelData = pixelData;
    return result;
}

inline dicom::DicomDataset readBytes(const std::vector<std::uint8_t>& bytes,
                                     dicom::HeaderOnly headerOnly = dicom::HeaderOnly::No)
{
    dicom::MemorySource source(bytes);
    dicom::ReadOptions options;
    options.headerOnly = headerOnly;
    dicom::DicomReader reader(options);
    dicom::DicomDataset dataset;
    reader.read(source, dataset);
    return dataset;
}

// A Part 10 file in explicit VR little endian up to its data set.
inline testsupport::DicomBytes explicitLittleFile()
{
    testsupport::DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    return b;
}

} // namespace readertest
