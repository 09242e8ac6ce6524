#pragma once

// Turns an extracted frame into one of the two forms the imaging code works
// with: 8 bits a sample (grey, or R, G, B per pixel) or signed 16-bit grey
// with the modality rescale applied.

#include "base/Frame.h"
#include "dicom/DicomError.h"
#include "dicom/PixelAttributes.h"
#include "dicom/PaletteColour.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dicom {

using base::Frame;
using base::FrameFormat;

// Where the samples of a colour frame sit in the extracted buffer.
enum class SampleLayout {
    Interleaved,   // pixel after pixel (planar configuration 0)
    Planar,        // plane after plane (planar configuration 1, and always for RLE)
    DecodedRgb,    // already R, G, B per pixel: the JPEG library converted it
};

// The form a frame takes: 16-bit for monochrome data wider than 8 bits,
// rescaled, or signed; RGB for colour; else 8-bit grey.
FrameFormat normalisedFormat(const PixelAttributes& attrs);

// The attributes after normalisation: 8-bit grey gets the window of its
// stored range (centre 2^(bits stored - 1), width 2^bits stored: 128/256 for
// 8 bits), colour 128/256; a 16-bit form made from 8-bit samples reports
// 16/16/15 bits.
PixelAttributes normalisedAttributes(const PixelAttributes& attrs);

// Normalises the frames of one image. Mapping 16-bit samples through a
// table pays once the frames outnumber the possible values, so the table is
// built on first use and kept for the image's later frames.
class FrameNormaliser {
public:
    FrameNormaliser(const PixelAttributes& attrs, SampleLayout layout, const PaletteTables* palette = nullptr)
        : m_attrs(attrs), m_layout(layout), m_palette(palette) {}

    // As normaliseFrame.
    Result<Frame> operator()(std::span<const std::uint8_t> raw);

private:
    PixelAttributes m_attrs;
    SampleLayout m_layout;
    const PaletteTables* m_palette;
    std::vector<std::int16_t> m_table;
};

// raw holds one frame, 16-bit samples little endian, 12-bit samples packed
// two in three bytes (PS3.5 8.1.1 for the ACR-NEMA form). palette is needed for
// "PALETTE COLOR". Error 5 when raw is shorter than a frame or the palette is
// missing; error 3 for attributes that checkPixelAttributes would refuse.
Result<Frame> normaliseFrame(std::span<const std::uint8_t> raw, const PixelAttributes& attrs, SampleLayout layout,
                                   const PaletteTables* palette = nullptr);

struct Window {
    std::int16_t centre = 0;
    std::int16_t width = 0;
};

// The frame as 8-bit samples for exports and previews. A 16-bit frame is
// mapped through window; a window outside the frame's range (or 0/0) is
// replaced by the frame's own range, and window receives the one used.
std::vector<std::uint8_t> renderFrame8(const Frame& frame, Window& window);

// A 16-bit frame's samples with the rescale undone, for writing back as
// stored values: trunc((v - intercept) / slope), clamped to 16 bits.
std::vector<std::int16_t> unrescaledSamples(const Frame& frame, const PixelAttributes& attrs);

} // namespace dicom
