// The secondary-capture builds of DicomWriter.h: the attributes of the SC
// Image and Multi-frame SC Image IODs (PS3.3 A.8) over frames held in memory.

#include "dicom/DicomWriter.h"

#include "dicom/Tags.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <new>

namespace dicom {

namespace {

enum class Kind { Grey8, Rgb8, Grey16 };

std::string dateText(const std::tm& t)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", (t.tm_year + 1900) % 10000, (t.tm_mon + 1) % 100,
                  t.tm_mday % 100);
    return buffer;
}

std::string timeText(const std::tm& t)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", t.tm_hour % 100, t.tm_min % 100, t.tm_sec % 100);
    return buffer;
}

std::string_view sopClassFor(Kind kind, std::size_t frames)
{
    if (frames <= 1)
        return SecondaryCaptureSop;
    switch (kind) {
    case Kind::Grey8: return MultiFrameGreyByteSop;
    case Kind::Rgb8: return MultiFrameTrueColourSop;
    case Kind::Grey16: return MultiFrameGreyWordSop;
    }
    return SecondaryCaptureSop;
}

// Everything but the frames, which the caller has put in the data set.
Result<DicomDataset> finishBuild(DicomDataset&& dataset, Kind kind, std::uint32_t columns, std::uint32_t rows,
                                 std::int32_t windowCentre, std::int32_t windowWidth, const std::tm& created)
{
    // A window is at least one value wide (PS3.3 C.11.2.1.2); an image of one
    // value has a width of 0 in the viewer.
    windowWidth = std::max(windowWidth, 1);
    const std::size_t frameCount = dataset.frames.size();
    const int samples = kind == Kind::Rgb8 ? 3 : 1;
    const int bits = kind == Kind::Grey16 ? 16 : 8;
    if (frameCount == 0 || columns == 0 || rows == 0 || columns > 0xFFFF || rows > 0xFFFF)
        return Error { DicomError::Corrupted, "no frames, or a size outside 1..65535" };
    const std::uint64_t frameBytes = std::uint64_t { columns } * rows * static_cast<std::uint64_t>(samples) * (bits / 8);
    const std::uint64_t total = frameBytes * frameCount;
    // An odd 8-bit total gets a pad byte, and the padded length must still fit.
    const std::uint64_t padded = total + (total % 2);
    if (padded > MaxPixelDataBytes)
        return Error { DicomError::Corrupted, "the pixel data would pass 4 GiB" };
    for (const base::Frame& f : dataset.frames) {
        const std::uint64_t held = kind == Kind::Grey16 ? f.samples.size() * 2 : f.bytes.size();
        if (held != frameBytes)
            return Error { DicomError::Corrupted, "a frame does not match the image size" };
    }

    dataset.implicitVr = true;
    dataset.hasPreamble = true;
    dataset.preamble.fill(0);
    dataset.prefix = { 'D', 'I', 'C', 'M' };
    dataset.compressionName = "NONE";
    dataset.image.samplesPerPixel = static_cast<std::int16_t>(samples);
    dataset.image.photometric = kind == Kind::Rgb8 ? "RGB " : "MONOCHROME2 ";
    dataset.image.numberOfFrames = static_cast<std::int32_t>(frameCount);
    dataset.image.rows = rows;
    dataset.image.columns = columns;
    dataset.image.bitsAllocated = static_cast<std::int16_t>(bits);
    dataset.image.bitsStored = static_cast<std::int16_t>(bits);
    dataset.image.highBit = static_cast<std::int16_t>(bits - 1);
    // Multi-frame grey word SC asks for unsigned samples (PS3.3 A.8.4.4.1);
    // single frames keep the signed samples of the viewer.
    dataset.image.pixelRepresentation = kind == Kind::Grey16 && frameCount == 1 ? 1 : 0;
    dataset.image.windowCentre = clampToInt16(windowCentre);
    dataset.image.windowWidth = clampToInt16(windowWidth);
    dataset.image.frameSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(frameBytes, 0xFFFFFFFFu));

    const std::string sop(sopClassFor(kind, frameCount));
    const std::string instance = generateUid();
    const std::array<std::uint8_t, 2> version = { 0x00, 0x01 };
    DicomDataset& d = dataset;
    setElement(d, { 0x0002, 0x0001 }, "OB", version);
    setText(d, { 0x0002, 0x0002 }, "UI", sop);
    setText(d, { 0x0002, 0x0003 }, "UI", instance);
    setText(d, { 0x0002, 0x0010 }, "UI", "1.2.840.10008.1.2.1");
    setText(d, { 0x0002, 0x0012 }, "UI", ImplementationClassUid);
    setText(d, { 0x0002, 0x0013 }, "SH", ImplementationVersionName);
    setText(d, { 0x0008, 0x0008 }, "CS", "ORIGINAL\\PRIMARY ");
    setText(d, { 0x0008, 0x0016 }, "UI", sop);
    setText(d, { 0x0008, 0x0018 }, "UI", instance);
    setText(d, { 0x0008, 0x0020 }, "DA", dateText(created));
    setText(d, { 0x0008, 0x0030 }, "TM", timeText(created));
    setText(d, { 0x0008, 0x0060 }, "CS", "OT");
    // Workstation: the pixels are what the user saw on screen (PS3.3 C.8.6.1).
    setText(d, { 0x0008, 0x0064 }, "CS", "WSD");
    setText(d, { 0x0008, 0x0070 }, "LO", "TOLAN VIEWER");
    // Type 2 attributes of the patient, study, series and image modules: present, empty as unknown.
    for (const base::Tag tag : { base::Tag { 0x0008, 0x0050 }, base::Tag { 0x0008, 0x0090 },
             base::Tag { 0x0010, 0x0010 }, base::Tag { 0x0010, 0x0020 }, base::Tag { 0x0010, 0x0030 },
             base::Tag { 0x0010, 0x0040 }, base::Tag { 0x0020, 0x0010 }, base::Tag { 0x0020, 0x0011 },
             base::Tag { 0x0020, 0x0013 }, base::Tag { 0x0020, 0x0020 }, base::Tag { 0x0020, 0x0060 } })
        setText(d, tag, "", "");
    setText(d, { 0x0020, 0x000D }, "UI", generateUid());
    setText(d, { 0x0020, 0x000E }, "UI", generateUid());
    setUs(d, { 0x0028, 0x0002 }, static_cast<std::uint16_t>(samples));
    setText(d, { 0x0028, 0x0004 }, "CS", dataset.image.photometric);
    if (samples == 3)
        setUs(d, { 0x0028, 0x0006 }, 0);
    setText(d, { 0x0028, 0x0008 }, "IS", std::to_string(frameCount) + " ");
    setUs(d, { 0x0028, 0x0010 }, static_cast<std::uint16_t>(rows));
    setUs(d, { 0x0028, 0x0011 }, static_cast<std::uint16_t>(columns));
    setUs(d, { 0x0028, 0x0100 }, static_cast<std::uint16_t>(bits));
    setUs(d, { 0x0028, 0x0101 }, static_cast<std::uint16_t>(bits));
    setUs(d, { 0x0028, 0x0102 }, static_cast<std::uint16_t>(bits - 1));
    setUs(d, { 0x0028, 0x0103 }, dataset.image.pixelRepresentation);
    setText(d, { 0x0028, 0x1050 }, "DS", formatDs(windowCentre));
    setText(d, { 0x0028, 0x1051 }, "DS", formatDs(windowWidth));
    if (frameCount > 1) {
        // Multi-frame SC Image module (PS3.3 C.8.6.3): frames step by Frame Time.
        const std::array<std::uint8_t, 4> frameTimeTag = { 0x18, 0x00, 0x63, 0x10 };
        setElement(d, { 0x0028, 0x0009 }, "AT", frameTimeTag);
        setFrameTime(d, 100.0);
        setText(d, { 0x0028, 0x0301 }, "CS", "NO");
        if (samples == 1) {
            setText(d, { 0x2050, 0x0020 }, "CS", "IDENTITY");
            setText(d, tags::RescaleIntercept, "DS", "0");
            setText(d, tags::RescaleSlope, "DS", "1");
            setText(d, tags::RescaleType, "LO", "US");
        }
    }
    DicomElement pixels;
    pixels.group = tags::PixelData.group;
    pixels.element = tags::PixelData.element;
    // PS3.5 8.2: OW for samples of more than 8 bits, OB for bytes.
    pixels.vr = bits > 8 ? "OW" : "OB";
    pixels.length = static_cast<std::uint32_t>(padded);
    setElement(d, std::move(pixels));
    return std::move(dataset);
}

