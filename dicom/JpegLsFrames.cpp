#include "dicom/JpegLsFrames.h"

#include "codecs/JpegLsAdapter.h"
#include "dicom/CodecErrors.h"
#include "dicom/JpegFrames.h"
#include "dicom/Normalisation.h"

#include <memory>

namespace dicom {

Result<FrameJobs> jpegLsJobs(const PixelAttributes& attrs, const PixelSource& source, const PaletteTables* palette)
{
    if (!source.location->encapsulated())
        return Error{DicomError::Corrupted, "JPEG-LS pixel data must be encapsulated (undefined length)"};
    if (attrs.bitsAllocated != 8 && attrs.bitsAllocated != 16)
        return Error{DicomError::UnsupportedFormat, "JPEG-LS frames need 8 or 16 bits allocated"};
    if (attrs.samplesPerPixel < 1)
        return Error{DicomError::UnsupportedFormat, "JPEG-LS frames need at least one sample per pixel"};

    const codecs::FrameParams params = frameParamsOf(attrs);
    if (params.frameBytes() == 0 || params.frameBytes() > MaxFrameBytes)
        return Error{DicomError::Corrupted, "JPEG-LS frame size out of range"};

    auto data = encapsulatedFragments(source);
    if (!data)
        return data.error();
    // Each JPEG-LS frame starts with SOI too, so the JPEG grouping applies.
    auto grouped = std::make_shared<const std::vector<std::vector<std::span<const std::uint8_t>>>>(
        groupJpegFragments(*data, attrs.numberOfFrames));

    FrameJobs jobs;
    jobs.count = grouped->size();
    jobs.makeDecoder = [=, &attrs]() -> FrameDecoder {
        return [=, joiner = std::make_shared<FragmentJoiner>(),
                decoded = std::make_shared<std::vector<std::uint8_t>>(),
                normalise = std::make_shared<FrameNormaliser>(attrs, SampleLayout::Interleaved, palette)](
                   std::size_t i) -> Result<Frame> {
            auto done = codecs::JpegLsAdapter::decodeFrame(joiner->join((*grouped)[i]), params, *decoded);
            if (!done)
                return Error{fromCodecError(done.error().code), done.error().detail};
            return (*normalise)(*decoded);
        };
    };
    return jobs;
}

} // namespace dicom
