#include "dicom/PixelFrames.h"

#include "base/ByteReader.h"
#include "dicom/JpegFrames.h"
#include "dicom/PixelErrors.h"
#include "dicom/RleDecoder.h"
#include "dicom/TagDictionary.h"

#include <algorithm>
#include <new>
#include <string>
#include <string_view>

namespace dicom {

namespace {

constexpr std::uint16_t PixelGroup = 0x7FE0;
constexpr std::uint16_t PixelDataElementNumber = 0x0010;
constexpr std::uint16_t ItemGroup = 0xFFFE;
constexpr std::uint16_t ItemElement = 0xE000;
constexpr std::uint16_t SequenceDelimiterElement = 0xE0DD;

base::Error corrupted(std::string detail)
{
    return base::Error{pixel_error::Corrupted, std::move(detail)};
}

// PS3.5 7.1.2: these VRs carry two reserved bytes and a 32-bit length.
bool hasLongLength(std::string_view vr)
{
    static constexpr std::string_view longVrs[] = {"OB", "OD", "OF", "OL", "OV", "OW", "SQ",
                                                   "SV", "UC", "UN", "UR", "UT", "UV"};
    return std::find(std::begin(longVrs), std::end(longVrs), vr) != std::end(longVrs);
}

std::size_t framesIn(std::int32_t numberOfFrames)
{
    return numberOfFrames < 1 ? 1 : static_cast<std::size_t>(numberOfFrames);
}

void swapWords(std::vector<std::uint8_t>& bytes)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        std::swap(bytes[i], bytes[i + 1]);
}

base::Result<std::size_t> extractNative(const PixelAttributes& attrs, const PixelSource& source,
                                        const PixelDataElement& element, const PaletteTables* palette,
                                        const FrameSink& emit)
{
    if (element.length == UndefinedLength)
        return corrupted("uncompressed pixel data has an undefined length");
    const auto frameBytes = storedFrameBytes(attrs);
    if (!frameBytes)
        return frameBytes.error();
    // A file cut short keeps the whole frames it still holds.
    const std::uint64_t available = std::min<std::uint64_t>(element.length, source.bytes.size() - element.valueOffset);
    const std::size_t count = std::min<std::uint64_t>(framesIn(attrs.numberOfFrames), available / *frameBytes);
    if (count == 0)
        return corrupted("pixel data shorter than one frame");
    // PS3.5 A.3: big endian swaps 16-bit samples, and every OW word.
    const bool swap = source.bigEndian && (attrs.bitsAllocated == 16 || std::string_view(element.vr) == "OW");
    const SampleLayout layout = attrs.planarConfiguration == 1 ? SampleLayout::Planar : SampleLayout::Interleaved;

    FrameNormaliser normalise(attrs, layout, palette);
    std::vector<std::uint8_t> swapped;
    for (std::size_t i = 0; i < count; ++i) {
        // The stride is the frame size, so bytes past the last frame shift nothing.
        auto raw = source.bytes.subspan(static_cast<std::size_t>(element.valueOffset) + i * *frameBytes, *frameBytes);
        if (swap) {
            swapped.assign(raw.begin(), raw.end());
            swapWords(swapped);
            raw = swapped;
        }
        auto frame = normalise(raw);
        if (!frame)
            return frame.error();
        if (auto taken = emit(std::move(*frame)); !taken)
            return taken.error();
    }
    return count;
}

base::Result<std::size_t> extractRle(const PixelAttributes& attrs, const PixelSource& source,
                                     const PixelDataElement& element, const PaletteTables* palette,
                                     const FrameSink& emit)
{
    if (attrs.bitsAllocated != 8 && attrs.bitsAllocated != 16)
        return base::Error{pixel_error::Unsupported, "RLE needs 8 or 16 bits allocated"};
    if (element.length != UndefinedLength)
        return corrupted("RLE pixel data must be encapsulated (undefined length)");
    auto data = readEncapsulated(source.bytes, element.valueOffset);
    if (!data)
        return data.error();
    const auto grouped = groupFragments(*data, attrs.numberOfFrames);
    const RleFrameShape shape{attrs.rows, attrs.columns, attrs.samplesPerPixel, attrs.bitsAllocated / 8};

    // G.2: segments are whole planes whatever Planar Configuration says.
    FrameNormaliser normalise(attrs, SampleLayout::Planar, palette);
    RleDecoder decoder;
    FragmentJoiner joiner;
    for (const auto& fragments : grouped) {
        auto planes = decoder.decode(joiner.join(fragments), shape);
        if (!planes)
            return planes.error();
        auto frame = normalise(*planes);
        if (!frame)
            return frame.error();
        if (auto taken = emit(std::move(*frame)); !taken)
            return taken.error();
    }
    return grouped.size();
}

DicomElement groupElement(std::uint16_t number, const char (&vr)[3], std::uint64_t valueOffset, std::uint32_t length)
{
    DicomElement e;
    e.group = PixelGroup;
    e.element = number;
    e.name = std::string(TagDictionary::name(e.tag()));
    if (vr[0] != 0)
        e.vr.assign(vr, 2);
    else if (auto known = TagDictionary::vr(e.tag()))
        e.vr = std::string(*known);
    // Offsets in a data set are 32-bit; the reader refuses larger files.
    e.valueOffset = static_cast<std::uint32_t>(std::min<std::uint64_t>(valueOffset, 0xFFFFFFFFull));
    e.length = length;
    return e;
}

// The elements of group 0x7FE0 as the element list keeps them once the frames
// are out: the pixel data without a value, their length that of the frames
// as stored uncompressed when they were encapsulated.
std::vector<DicomElement> pixelGroupElements(const PixelSource& source, const PixelDataElement& pixels,
                                             const PixelAttributes& attrs, std::size_t frameCount)
{
    std::vector<DicomElement> out;
    for (const PixelGroupEntry& entry : pixels.before) {
        DicomElement e = groupElement(entry.element, entry.vr, entry.valueOffset, entry.length);
        if (entry.element == 0x0000 && entry.length == 4 && entry.valueOffset + 4 <= source.bytes.size()) {
            e.setValue(source.bytes.subspan(static_cast<std::size_t>(entry.valueOffset), 4));
            base::ByteReader r(e.bytes(), source.bigEndian ? base::Endian::Big : base::Endian::Little);
            e.numericValue = static_cast<std::int32_t>(*r.u32());
        }
        out.push_back(std::move(e));
    }
    std::uint32_t length = pixels.length;
    if (length == UndefinedLength) {
        const auto frameBytes = storedFrameBytes(attrs);
        const std::uint64_t total = frameBytes ? std::uint64_t(*frameBytes) * frameCount : 0;
        // Saturated below 0xFFFFFFFF, which would read as "undefined".
        length = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UndefinedLength - 1));
    }
    out.push_back(groupElement(PixelDataElementNumber, pixels.vr, pixels.valueOffset, length));
    return out;
}

} // namespace

