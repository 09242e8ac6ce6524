#include "dicom/J2kFrames.h"

#include "codecs/J2kAdapter.h"
#include "dicom/CodecErrors.h"
#include "dicom/JpegFrames.h"
#include "dicom/Normalisation.h"

#include <memory>
#include <string>

namespace dicom {

namespace {

// pydicom's rule: the stream's signedness wins over Pixel Representation, and
// a precision above Bits Stored over Bits Stored.
std::shared_ptr<const PixelAttributes> streamAttributes(const PixelAttributes& attrs, const codecs::J2kHeader& header,
                                                        DecodeWarnings& warnings)
{
    auto out = std::make_shared<PixelAttributes>(attrs);
    bool changed = false;
    if (header.isSigned != (attrs.pixelRepresentation == 1)) {
        out->pixelRepresentation = header.isSigned ? 1 : 0;
        warnings.add({"The JPEG 2000 stream is " + std::string(header.isSigned ? "signed" : "unsigned")
                      + " but Pixel Representation says otherwise: the stream's signedness is used"});
        changed = true;
    }
    if (header.precision > attrs.bitsStored && header.precision <= attrs.bitsAllocated) {
        out->bitsStored = static_cast<std::int16_t>(header.precision);
        out->highBit = static_cast<std::int16_t>(header.precision - 1);
        warnings.add({"The JPEG 2000 stream's precision of " + std::to_string(header.precision)
                      + " bits exceeds Bits Stored: the stream's precision is used"});
        changed = true;
    }
    return changed ? out : nullptr;
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
