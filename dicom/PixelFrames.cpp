#include "dicom/PixelFrames.h"

#include "dicom/JpegFrames.h"
#include "dicom/JpegLsFrames.h"
#include "dicom/J2kFrames.h"
#include "dicom/DicomError.h"
#include "dicom/RleDecoder.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <string_view>

namespace dicom {

namespace {

Error corrupted(std::string detail)
{
    return Error{DicomError::Corrupted, std::move(detail)};
}

std::size_t framesIn(std::int32_t numberOfFrames)
{
    return numberOfFrames < 1 ? 1 : static_cast<std::size_t>(numberOfFrames);
}

// Fills out with bytes [start, start + out.size()) of value after swapping
// each 16-bit word of the whole value; a last byte without a partner stays.
void copySwapped(std::span<const std::uint8_t> value, std::size_t start, std::span<std::uint8_t> out)
{
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::size_t partner = (start + i) ^ 1u;
        out[i] = partner < value.size() ? value[partner] : value[start + i];
    }
}

Result<FrameJobs> nativeJobs(const PixelAttributes& attrs, const PixelSource& source,
                                   const PaletteTables* palette)
{
    const PixelDataLocation& element = *source.location;
    if (element.encapsulated())
        return corrupted("uncompressed pixel data has an undefined length");
    const auto frameBytes = storedFrameBytes(attrs);
    if (!frameBytes)
        return frameBytes.error();
    if (element.valueOffset > source.bytes.size())
        return corrupted("pixel data outside the file");
    // A file cut short keeps the whole frames it still holds.
    const std::uint64_t available = std::min<std::uint64_t>(element.length, source.bytes.size() - element.valueOffset);
    const std::size_t count = std::min<std::uint64_t>(framesIn(attrs.numberOfFrames), available / *frameBytes);
    if (count == 0)
        return corrupted("pixel data shorter than one frame");
    // PS3.5 A.3: big endian swaps 16-bit samples, and every OW word. The
    // words are those of the whole value, so a frame that starts on an odd
    // byte (8-bit samples in OW, an odd count a frame) is swapped with the
    // byte before or after it, pad byte included.
    const bool swap = source.bigEndian && (attrs.bitsAllocated == 16 || element.vr == "OW");
    const SampleLayout layout = attrs.planarConfiguration == 1 ? SampleLayout::Planar : SampleLayout::Interleaved;
    const std::span<const std::uint8_t> value = source.bytes.subspan(static_cast<std::size_t>(element.valueOffset),
                                                                     static_cast<std::size_t>(available));
    const std::size_t stride = *frameBytes;
    FrameJobs jobs;
    jobs.count = count;
    jobs.makeDecoder = [=, &attrs]() -> FrameDecoder {
        return [=, normalise = FrameNormaliser(attrs, layout, palette),
                swapped = std::vector<std::uint8_t>()](std::size_t i) mutable -> Result<Frame> {
            // The stride is the frame size, so bytes past the last frame shift nothing.
            auto raw = value.subspan(i * stride, stride);
            if (swap) {
                swapped.resize(stride);
                copySwapped(value, i * stride, swapped);
                raw = swapped;
            }
            return normalise(raw);
        };
    };
    return jobs;
}

Result<FrameJobs> rleJobs(const PixelAttributes& attrs, const PixelSource& source,
                                const PaletteTables* palette)
{
    if (attrs.bitsAllocated != 8 && attrs.bitsAllocated != 16)
        return Error{DicomError::UnsupportedFormat, "RLE needs 8 or 16 bits allocated"};
    if (!source.location->encapsulated())
        return corrupted("RLE pixel data must be encapsulated (undefined length)");
    auto data = encapsulatedFragments(source);
    if (!data)
        return data.error();
    auto grouped = std::make_shared<const std::vector<std::vector<std::span<const std::uint8_t>>>>(
        groupFragments(*data, attrs.numberOfFrames));
    const RleFrameShape shape{attrs.rows, attrs.columns, attrs.samplesPerPixel, attrs.bitsAllocated / 8};
    FrameJobs jobs;
    jobs.count = grouped->size();
    jobs.makeDecoder = [=, &attrs]() -> FrameDecoder {
        // G.2: segments are whole planes whatever Planar Configuration says.
        return [=, normalise = FrameNormaliser(attrs, SampleLayout::Planar, palette), decoder = std::make_shared<RleDecoder>(),
                joiner = std::make_shared<FragmentJoiner>()](std::size_t i) mutable -> Result<Frame> {
            auto planes = decoder->decode(joiner->join((*grouped)[i]), shape);
            if (!planes)
                return planes.error();
            return normalise(*planes);
        };
    };
    return jobs;
}

} // namespace

void DecodeWarnings::add(const std::vector<std::string>& texts)
{
    std::lock_guard lock(m_mutex);
    for (const std::string& text : texts) {
        if (std::find(m_texts.begin(), m_texts.end(), text) == m_texts.end())
            m_texts.push_back(text);
    }
}

