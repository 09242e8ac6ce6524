#include "dicom/J2kFrames.h"

#include "codecs/J2kAdapter.h"
#include "dicom/CodecErrors.h"
#include "dicom/JpegFrames.h"
#include "dicom/Normalisation.h"

#include <memory>
#include <string>

namespace dicom {

namespace {

// Pixel Representation decides how the samples are read, as GDCM and pydicom
// read them: a stream marked unsigned whose data set says signed holds the
// two's complement patterns of Bits Stored (a CT's -2000 stored as 6192 in 13
// bits), which the normalisation sign-extends. A precision above Bits Stored
// wins over Bits Stored, as the high bits would be lost otherwise.
std::shared_ptr<const PixelAttributes> streamAttributes(const PixelAttributes& attrs, const codecs::J2kHeader& header,
                                                        DecodeWarnings& warnings)
{
    if (header.isSigned != (attrs.pixelRepresentation == 1)) {
        warnings.add({"The JPEG 2000 stream is " + std::string(header.isSigned ? "signed" : "unsigned")
                      + " but Pixel Representation says " + (header.isSigned ? "unsigned" : "signed")
                      + ": Pixel Representation is used"});
    }
    if (header.precision <= attrs.bitsStored || header.precision > attrs.bitsAllocated)
        return nullptr;
    auto out = std::make_shared<PixelAttributes>(attrs);
    out->bitsStored = static_cast<std::int16_t>(header.precision);
    out->highBit = static_cast<std::int16_t>(header.precision - 1);
    warnings.add({"The JPEG 2000 stream's precision of " + std::to_string(header.precision)
                  + " bits exceeds Bits Stored: the stream's precision is used"});
    return out;
}

} // namespace

Result<FrameJobs> j2kJobs(const PixelAttributes& attrs, const PixelSource& source, const PaletteTables* palette)
{
    auto frames = encapsulatedFrames(attrs, source, "JPEG 2000", 0x4F);
    if (!frames)
        return frames.error();
    FrameJobs jobs;
    {
        FragmentJoiner joiner;
        const auto first = joiner.join(frames->groups->front());
        auto header = codecs::J2kAdapter::readHeader(first);
        if (!header)
            return Error{fromCodecError(header.error().code), header.error().detail};
        jobs.decodedAttributes = streamAttributes(attrs, *header, *jobs.warnings);
    }
    setStreamDecoder(jobs, *frames, attrs, palette, codecs::J2kAdapter::decodeFrame);
    return jobs;
}

} // namespace dicom