Kind kindOf(base::FrameFormat format)
{
    switch (format) {
    case base::FrameFormat::Grey8: return Kind::Grey8;
    case base::FrameFormat::Rgb8: return Kind::Rgb8;
    case base::FrameFormat::Grey16: return Kind::Grey16;
    }
    return Kind::Grey8;
}

struct BitmapHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bitCount = 0;
    std::size_t bitsOffset = 0;
};

std::uint32_t readLe(std::span<const std::uint8_t> bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

// BITMAPINFOHEADER: size 0, width 4, height 8, bit count 14, compression 16, colours used 32.
Result<BitmapHeader> readBitmapHeader(std::span<const std::uint8_t> block)
{
    if (block.size() < 40)
        return Error { DicomError::Corrupted, "bitmap header cut short" };
    const std::uint32_t headerSize = readLe(block, 0, 4);
    BitmapHeader h;
    h.width = static_cast<std::int32_t>(readLe(block, 4, 4));
    h.height = static_cast<std::int32_t>(readLe(block, 8, 4));
    h.bitCount = static_cast<int>(readLe(block, 14, 2));
    const std::uint32_t colours = readLe(block, 32, 4);
    if (h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 && h.bitCount != 32)
        return Error { DicomError::UnknownFormat, "bitmap bit count" };
    if (headerSize < 40 || headerSize > block.size() || h.width <= 0 || h.height <= 0 || h.width > 0xFFFF
        || h.height > 0xFFFF || readLe(block, 16, 4) != 0 || colours > 256)
        return Error { DicomError::Corrupted, "bitmap header" };
    const std::uint64_t palette = h.bitCount == 8 ? std::uint64_t { colours == 0 ? 256u : colours } * 4 : 0;
    const std::uint64_t stride = (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.bitCount) + 31) / 32 * 4;
    h.bitsOffset = static_cast<std::size_t>(headerSize + palette);
    if (h.bitsOffset + stride * static_cast<std::uint64_t>(h.height) > block.size())
        return Error { DicomError::Corrupted, "bitmap bits cut short" };
    return h;
}

