// libFuzzer target: the RLE decoder and the encapsulated fragment walk. The
// first four bytes choose the frame shape, the rest is the compressed data.

#include "dicom/DicomReader.h"
#include "dicom/Normalisation.h"
#include "dicom/PixelFrames.h"
#include "dicom/RleDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    dicom::RleFrameShape shape;
    shape.rows = 1u + data[0] % 64;
    shape.columns = 1u + data[1] % 64;
    shape.samplesPerPixel = data[2] % 2 ? 3 : 1;
    shape.bytesPerSample = data[3] % 2 ? 2 : 1;
    const std::span<const std::uint8_t> body(data + 4, size - 4);

    if (auto planes = dicom::decodeRleFrame(body, shape)) {
        dicom::PixelAttributes attrs;
        attrs.rows = shape.rows;
        attrs.columns = shape.columns;
        attrs.samplesPerPixel = static_cast<std::int16_t>(shape.samplesPerPixel);
        attrs.photometric = shape.samplesPerPixel == 3 ? "RGB" : "MONOCHROME1";
        attrs.bitsAllocated = static_cast<std::int16_t>(8 * shape.bytesPerSample);
        attrs.bitsStored = static_cast<std::int16_t>(data[0] % 17);
        attrs.pixelRepresentation = data[1] & 1;
        if (shape.samplesPerPixel == 3 && shape.bytesPerSample == 2)
            return 0;
        (void)dicom::normaliseFrame(*planes, attrs, dicom::SampleLayout::Planar);
    }

    // The body as the value of an encapsulated pixel data element.
    dicom::DicomDataset dataset;
    dicom::ReadOptions options;
    options.pixelStage = [](dicom::DicomDataset&, dicom::ElementDecoder&) { return dicom::DicomError::None; };
    std::vector<std::uint8_t> file(132 + 12);
    const std::uint8_t header[] = {0xE0, 0x7F, 0x10, 0x00, 'O', 'B', 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    std::copy(std::begin(header), std::end(header), file.begin() + 132);
    file[128] = 'D'; file[129] = 'I'; file[130] = 'C'; file[131] = 'M';
    file.insert(file.end(), body.begin(), body.end());
    dicom::MemorySource source(file);
    if (dicom::DicomReader(options).read(source, dataset)) {
        const dicom::PixelSource pixels{file, &dataset.pixelData, false};
        if (auto encapsulated = dicom::encapsulatedFragments(pixels)) {
            for (const auto& fragments : dicom::groupFragments(*encapsulated, data[0]))
                (void)dicom::decodeRleFrame(fragments.front(), shape);
        }
    }
    return 0;
}
