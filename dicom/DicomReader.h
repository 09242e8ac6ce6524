#pragma once

// Reads a DICOM file (Part 10 with preamble and meta group, or a raw data set)
// into a DicomDataset: implicit VR little endian, explicit VR little and big
// endian, deflated explicit VR little endian, nested sequences, optionally
// only the header.

#include "dicom/DicomDataset.h"
#include "dicom/ElementDecoder.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace dicom {

enum class HeaderOnly : bool { No, Yes };

// What becomes of group 0x7FE0 once the elements before it are read.
enum class PixelData {
    Stop,       // decoding ends there; a pixel stage (if any) continues
    AsElements, // the rest of the file is listed as elements without values
};

// Continues decoding after the elements before group 0x7FE0: image
// attributes and frames. The decoder stands at the first element of group
// 0x7FE0, or at the end of what was read.
using PixelStage = std::function<DicomError(DicomDataset&, ElementDecoder&)>;

struct ReadOptions {
    HeaderOnly headerOnly = HeaderOnly::No;
    PixelData pixelData = PixelData::Stop;
    PixelStage pixelStage;
};

class DicomReader {
public:
    // Files of 4 GiB and more are refused: offsets in a data set are 32-bit.
    static constexpr std::uint64_t MaxFileSize = 0xFFFFFFFFull;

    explicit DicomReader(ReadOptions options = {}) : m_options(std::move(options)) {}

    // Both return false and leave the code in dataset.error on failure;
    // whatever was decoded before stays in the data set.
    bool read(const std::filesystem::path& path, DicomDataset& dataset);
    bool read(ByteSource& source, DicomDataset& dataset);

    // How many bytes of the file the last read took in.
    std::uint64_t bytesRead() const { return m_bytesRead; }

private:
    DicomError decode(DecodeBuffer& buffer, DicomDataset& dataset);
    DicomError decodeDeflated(DecodeBuffer& buffer, std::uint64_t streamStart, DicomDataset& dataset);
    DicomError decodeDataset(ElementDecoder& decoder, DicomDataset& dataset);
    DicomError finish(ElementDecoder& decoder, DicomDataset& dataset);

    ReadOptions m_options;
    std::uint64_t m_bytesRead = 0;
};

} // namespace dicom
