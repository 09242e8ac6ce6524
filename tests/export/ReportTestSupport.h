#pragma once

#include "dicom/DicomReader.h"
#include "tests/support/DicomBytes.h"

#include <string>
#include <vector>

namespace reporttest {

// A data set read from an explicit little-endian Part 10 stream whose data
// set the caller appends.
inline dicom::DicomDataset readDataset(const testsupport::DicomBytes& bytes)
{
    dicom::MemorySource source(bytes.bytes());
    dicom::ReadOptions options;
    options.headerOnly = dicom::HeaderOnly::Yes;
    dicom::DicomReader reader(options);
    dicom::DicomDataset dataset;
    reader.read(source, dataset);
    return dataset;
}

inline testsupport::DicomBytes part10()
{
    testsupport::DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    return b;
}

} // namespace reporttest
