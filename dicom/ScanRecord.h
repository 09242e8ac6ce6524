#pragma once

// What a folder scan keeps of each DICOM file it finds: the header facts
// that group, search and label files, read header-only.

#include "dicom/DicomDataset.h"

#include <any>
#include <cstdint>
#include <string>

namespace dicom {

struct ScanRecord {
    std::string folder;   // the file's folder, ending in "/"
    std::string fileName; // the name inside folder
    // Texts as the elements hold them, trailing padding (blanks, NULs)
    // removed; empty when the element is absent.
    std::string patientName; // (0010,0010)
    std::string patientId;   // (0010,0020)
    std::string physician;   // (0008,1050)
    std::string studyDate;   // (0008,0020)
    std::string modality;    // (0008,0060)
    std::string studyId;     // (0020,0010)
    std::string studyUid;    // (0020,000D)
    std::string seriesUid;   // (0020,000E)
    std::int32_t instanceNumber = -1; // (0020,0013); -1 when absent
    // The elements' numeric values, 0 when absent.
    std::int32_t rows = 0;          // (0028,0010)
    std::int32_t columns = 0;       // (0028,0011)
    std::int32_t bitsAllocated = 0; // (0028,0100)
    std::int32_t bitsStored = 0;    // (0028,0101)
    std::int32_t highBit = 0;       // (0028,0102)
    std::int32_t frames = 1;        // (0028,0008); 1 when absent or not a positive number
    // Whatever a scan's prepare step attached on its worker (the shell puts
    // a thumbnail here); empty otherwise.
    std::any extra;

    std::string path() const { return folder + fileName; }
};

// The record of a data set read (header-only is enough) from folder + fileName.
ScanRecord scanRecordOf(const DicomDataset& dataset, std::string folder, std::string fileName);

} // namespace dicom
