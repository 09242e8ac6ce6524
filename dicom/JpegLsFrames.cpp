#include "dicom/JpegLsFrames.h"

#include "codecs/JpegLsAdapter.h"
#include "dicom/CodecErrors.h"
#include "dicom/JpegFrames.h"
#include "dicom/Normalisation.h"

#include <memory>

namespace dicom {

Result<FrameJobs> jpegLsJobs(const PixelAttributes& attrs, const PixelSource& source, const PaletteTables* palette)
{
    // Each JPEG-LS frame starts with SOI too, so the JPEG grouping applies.
    auto frames = encapsulatedFrames(attrs, source, "JPEG-LS", 0xD8);
    if (!frames)
        return frames.error();
    const codecs::FrameParams params = frames->params;
    const auto grouped = frames->groups;

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
