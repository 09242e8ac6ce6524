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
    FrameJobs jobs;
    setStreamDecoder(jobs, *frames, attrs, palette, codecs::JpegLsAdapter::decodeFrame);
    return jobs;
}

} // namespace dicom
