#pragma once

// Extraction of "JPEG LOSSY" and "JPEG LOSSLESS" frames: the fragments of each
// frame are joined and decoded by the codecs (our lossless decoder, or a JPEG
// library for 8- or 12-bit DCT data, whichever the stream's frame header
// names), then normalised like every other frame.

#include "codecs/FrameParams.h"
#include "dicom/CodecErrors.h"
#include "dicom/DicomError.h"
#include "dicom/Normalisation.h"
#include "dicom/PaletteColour.h"
#include "dicom/PixelAttributes.h"
#include "dicom/PixelFrames.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace dicom {

using FrameGroups = std::vector<std::vector<std::span<const std::uint8_t>>>;

// PS3.5 A.4: with an offset table, by its entries; without one, a frame may
// still span several fragments, and each frame's stream starts with FF and
// the given marker (D8, SOI, for JPEG and JPEG-LS; 4F, SOC, for JPEG 2000).
FrameGroups groupFragmentsByMarker(const Encapsulated& data, std::int32_t numberOfFrames, std::uint8_t marker);
FrameGroups groupJpegFragments(const Encapsulated& data, std::int32_t numberOfFrames);

// What every encapsulated codec starts from: the attributes checked (8 or 16
// bits allocated, at least one sample, a frame within our bound), the
// parameters the codec checks each stream against, and the fragments of each
// frame. Errors name the codec.
struct EncapsulatedFrames {
    codecs::FrameParams params;
    std::shared_ptr<const FrameGroups> groups;
};
Result<EncapsulatedFrames> encapsulatedFrames(const PixelAttributes& attrs, const PixelSource& source,
                                              const std::string& codec, std::uint8_t startMarker);

// Gives jobs a decoder per thread that joins frame i's fragments, decodes
// them with decode(stream, params, out) (a codec's decodeFrame), and
// normalises the samples, interleaved per pixel, with jobs.decodedAttributes
// when set, else attrs.
template <typename Decode>
void setStreamDecoder(FrameJobs& jobs, const EncapsulatedFrames& frames, const PixelAttributes& attrs,
                      const PaletteTables* palette, Decode decode)
{
    jobs.count = frames.groups->size();
    jobs.makeDecoder = [grouped = frames.groups, params = frames.params, decodedAttrs = jobs.decodedAttributes,
                        &attrs, palette, decode]() -> FrameDecoder {
        const PixelAttributes& used = decodedAttrs ? *decodedAttrs : attrs;
        return [=, joiner = std::make_shared<FragmentJoiner>(), decoded = std::make_shared<std::vector<std::uint8_t>>(),
                normalise = std::make_shared<FrameNormaliser>(used, SampleLayout::Interleaved, palette)](
                   std::size_t i) -> Result<Frame> {
            auto done = decode(joiner->join((*grouped)[i]), params, *decoded);
            if (!done)
                return Error{fromCodecError(done.error().code), done.error().detail};
            return (*normalise)(*decoded);
        };
    };
}

// What the JPEG and JPEG-LS codecs check a stream against: the frame's size,
// samples, bits and planar configuration as the attributes give them.
codecs::FrameParams frameParamsOf(const PixelAttributes& attrs);

// What a frame's area outside a smaller JPEG stream shows: the sample values
// of least intensity, as stored (before normalisation). That is 0 for
// MONOCHROME2 and for the R, G, B the JPEG library makes of YCbCr; the largest
// value for MONOCHROME1, which shows it darkest; the most negative one
// (bits-stored two's complement) for signed data; and for stored YBR samples
// (lossless) Y = 0 with neutral chroma. A palette's entry 0 is taken as is.
std::array<std::uint16_t, 4> jpegBlackSamples(const PixelAttributes& attrs, bool decodedToRgb);

// One decode a frame: the fragments of each are joined and decoded by the
// codecs, then normalised. Codec failures keep their codes (3 unsupported,
// 5 corrupted, 1 out of memory). Each frame's buffer is sized only once its
// stream's own header is known; a stream of another size is placed in the
// frame's top-left corner over jpegBlackSamples, or cropped, and the first
// such frame adds one warning. The decoders' warnings go to the jobs' warnings.
Result<FrameJobs> jpegJobs(const PixelAttributes& attrs, Compression compression, const PixelSource& source,
                                 const PaletteTables* palette);

} // namespace dicom
