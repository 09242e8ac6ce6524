#pragma once

// The image attributes and the JPEG stream of each frame of a file, or the
// pixel bytes of an uncompressed one (as written by dcmdjpeg), for the codec
// tests and benchmarks. The file goes through the real reader, whose pass over
// the elements records the fragments; the codecs themselves never see dicom/.

#include "dicom/DicomReader.h"
#include "dicom/JpegFrames.h"
#include "dicom/PixelModule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace codecs::test {

struct DicomImage {
    std::uint32_t rows = 0, columns = 0, frames = 1;
    std::uint16_t samples = 1, bitsAllocated = 0, bitsStored = 0, planar = 0;
    std::vector<std::vector<std::uint8_t>> frameStreams; // encapsulated: one JPEG stream per frame
    std::vector<std::uint8_t> pixels;                   // native: the pixel data value
};

inline std::optional<DicomImage> readDicomImage(const std::string& path)
{
    DicomImage image;
    dicom::ReadOptions options;
    // Only the bytes are wanted: the frames are the codec's to decode.
    options.pixelStage = [&image](dicom::DicomDataset& dataset, dicom::ElementDecoder& decoder) {
        const dicom::PixelAttributes a = dicom::readPixelAttributes(dataset);
        image.rows = a.rows;
        image.columns = a.columns;
        image.frames = static_cast<std::uint32_t>(std::max(a.numberOfFrames, 1));
        image.samples = static_cast<std::uint16_t>(a.samplesPerPixel);
        image.bitsAllocated = static_cast<std::uint16_t>(a.bitsAllocated);
        image.bitsStored = static_cast<std::uint16_t>(a.bitsStored);
        image.planar = a.planarConfiguration;
        const dicom::PixelDataLocation& where = dataset.pixelData;
        const auto bytes = decoder.buffer().bytes();
        if (!where.found)
            return dicom::DicomError::Corrupted;
        if (!where.encapsulated()) {
            if (where.valueOffset + where.length > bytes.size())
                return dicom::DicomError::Corrupted;
            image.pixels.assign(bytes.begin() + std::ptrdiff_t(where.valueOffset),
                                bytes.begin() + std::ptrdiff_t(where.valueOffset + where.length));
            return dicom::DicomError::None;
        }
        auto fragments = dicom::encapsulatedFragments(dicom::PixelSource{bytes, &where, false});
        if (!fragments)
            return dicom::DicomError::Corrupted;
        for (const auto& frame : dicom::groupJpegFragments(*fragments, a.numberOfFrames)) {
            auto& stream = image.frameStreams.emplace_back();
            for (auto fragment : frame)
                stream.insert(stream.end(), fragment.begin(), fragment.end());
        }
        return dicom::DicomError::None;
    };
    dicom::DicomDataset dataset;
    if (!dicom::DicomReader(options).read(path, dataset))
        return std::nullopt;
    return image;
}

} // namespace codecs::test
