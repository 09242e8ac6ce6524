#include "dicom/J2kFrames.h"

#include "codecs/J2kAdapter.h"
#include "dicom/CodecErrors.h"
#include "dicom/JpegFrames.h"
#include "dicom/Normalisation.h"

#include <memory>
#include <string>

namespace dicom {

namespace {

bool startsWithSoc(std::span<const std::uint8_t> fragment)
{
    return fragment.size() >= 2 && fragment[0] == 0xFF && fragment[1] == 0x4F;
}

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

std::vector<std::vector<std::span<const std::uint8_t>>> groupJ2kFragments(const Encapsulated& data,
                                                                          std::int32_t numberOfFrames)
{
    const bool moreFragmentsThanFrames = numberOfFrames > 1 && data.fragments.size() > std::size_t(numberOfFrames);
    if (!data.offsetTable.empty() || !moreFragmentsThanFrames || !startsWithSoc(data.fragments.front()))
        return groupFragments(data, numberOfFrames);
    std::vector<std::vector<std::span<const std::uint8_t>>> frames;
    for (auto fragment : data.fragments) {
        if (frames.empty() || (startsWithSoc(fragment) && frames.size() < std::size_t(numberOfFrames)))
            frames.emplace_back();
        frames.back().push_back(fragment);
    }
    return frames;
}

Result<FrameJobs> j2kJobs(const PixelAttributes& attrs, const PixelSource& source, const PaletteTables* palette)
{
    if (!source.location->encapsulated())
        return Error{DicomError::Corrupted, "JPEG 2000 pixel data must be encapsulated (undefined length)"};
    if (attrs.bitsAllocated != 8 && attrs.bitsAllocated != 16)
        return Error{DicomError::UnsupportedFormat, "JPEG 2000 frames need 8 or 16 bits allocated"};
    if (attrs.samplesPerPixel < 1)
        return Error{DicomError::UnsupportedFormat, "JPEG 2000 frames need at least one sample per pixel"};
    const codecs::FrameParams params = frameParamsOf(attrs);
    if (params.frameBytes() == 0 || params.frameBytes() > MaxFrameBytes)
        return Error{DicomError::Corrupted, "JPEG 2000 frame size out of range"};

    auto data = encapsulatedFragments(source);
    if (!data)
        return data.error();
    auto grouped = std::make_shared<const std::vector<std::vector<std::span<const std::uint8_t>>>>(
        groupJ2kFragments(*data, attrs.numberOfFrames));

    FrameJobs jobs;
    jobs.count = grouped->size();
    {
        FragmentJoiner joiner;
        const auto first = joiner.join(grouped->front());
        auto header = codecs::J2kAdapter::readHeader(first);
        if (!header)
            return Error{fromCodecError(header.error().code), header.error().detail};
        jobs.decodedAttributes = streamAttributes(attrs, *header, *jobs.warnings);
    }
    const auto decodedAttrs = jobs.decodedAttributes;
    jobs.makeDecoder = [=, &attrs]() -> FrameDecoder {
        const PixelAttributes& used = decodedAttrs ? *decodedAttrs : attrs;
        return [=, joiner = std::make_shared<FragmentJoiner>(), decoded = std::make_shared<std::vector<std::uint8_t>>(),
                normalise = std::make_shared<FrameNormaliser>(used, SampleLayout::Interleaved, palette)](
                   std::size_t i) -> Result<Frame> {
            auto done = codecs::J2kAdapter::decodeFrame(joiner->join((*grouped)[i]), params, *decoded);
            if (!done)
                return Error{fromCodecError(done.error().code), done.error().detail};
            return (*normalise)(*decoded);
        };
    };
    return jobs;
}

} // namespace dicom
