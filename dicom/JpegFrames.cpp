#include "dicom/JpegFrames.h"

#include "codecs/JpegFrameDecoder.h"
#include "dicom/CodecErrors.h"
#include "dicom/DicomError.h"

#include <algorithm>
#include <array>
#include <atomic>
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

} // namespace

std::array<std::uint16_t, 4> jpegBlackSamples(const PixelAttributes& attrs, bool decodedToRgb)
{
    const int bits = std::clamp<int>(attrs.bitsStored, 1, 16);
    const std::uint32_t top = (std::uint32_t(1) << bits) - 1;
    const std::uint32_t half = std::uint32_t(1) << (bits - 1);
    const bool isSigned = attrs.pixelRepresentation == 1;
    std::array<std::uint16_t, 4> black{};
    switch (attrs.photometricKind()) {
    case Photometric::Monochrome1:
        black[0] = static_cast<std::uint16_t>(isSigned ? half - 1 : top);
        break;
    case Photometric::Monochrome2:
        black[0] = static_cast<std::uint16_t>(isSigned ? half : 0);
        break;
    case Photometric::YbrFull:
    case Photometric::YbrFull422:
        if (!decodedToRgb)
            black[1] = black[2] = static_cast<std::uint16_t>(half);
        break;
    default:
        break;
    }
    return black;
}

namespace {

std::string placementWarning(std::size_t frame, const codecs::FramePlacement& placement, const PixelAttributes& attrs)
{
    const bool smaller = std::uint64_t(placement.streamWidth) * placement.streamHeight
        < std::uint64_t(attrs.columns) * attrs.rows;
    return "frame " + std::to_string(frame + 1) + ": JPEG stream is " + std::to_string(placement.streamWidth) + " x "
        + std::to_string(placement.streamHeight) + (smaller ? ", smaller" : ", larger") + " than the image's "
        + std::to_string(attrs.columns) + " x " + std::to_string(attrs.rows)
        + (smaller ? "; shown in the top-left corner" : "; cropped");
}


} // namespace

FrameGroups groupFragmentsByMarker(const Encapsulated& data, std::int32_t numberOfFrames, std::uint8_t marker)
{
    const auto startsFrame = [marker](std::span<const std::uint8_t> fragment) {
        return fragment.size() >= 2 && fragment[0] == 0xFF && fragment[1] == marker;
    };
    const bool moreFragmentsThanFrames = numberOfFrames > 1 && data.fragments.size() > std::size_t(numberOfFrames);
    if (!data.offsetTable.empty() || !moreFragmentsThanFrames || !startsFrame(data.fragments.front()))
        return groupFragments(data, numberOfFrames);
    FrameGroups frames;
    for (auto fragment : data.fragments) {
        if (frames.empty() || (startsFrame(fragment) && frames.size() < std::size_t(numberOfFrames)))
            frames.emplace_back();
        frames.back().push_back(fragment);
    }
    return frames;
}

FrameGroups groupJpegFragments(const Encapsulated& data, std::int32_t numberOfFrames)
{
    return groupFragmentsByMarker(data, numberOfFrames, 0xD8);
}

Result<EncapsulatedFrames> encapsulatedFrames(const PixelAttributes& attrs, const PixelSource& source,
                                              const std::string& codec, std::uint8_t startMarker)
{
    if (!source.location->encapsulated())
        return Error{DicomError::Corrupted, codec + " pixel data must be encapsulated (undefined length)"};
    if (attrs.bitsAllocated != 8 && attrs.bitsAllocated != 16)
        return Error{DicomError::UnsupportedFormat, codec + " frames need 8 or 16 bits allocated"};
    if (attrs.samplesPerPixel < 1)
        return Error{DicomError::UnsupportedFormat, codec + " frames need at least one sample per pixel"};
    EncapsulatedFrames out;
    out.params = frameParamsOf(attrs);
    if (out.params.frameBytes() == 0 || out.params.frameBytes() > MaxFrameBytes)
        return Error{DicomError::Corrupted, codec + " frame size out of range"};
    auto data = encapsulatedFragments(source);
    if (!data)
        return data.error();
    out.groups = std::make_shared<const FrameGroups>(groupFragmentsByMarker(*data, attrs.numberOfFrames, startMarker));
    return out;
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

Result<FrameJobs> jpegJobs(const PixelAttributes& attrs, Compression, const PixelSource& source,
                                 const PaletteTables* palette)
{
    auto frames = encapsulatedFrames(attrs, source, "JPEG", 0xD8);
    if (!frames)
        return frames.error();
    codecs::FrameParams params = frames->params;
    params.declaredColour = declaredColour(attrs.photometricKind());
    const auto grouped = frames->groups;

    FrameJobs jobs;
    jobs.count = grouped->size();
    // Only the first frame of another size is worth a warning.
    auto sizeWarned = std::make_shared<std::atomic<bool>>(false);
    jobs.makeDecoder = [=, &attrs, warned = jobs.warnings]() -> FrameDecoder {
        return [=, &attrs, joiner = std::make_shared<FragmentJoiner>(),
                // Sized by the decoder once the stream's header matches.
                decoded = std::make_shared<std::vector<std::uint8_t>>()](std::size_t i) -> Result<Frame> {
            const std::span<const std::uint8_t> compressed = joiner->join((*grouped)[i]);
            // The JPEG libraries turn YCbCr into R, G, B; our lossless decoder keeps the stored samples.
            const bool library = codecs::jpegProcessOf(compressed) == codecs::JpegProcess::Dct;
            codecs::FramePlacement placement;
            placement.black = jpegBlackSamples(attrs, library);
            auto warnings = codecs::decodeJpegFrame(compressed, params, *decoded, &placement);
            if (!warnings)
                return Error{fromCodecError(warnings.error().code), warnings.error().detail};
            if (placement.placed && !sizeWarned->exchange(true))
                warnings->push_back(placementWarning(i, placement, attrs));
            warned->add(*warnings);
            const SampleLayout layout = library && attrs.samplesPerPixel == 3 ? SampleLayout::DecodedRgb
                                                                              : SampleLayout::Interleaved;
            return normaliseFrame(*decoded, attrs, layout, palette);
        };
    };
    return jobs;
}

} // namespace dicom