base::Result<PixelDataElement> findPixelData(const PixelSource& source)
{
    base::ByteReader r(source.bytes, source.bigEndian ? base::Endian::Big : base::Endian::Little);
    if (!r.seek(source.offset))
        return corrupted("pixel data offset outside the file");
    std::vector<PixelGroupEntry> before;
    while (true) {
        const auto group = r.u16();
        const auto elementNumber = r.u16();
        if (!group || !elementNumber)
            return corrupted("no pixel data");
        if (*group != PixelGroup)
            return corrupted("no pixel data");
        PixelDataElement element;
        std::uint32_t length = 0;
        if (source.implicitVr) {
            const auto l = r.u32();
            if (!l)
                return corrupted("pixel data element cut short");
            length = *l;
        } else {
            const auto vr = r.take(2);
            if (!vr)
                return corrupted("pixel data element cut short");
            element.vr[0] = static_cast<char>((*vr)[0]);
            element.vr[1] = static_cast<char>((*vr)[1]);
            if (hasLongLength(element.vr)) {
                const auto reserved = r.u16();
                const auto l = r.u32();
                if (!reserved || !l)
                    return corrupted("pixel data element cut short");
                if (*elementNumber == PixelDataElementNumber && *reserved != 0)
                    return corrupted("pixel data reserved bytes are not 0");
                length = *l;
            } else {
                const auto l = r.u16();
                if (!l)
                    return corrupted("pixel data element cut short");
                length = *l;
            }
        }
        element.valueOffset = r.position();
        element.length = length;
        if (*elementNumber == PixelDataElementNumber) {
            element.before = std::move(before);
            return element;
        }
        // (7FE0,0000), (7FE0,0001) and the like: listed, their values unused.
        if (length == UndefinedLength || !r.skip(length))
            return corrupted("element of group 7FE0 runs past the end of the file");
        PixelGroupEntry entry;
        entry.element = *elementNumber;
        entry.valueOffset = element.valueOffset;
        entry.length = length;
        std::copy(std::begin(element.vr), std::end(element.vr), std::begin(entry.vr));
        before.push_back(entry);
    }
}