base::Frame bitmapFrame(std::span<const std::uint8_t> block, const BitmapHeader& h)
{
    const std::size_t width = static_cast<std::size_t>(h.width), height = static_cast<std::size_t>(h.height);
    const std::size_t stride = (width * static_cast<std::size_t>(h.bitCount) + 31) / 32 * 4;
    base::Frame frame;
    frame.format = h.bitCount == 8 ? base::FrameFormat::Grey8 : base::FrameFormat::Rgb8;
    frame.bytes.reserve(width * height * (h.bitCount == 8 ? 1 : 3));
    for (std::size_t y = 0; y < height; ++y) {
        // Bitmap rows run bottom-up; frames top-down.
        const std::uint8_t* row = block.data() + h.bitsOffset + (height - 1 - y) * stride;
        for (std::size_t x = 0; x < width; ++x) {
            switch (h.bitCount) {
            case 8: frame.bytes.push_back(row[x]); break;
            case 16: {
                const unsigned v = row[2 * x] | (unsigned { row[2 * x + 1] } << 8);
                for (const unsigned shift : { 10u, 5u, 0u }) {
                    const unsigned five = (v >> shift) & 0x1F;
                    frame.bytes.push_back(static_cast<std::uint8_t>((five << 3) | (five >> 2)));
                }
                break;
            }
            default: {
                const std::size_t step = static_cast<std::size_t>(h.bitCount / 8);
                // Stored blue, green, red.
                frame.bytes.insert(frame.bytes.end(), { row[step * x + 2], row[step * x + 1], row[step * x] });
            }
            }
        }
    }
    return frame;
}

// Stored value of a shown one; unsigned words hold their bit pattern in the int16.
// Readers show trunc(intercept + slope * stored), so of the whole numbers next
// to the exact inverse the one they map back to the shown value is taken: with
// a slope below 1, rounding alone can land one step short.
std::int16_t unrescale(std::int16_t value, const Rescale& r, bool unsignedWords)
{
    const double exact = (value - r.intercept) / r.slope;
    const double low = unsignedWords ? 0.0 : -32768.0;
    const double high = unsignedWords ? 65535.0 : 32767.0;
    double stored = std::clamp(std::round(exact), low, high);
    for (const double candidate : { std::floor(exact), std::ceil(exact) }) {
        const double c = std::clamp(candidate, low, high);
        if (std::trunc(r.intercept + r.slope * stored) != value && std::trunc(r.intercept + r.slope * c) == value)
            stored = c;
    }
    if (!unsignedWords)
        return static_cast<std::int16_t>(stored);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(stored));
}

} // namespace

Result<DicomDataset> buildFrom8(std::vector<std::vector<std::uint8_t>>&& frames, std::uint32_t columns,
                                std::uint32_t rows, bool colour, const std::tm& created)
{
    DicomDataset dataset;
    for (auto& bytes : frames)
        dataset.frames.push_back({ colour ? base::FrameFormat::Rgb8 : base::FrameFormat::Grey8, std::move(bytes), {} });
    return finishBuild(std::move(dataset), colour ? Kind::Rgb8 : Kind::Grey8, columns, rows, 128, 256, created);
}

