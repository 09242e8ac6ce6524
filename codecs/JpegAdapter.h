#pragma once

// The layer around the system JPEG library (libjpeg-turbo, libjpeg API 6.2):
// lossy frames and JPEG files are decoded, 8-bit grey and RGB pictures are
// written as baseline JPEG files. The library's error exit returns to us
// instead of ending the program; every call creates and destroys its own
// library object, so calls are independent of each other.
//
// A frame that the library rejects is Corrupt, or Unsupported for a legal
// stream it cannot decode (12-bit precision, lossless, CMYK/YCCK); files that
// cannot be opened are FileNotFound, failed reads and library errors on files
// FileIo.

#include "codecs/CodecError.h"
#include "codecs/FrameParams.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace codecs {

struct DecodedPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 0;                 // 1 grey, 3 R G B
    std::vector<std::uint8_t> pixels;   // rows top to bottom, components interleaved
    std::string warning;                // the library's first warning, if any
};

enum class PictureColour { Grey, Rgb };

class JpegAdapter {
public:
    // Largest picture we decode, to keep a forged header from asking for gigabytes.
    static constexpr std::uint64_t kMaxPictureBytes = std::uint64_t(1) << 30;

    // The samples a decoder may pass over to keep `keptSamples` of a larger
    // stream: 16 times those, or 2^24, whichever is more.
    static constexpr std::uint64_t maxCropWork(std::uint64_t keptSamples)
    {
        return keptSamples * 16 > (std::uint64_t(1) << 24) ? keptSamples * 16 : std::uint64_t(1) << 24;
    }

    static Result<DecodedPicture> decode(std::span<const std::uint8_t> input);

    // Decodes a lossy frame (bits allocated 8) whose size must match the
    // params' rows, columns and samples; YCbCr comes out as R, G, B. Only
    // the region is decoded and returned: the library crops the columns and
    // stops after the region's rows. A stream the library must hold whole
    // (progressive, one scan per component) is refused as Corrupt when it is
    // larger than maxCropWork of the region.
    static Result<DecodedPicture> decodeFrame(std::span<const std::uint8_t> input, const FrameParams& params,
        FrameRegion region = {});

    static Result<DecodedPicture> readFile(const std::filesystem::path& path);

    // Writes a baseline JPEG to a temporary name beside path and renames it
    // into place; on failure no file is left behind.
    static Result<void> writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> pixels,
        std::uint32_t width, std::uint32_t height, PictureColour colour, int quality);

    // The same baseline JPEG in memory, for writers that frame it themselves
    // (movie frames) or write it through their own temporary file.
    static Result<std::vector<std::uint8_t>> encode(std::span<const std::uint8_t> pixels, std::uint32_t width,
        std::uint32_t height, PictureColour colour, int quality);
};

} // namespace codecs