base::Result<Encapsulated> readEncapsulated(std::span<const std::uint8_t> bytes, std::uint64_t valueOffset)
{
    // Encapsulated transfer syntaxes are all explicit VR little endian.
    base::ByteReader r(bytes);
    if (valueOffset > bytes.size() || !r.seek(static_cast<std::size_t>(valueOffset)))
        return corrupted("pixel data outside the file");
    Encapsulated data;
    auto readItemHeader = [&r]() -> std::optional<std::pair<std::uint16_t, std::uint32_t>> {
        const auto group = r.u16();
        const auto element = r.u16();
        const auto length = r.u32();
        if (!group || !element || !length || *group != ItemGroup)
            return std::nullopt;
        return std::pair{*element, *length};
    };

    // A.4: the first item is the basic offset table, possibly empty.
    const auto table = readItemHeader();
    if (!table || table->first != ItemElement)
        return corrupted("encapsulated pixel data does not start with an offset table item");
    const auto tableBytes = r.take(table->second);
    if (!tableBytes || table->second % 4 != 0)
        return corrupted("basic offset table runs past the end of the file or is not whole");
    base::ByteReader tableReader(*tableBytes);
    while (!tableReader.atEnd())
        data.offsetTable.push_back(*tableReader.u32());

    const std::size_t firstFragment = r.position();
    while (!r.atEnd()) {
        const std::size_t itemStart = r.position();
        const auto item = readItemHeader();
        if (!item)
            return corrupted("unexpected data inside encapsulated pixel data");
        if (item->first == SequenceDelimiterElement)
            break;
        if (item->first != ItemElement)
            return corrupted("unexpected item in encapsulated pixel data");
        const auto value = r.take(item->second);
        if (!value)
            return corrupted("pixel data fragment runs past the end of the file");
        data.fragments.push_back(*value);
        data.fragmentPositions.push_back(itemStart - firstFragment);
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

base::Result<PixelFrames> decodePixelData(const PixelAttributes& attrs, Compression compression,
                                          const PixelSource& source, const std::optional<PaletteTables>& palette,
                                          const FrameSink& sink)
{
    if (auto checked = checkPixelAttributes(attrs, compression); !checked)
        return checked.error();
    if (attrs.photometricKind() == Photometric::PaletteColor && !palette)
        return corrupted("palette colour image without palette tables");
    const auto element = findPixelData(source);
    if (!element)
        return element.error();

    try {
        const PaletteTables* tables = palette ? &*palette : nullptr;
        PixelFrames image;
        const FrameSink keep = [&image](Frame&& frame) -> base::Result<void> {
            image.frames.push_back(std::move(frame));
            return {};
        };
        const FrameSink& emit = sink ? sink : keep;
        const bool jpeg = compression == Compression::JpegLossy || compression == Compression::JpegLossless;
        auto count = jpeg ? extractJpeg(attrs, compression, source, *element, tables, emit)
                   : compression == Compression::Rle ? extractRle(attrs, source, *element, tables, emit)
                                                     : extractNative(attrs, source, *element, tables, emit);
        if (!count)
            return count.error();
        image.attributes = normalisedAttributes(attrs);
        image.attributes.numberOfFrames = static_cast<std::int32_t>(*count);
        image.compression = compression;
        image.palette = palette;
        image.elements = pixelGroupElements(source, *element, attrs, *count);
        return image;
    } catch (const std::bad_alloc&) {
        return base::Error{pixel_error::OutOfMemory, "out of memory extracting frames"};
    }
}

} // namespace dicom