Result<DicomDataset> buildFrom16(std::vector<std::vector<std::int16_t>>&& frames, std::uint32_t columns,
                                 std::uint32_t rows, std::int32_t windowWidth, std::int32_t windowCentre,
                                 const std::tm& created)
{
    DicomDataset dataset;
    const bool several = frames.size() > 1;
    for (auto& samples : frames) {
        if (several) {
            for (std::int16_t& v : samples)
                v = static_cast<std::int16_t>(static_cast<std::uint16_t>(v + 32768));
        }
        dataset.frames.push_back({ base::FrameFormat::Grey16, {}, std::move(samples) });
    }
    auto built = finishBuild(std::move(dataset), Kind::Grey16, columns, rows, windowCentre, windowWidth, created);
    if (built && several)
        setText(*built, tags::RescaleIntercept, "DS", "-32768");
    return built;
}

Result<DicomDataset> buildFromBitmaps(std::span<const std::span<const std::uint8_t>> bitmaps, const std::tm& created)
{
    DicomDataset dataset;
    BitmapHeader first;
    for (std::size_t i = 0; i < bitmaps.size(); ++i) {
        auto header = readBitmapHeader(bitmaps[i]);
        if (!header)
            return header.error();
        if (i == 0)
            first = *header;
        else if (header->width != first.width || header->height != first.height
                 || (header->bitCount == 8) != (first.bitCount == 8))
            return Error { DicomError::UnsupportedFormat, "bitmaps differ in size or kind" };
        try {
            dataset.frames.push_back(bitmapFrame(bitmaps[i], *header));
        } catch (const std::bad_alloc&) {
            return Error { DicomError::OutOfMemory, {} };
        }
    }
    const Kind kind = first.bitCount == 8 ? Kind::Grey8 : Kind::Rgb8;
    return finishBuild(std::move(dataset), kind, static_cast<std::uint32_t>(first.width),
                       static_cast<std::uint32_t>(first.height), 128, 256, created);
}

Result<DicomDataset> buildForSave(SaveFrames&& source, const std::tm& created)
{
    if (source.frames.empty())
        return Error { DicomError::Corrupted, "no frames" };
    const base::FrameFormat format = source.frames.front().format;
    for (const base::Frame& f : source.frames) {
        if (f.format != format)
            return Error { DicomError::UnsupportedFormat, "frames differ in kind" };
    }
    DicomDataset dataset;
    std::optional<Rescale> rescale = source.rescale;
    const bool unsignedWords = format == base::FrameFormat::Grey16 && source.frames.size() > 1;
    if (unsignedWords) {
        // Unsigned samples for the multi-frame IOD: the intercept moves down by 32768 steps.
        if (!rescale)
            rescale = Rescale {};
        rescale->intercept -= 32768.0 * rescale->slope;
    }
    if (format == base::FrameFormat::Grey16 && rescale) {
        // Undo with the numbers as the file will state them, so that a reader
        // applying the written DS texts gets the values shown.
        rescale->intercept = std::strtod(formatDs(rescale->intercept).c_str(), nullptr);
        rescale->slope = std::strtod(formatDs(rescale->slope).c_str(), nullptr);
        if (!std::isfinite(rescale->slope) || rescale->slope == 0.0 || !std::isfinite(rescale->intercept))
            rescale.reset();
    }
    try {
        for (base::Frame& f : source.frames) {
            if (format == base::FrameFormat::Grey16 && rescale) {
                for (std::int16_t& v : f.samples)
                    v = unrescale(v, *rescale, unsignedWords);
            }
            dataset.frames.push_back(std::move(f));
        }
    } catch (const std::bad_alloc&) {
        return Error { DicomError::OutOfMemory, {} };
    }
    const Kind kind = kindOf(format);
    const bool grey8 = kind != Kind::Grey16;
    auto built = finishBuild(std::move(dataset), kind, source.columns, source.rows, grey8 ? 128 : source.windowCentre,
                             grey8 ? 256 : source.windowWidth, created);
    if (!built)
        return built;
    if (kind == Kind::Grey16 && rescale) {
        setText(*built, tags::RescaleIntercept, "DS", formatDs(rescale->intercept));
        setText(*built, tags::RescaleSlope, "DS", formatDs(rescale->slope));
        setText(*built, tags::RescaleType, "LO", rescale->type.empty() ? "US" : rescale->type);
    }
    if (source.frameTimeMs > 0.0 && built->frames.size() > 1)
        setFrameTime(*built, source.frameTimeMs);
    return built;
}

} // namespace dicom
