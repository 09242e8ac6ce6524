#pragma once

// One entry point for the JPEG frames of a DICOM data set. The transfer
// syntax does not always tell the truth about the stream (files labelled
// lossless that hold baseline DCT data exist), so the frame header decides:
// lossless streams go to our own decoder, DCT-based ones to a JPEG library
// (libjpeg-turbo for 8-bit samples, the 12-bit IJG build for 12-bit ones).

#include "codecs/CodecError.h"
#include "codecs/FrameParams.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace codecs {

enum class JpegProcess { Lossless, Dct, Unknown };

// T.81 B.1.1.3: SOF3 is lossless, SOF0/1/2 are DCT-based; SOF0/1 frames whose
// first scan has a predictor and no spectral selection are lossless too.
JpegProcess jpegProcessOf(std::span<const std::uint8_t> stream);

// T.81 B.2.2: the stream's first frame header.
struct JpegFrameHeader {
    std::uint8_t marker = 0; // SOFn
    int precision = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 0;
};

// Walks the marker segments from SOI to the first frame header without
// decoding anything; none when the stream has no whole one.
std::optional<JpegFrameHeader> readJpegFrameHeader(std::span<const std::uint8_t> stream);

// How a frame whose stream declares another size than the parameters' is
// placed: the stream's pixels go to the top-left corner and a larger stream
// is cropped; what the stream does not cover takes black, one value per
// sample as the caller defines it (zero unless given).
struct FramePlacement {
    std::array<std::uint16_t, 4> black {};
    std::uint32_t streamWidth = 0;  // out: the stream's own size
    std::uint32_t streamHeight = 0;
    bool placed = false;            // out: the sizes differed
};

// Decodes the frame into frame (rows x columns x samples, interleaved; bytes
// for bits allocated 8, host-order 16-bit samples for 16). frame is sized only
// once the stream's own frame header is known, so that a size forged in the
// data set costs no memory. A stream of another size is placed as placement
// says; one that covers less than a sixteenth of the frame's pixels, or has
// other samples, is Corrupt (5). Of a larger stream only the frame's part is
// decoded: the rows below it are not, and neither memory nor time grows with
// the stream's own size, so a forged stream header costs nothing either; one
// whose rows across the frame's height are more than JpegAdapter::maxCropWork
// of the frame's samples, or that the library must hold whole (progressive)
// and is that much larger, is Corrupt. 8-bit DCT streams go to libjpeg-turbo,
// those of precision 9 to 12 to the 12-bit IJG build, lossless ones to our
// decoder. Returns the decoder's warnings, at most one of each kind.
Result<std::vector<std::string>> decodeJpegFrame(std::span<const std::uint8_t> stream,
    const FrameParams& params, std::vector<std::uint8_t>& frame, FramePlacement* placement = nullptr);

} // namespace codecs
