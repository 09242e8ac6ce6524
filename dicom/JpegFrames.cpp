#include "dicom/JpegFrames.h"

#include "codecs/JpegFrameDecoder.h"
#include "dicom/CodecErrors.h"
#include "dicom/DicomError.h"

#include <memory>
#include <string>

namespace dicom {

namespace {

codecs::DeclaredColour declaredColour(Photometric photometric)
{
    switch (photometric) {
    case Photometric::Rgb:
        return codecs::DeclaredColour::Rgb;
    case Photometric::YbrFull:
    case Photometric::YbrFull422:
        return codecs::DeclaredColour::Ybr;
    default:
        return codecs::DeclaredColour::Other;
    }
}

bool startsWithSoi(std::span<const std::uint8_t> fragment)
{
    return fragment.size() >= 2 && fragment[0] == 0xFF && fragment[1] == 0xD8;
}

} // namespace

std::vector<std::vector<std::span<const std::uint8_t>>> groupJpegFragments(const Encapsulated& data,
                                                                           std::int32_t numberOfFrames)
{
    const bool moreFragmentsThanFrames = numberOfFrames > 1 && data.fragments.size() > std::size_t(numberOfFrames);
    if (!data.offsetTable.empty() || !moreFragmentsThanFrames || !startsWithSoi(data.fragments.front()))
        return groupFragments(data, numberOfFrames);
    std::vector<std::vector<std::span<const std::uint8_t>>> frames;
    for (auto fragment : data.fragments) {
        if (frames.empty() || (startsWithSoi(fragment) && frames.size() < std::size_t(numberOfFrames)))
            frames.emplace_back();
        frames.back().push_back(fragment);
    }
    return frames;
}

codecs::FrameParams frameParamsOf(const PixelAttributes& attrs)
{
    codecs::FrameParams params;
    params.rows = attrs.rows;
    params.columns = attrs.columns;
    params.samplesPerPixel = static_cast<std::uint16_t>(attrs.samplesPerPixel);
    params.bitsAllocated = static_cast<std::uint16_t>(attrs.bitsAllocated);
    params.bitsStored = static_cast<std::uint16_t>(attrs.bitsStored);
    params.planarConfiguration = attrs.planarConfiguration;
    return params;
}

Result<FrameJobs> jpegJobs(const PixelAttributes& attrs, Compression compression, const PixelSource& source,
                                 const PaletteTables* palette)
{
    if (!source.location->encapsulated())
        return Error{DicomError::Corrupted, "JPEG pixel data must be encapsulated (undefined length)"};
    if (attrs.bitsAllocated != 8 && attrs.bitsAllocated != 16)
        return Error{DicomError::UnsupportedFormat, "JPEG frames need 8 or 16 bits allocated"};
    // The system JPEG library is built for 8-bit samples only.
    if (compression == Compression::JpegLossy && attrs.bitsStored != 8)
        return Error{DicomError::UnsupportedFormat,
                           "lossy JPEG frames with " + std::to_string(attrs.bitsStored) + " bits stored are not supported"};
    if (attrs.samplesPerPixel < 1)
        return Error{DicomError::UnsupportedFormat, "JPEG frames need at least one sample per pixel"};

    codecs::FrameParams params = frameParamsOf(attrs);
    params.declaredColour = declaredColour(attrs.photometricKind());
    if (params.frameBytes() == 0 || params.frameBytes() > MaxFrameBytes)
        return Error{DicomError::Corrupted, "JPEG frame size out of range"};

    auto data = encapsulatedFragments(source);
    if (!data)
        return data.error();
    auto grouped = std::make_shared<const std::vector<std::vector<std::span<const std::uint8_t>>>>(
        groupJpegFragments(*data, attrs.numberOfFrames));

    FrameJobs jobs;
    jobs.count = grouped->size();
    jobs.makeDecoder = [=, &attrs, warned = jobs.warnings]() -> FrameDecoder {
        return [=, &attrs, joiner = std::make_shared<FragmentJoiner>(),
                // Sized by the decoder once the stream's header matches.
                decoded = std::make_shared<std::vector<std::uint8_t>>()](std::size_t i) -> Result<Frame> {
            const std::span<const std::uint8_t> compressed = joiner->join((*grouped)[i]);
            auto warnings = codecs::decodeJpegFrame(compressed, params, *decoded);
            if (!warnings)
                return Error{fromCodecError(warnings.error().code), warnings.error().detail};
            warned->add(*warnings);
            // The JPEG library turns YCbCr into R, G, B; our lossless decoder keeps the stored samples.
            const bool library = codecs::jpegProcessOf(compressed) == codecs::JpegProcess::Dct;
            const SampleLayout layout = library && attrs.samplesPerPixel == 3 ? SampleLayout::DecodedRgb
                                                                              : SampleLayout::Interleaved;
            return normaliseFrame(*decoded, attrs, layout, palette);
        };
    };
    return jobs;
}

} // namespace dicom