std::vector<std::string> DecodeWarnings::take()
{
    std::lock_guard lock(m_mutex);
    return std::move(m_texts);
}

Result<Encapsulated> encapsulatedFragments(const PixelSource& source)
{
    const PixelDataLocation& where = *source.location;
    if (!where.fault.empty())
        return corrupted(where.fault);
    Encapsulated data;
    data.offsetTable = where.offsetTable;
    for (const PixelFragment& fragment : where.fragments) {
        // The reader checked each fragment against the file it read.
        if (fragment.offset > source.bytes.size() || fragment.length > source.bytes.size() - fragment.offset)
            return corrupted("pixel data fragment runs past the end of the file");
        data.fragments.push_back(source.bytes.subspan(static_cast<std::size_t>(fragment.offset), fragment.length));
        data.fragmentPositions.push_back(fragment.itemPosition);
    }
    if (data.fragments.empty())
        return corrupted("encapsulated pixel data holds no fragments");
    return data;
}

std::vector<std::vector<std::span<const std::uint8_t>>> groupFragments(const Encapsulated& data,
                                                                       std::int32_t numberOfFrames)
{
    std::vector<std::vector<std::span<const std::uint8_t>>> frames;
    const auto& table = data.offsetTable;
    const auto& positions = data.fragmentPositions;
    // A table is usable when its entries ascend from 0 and each names a fragment start.
    bool tableUsable = !table.empty() && table.front() == 0 && table.size() <= data.fragments.size();
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; tableUsable && i < table.size(); ++i) {
        const auto it = std::lower_bound(positions.begin(), positions.end(), table[i]);
        tableUsable = it != positions.end() && *it == table[i] && (i == 0 || table[i] > table[i - 1]);
        starts.push_back(static_cast<std::size_t>(it - positions.begin()));
    }
    if (tableUsable) {
        starts.push_back(data.fragments.size());
        for (std::size_t f = 0; f + 1 < starts.size(); ++f)
            frames.emplace_back(data.fragments.begin() + static_cast<std::ptrdiff_t>(starts[f]),
                                data.fragments.begin() + static_cast<std::ptrdiff_t>(starts[f + 1]));
        return frames;
    }
    const std::size_t wanted = table.empty() ? framesIn(numberOfFrames) : table.size();
    if (wanted == 1) {
        frames.emplace_back(data.fragments.begin(), data.fragments.end());
        return frames;
    }
    const std::size_t count = std::min(wanted, data.fragments.size());
    for (std::size_t f = 0; f < count; ++f)
        frames.push_back({data.fragments[f]});
    return frames;
}

std::span<const std::uint8_t> FragmentJoiner::join(const std::vector<std::span<const std::uint8_t>>& fragments)
{
    if (fragments.size() == 1)
        return fragments.front();
    m_joined.clear();
    for (auto fragment : fragments)
        m_joined.insert(m_joined.end(), fragment.begin(), fragment.end());
    return m_joined;
}

Result<PixelFrames> decodePixelData(const PixelAttributes& attrs, Compression compression,
                                          const PixelSource& source, const std::optional<PaletteTables>& palette,
                                          const FrameSink& sink, unsigned threads)
{
    if (auto checked = checkPixelAttributes(attrs, compression); !checked)
        return checked.error();
    if (attrs.photometricKind() == Photometric::PaletteColor && !palette)
        return corrupted("palette colour image without palette tables");
    if (!source.location || !source.location->found)
        return corrupted("no pixel data");

    try {
        const PaletteTables* tables = palette ? &*palette : nullptr;
        PixelFrames image;
        const FrameSink keep = [&image](Frame&& frame) -> Result<void> {
            image.frames.push_back(std::move(frame));
            return {};
        };
        const bool jpeg = compression == Compression::JpegLossy || compression == Compression::JpegLossless;
        const bool jpegLs = compression == Compression::JpegLsLossless || compression == Compression::JpegLsNearLossless;
        auto jobs = jpeg ? jpegJobs(attrs, compression, source, tables)
                  : jpegLs ? jpegLsJobs(attrs, source, tables)
                  : isJpeg2000(compression) ? j2kJobs(attrs, source, tables)
                  : compression == Compression::Rle ? rleJobs(attrs, source, tables)
                                                    : nativeJobs(attrs, source, tables);
        if (!jobs)
            return jobs.error();
        if (!sink)
            image.frames.reserve(jobs->count);
        auto count = decodeFrames(jobs->count, jobs->makeDecoder, sink ? sink : keep, threads);
        if (!count)
            return count.error();
        image.warnings = jobs->warnings->take();
        if (const auto stored = storedFrameBytes(attrs))
            image.storedFrameBytes = *stored;
        image.attributes = normalisedAttributes(jobs->decodedAttributes ? *jobs->decodedAttributes : attrs);
        image.attributes.numberOfFrames = static_cast<std::int32_t>(*count);
        image.compression = compression;
        image.palette = palette;
        return image;
    } catch (const std::bad_alloc&) {
        return Error{DicomError::OutOfMemory, "out of memory extracting frames"};
    }
}

} // namespace dicom
