#include "dicom/PixelModule.h"

#include "dicom/ElementDecoder.h"
#include "dicom/NumberParsing.h"
#include "dicom/PixelAspect.h"
#include "dicom/DicomError.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace dicom {

namespace {


constexpr std::size_t MaxPhotometric = 47;
constexpr std::size_t MaxCaption = 126;

std::int16_t toInt16(std::int32_t v)
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

enum class PaletteElement { Table, Segmented, Descriptor };

// Which colour a palette element holds (0 red, 1 green, 2 blue, -1 none) and
// what it is. The retired "large" tables are read like the ordinary ones.
int paletteChannel(const DicomElement& e, PaletteElement& kind)
{
    static constexpr std::array<std::pair<base::Tag, PaletteElement>, 12> elements{{
        {tags::RedPaletteColorLookupTableData, PaletteElement::Table},
        {tags::GreenPaletteColorLookupTableData, PaletteElement::Table},
        {tags::BluePaletteColorLookupTableData, PaletteElement::Table},
        {tags::LargeRedPaletteColorLookupTableData, PaletteElement::Table},
        {tags::LargeGreenPaletteColorLookupTableData, PaletteElement::Table},
        {tags::LargeBluePaletteColorLookupTableData, PaletteElement::Table},
        {tags::SegmentedRedPaletteColorLookupTableData, PaletteElement::Segmented},
        {tags::SegmentedGreenPaletteColorLookupTableData, PaletteElement::Segmented},
        {tags::SegmentedBluePaletteColorLookupTableData, PaletteElement::Segmented},
        {tags::RedPaletteColorLookupTableDescriptor, PaletteElement::Descriptor},
        {tags::GreenPaletteColorLookupTableDescriptor, PaletteElement::Descriptor},
        {tags::BluePaletteColorLookupTableDescriptor, PaletteElement::Descriptor},
    }};
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (e.tag() == elements[i].first) {
            kind = elements[i].second;
            return static_cast<int>(i % 3);
        }
    }
    return -1;
}

// PS3.3 C.7.6.3.1.5: the descriptor's third value is the entry width, 8 or
// 16 bits; without a usable one the entries' own range decides.
int entryBits(std::span<const std::uint8_t> descriptor, bool bigEndian, std::span<const std::uint16_t> entries)
{
    if (descriptor.size() >= 6) {
        const int bits = bigEndian ? descriptor[4] << 8 | descriptor[5] : descriptor[5] << 8 | descriptor[4];
        if (bits == 8 || bits == 16)
            return bits;
    }
    return std::any_of(entries.begin(), entries.end(), [](std::uint16_t v) { return v > 0xFF; }) ? 16 : 8;
}

std::vector<std::uint16_t> wordsOf(std::span<const std::uint8_t> bytes, bool bigEndian)
{
    std::vector<std::uint16_t> words(bytes.size() / 2);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::uint8_t lo = bytes[2 * i + (bigEndian ? 1 : 0)];
        const std::uint8_t hi = bytes[2 * i + (bigEndian ? 0 : 1)];
        words[i] = static_cast<std::uint16_t>(hi << 8 | lo);
    }
    return words;
}

// Only the first 256 entries can be indexed by 8-bit pixels, which are the
// only ones a palette colours.
Result<PaletteTables> readSegmentedTables(const std::span<const std::uint8_t> (&segmented)[3],
                                          const std::span<const std::uint8_t> (&descriptors)[3], bool bigEndian)
{
    PaletteTables out;
    PaletteChannel* channels[3] = {&out.red, &out.green, &out.blue};
    for (int c = 0; c < 3; ++c) {
        const auto entries = expandSegmentedTable(wordsOf(segmented[c], bigEndian), 256);
        if (!entries)
            return entries.error();
        *channels[c] = reduceExpandedTable(*entries, entryBits(descriptors[c], bigEndian, *entries));
    }
    return out;
}

// Encapsulated pixel data are listed with the length of their frames as
// stored uncompressed, which is what they hold once decoded; saturated below
// 0xFFFFFFFF, which would read as "undefined".
void reportDecodedLength(DicomDataset& dataset, std::uint64_t total)
{
    if (!dataset.pixelData.encapsulated())
        return;
    for (auto it = dataset.elements.rbegin(); it != dataset.elements.rend(); ++it) {
        if (it->tag() == tags::PixelData && it->valueOffset == dataset.pixelData.valueOffset) {
            it->length = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UndefinedLength - 1));
            return;
        }
    }
}

} // namespace

PixelAttributes readPixelAttributes(const DicomDataset& dataset)
{
    PixelAttributes a;
    double slope = 1.0;
    for (const DicomElement& e : dataset.elements) {
        const base::Tag tag = e.tag();
        if (tag == tags::SamplesPerPixel)
            a.samplesPerPixel = toInt16(e.numericValue);
        else if (tag == tags::PhotometricInterpretation)
            a.photometric = std::string(e.text().substr(0, MaxPhotometric));
        else if (tag == tags::PlanarConfiguration)
            a.planarConfiguration = static_cast<std::uint8_t>(e.numericValue & 0xFF);
        else if (tag == tags::NumberOfFrames)
            a.numberOfFrames = dataset.implicitVr ? e.numericValue : parseNumber(e.text());
        else if (tag == tags::Rows)
            a.rows = e.numericValue > 0 ? static_cast<std::uint32_t>(e.numericValue) : 0;
        else if (tag == tags::Columns)
            a.columns = e.numericValue > 0 ? static_cast<std::uint32_t>(e.numericValue) : 0;
        else if (tag == tags::BitsAllocated)
            a.bitsAllocated = toInt16(e.numericValue);
        else if (tag == tags::BitsStored)
            a.bitsStored = toInt16(e.numericValue);
        else if (tag == tags::HighBit)
            a.highBit = toInt16(e.numericValue);
        else if (tag == tags::PixelRepresentation)
            a.pixelRepresentation = static_cast<std::uint16_t>(e.numericValue);
        else if (tag == tags::WindowCenter)
            a.windowCentre = toInt16(parseNumber(e.text()));
        else if (tag == tags::WindowWidth)
            a.windowWidth = toInt16(parseNumber(e.text()));
        else if (tag == tags::RescaleIntercept)
            a.rescaleIntercept = parseReal(e.text());
        else if (tag == tags::RescaleSlope)
            slope = parseReal(e.text());
        else if (tag == tags::FrameTime)
            a.frameTime = parseReal(e.text());
    }
    a.rescaleSlope = slope == 0.0 ? 1.0 : slope;
    a.rescalePresent = a.rescaleIntercept != 0.0 || a.rescaleSlope != 1.0;
    if (a.bitsAllocated == 0 && a.bitsStored == 0 && a.highBit == 0) {
        a.bitsAllocated = 8;
        a.bitsStored = 8;
        a.highBit = 7;
    }
    if (a.photometric.empty())
        a.photometric = "MONOCHROME2 ";
    return a;
}

Result<Compression> readCompression(const DicomDataset& dataset)
{
    for (const DicomElement& e : dataset.elements) {
        if (e.group > tags::MetaGroup)
            break;
        if (e.tag() == tags::TransferSyntaxUID) {
            std::string_view uid = e.text();
            // A blank pad is wrong for UI, but some writers use it.
            while (!uid.empty() && uid.back() == ' ')
                uid.remove_suffix(1);
            return compressionFromTransferSyntax(uid);
        }
    }
    return Compression::None;
}

Result<PaletteTables> readPaletteTables(const DicomDataset& dataset)
{
    std::span<const std::uint8_t> tables[3], segmented[3], descriptors[3];
    bool found[3] = {false, false, false};
    bool foundSegmented[3] = {false, false, false};
    for (const DicomElement& e : dataset.elements) {
        PaletteElement kind = PaletteElement::Table;
        const int channel = paletteChannel(e, kind);
        if (channel < 0)
            continue;
        if (kind == PaletteElement::Table) {
            tables[channel] = e.bytes();
            found[channel] = true;
        } else if (kind == PaletteElement::Segmented) {
            segmented[channel] = e.bytes();
            foundSegmented[channel] = true;
        } else {
            descriptors[channel] = e.bytes();
        }
    }
    if (!found[0] && !found[1] && !found[2] && foundSegmented[0] && foundSegmented[1] && foundSegmented[2])
        return readSegmentedTables(segmented, descriptors, dataset.bigEndian);
    if (!found[0] || !found[1] || !found[2])
        return Error{DicomError::Corrupted, "a palette colour table is missing"};
    return reducePaletteTables(tables[0], tables[1], tables[2], dataset.bigEndian ? WordOrder::Big : WordOrder::Little);
}

Result<PixelFrames> readPixelFrames(const DicomDataset& dataset, ElementDecoder& decoder, const FrameSink& sink,
                                          std::optional<unsigned> threads)
{
    auto compression = readCompression(dataset);
    if (!compression)
        return compression.error();
    const PixelAttributes attrs = readPixelAttributes(dataset);
    if (dataset.headerOnly) {
        // Listing a folder needs no pixels, only the verdict on the attributes.
        if (auto checked = checkPixelAttributes(attrs, *compression); !checked)
            return checked.error();
        PixelFrames image;
        image.attributes = attrs;
        image.compression = *compression;
        return image;
    }
    std::optional<PaletteTables> palette;
    if (attrs.photometricKind() == Photometric::PaletteColor) {
        if (auto checked = checkPixelAttributes(attrs, *compression); !checked)
            return checked.error();
        auto tables = readPaletteTables(dataset);
        if (!tables)
            return tables.error();
        palette = *tables;
    }
    DecodeBuffer& buffer = decoder.buffer();
    if (!buffer.ensure(buffer.fileSize()))
        return Error{DicomError::FileIo, "the file could not be read to its end"};
    PixelSource source;
    source.bytes = buffer.bytes();
    source.location = &dataset.pixelData;
    source.bigEndian = decoder.encoding() == Encoding::ExplicitBig;
    const auto frames = static_cast<std::size_t>(std::max(attrs.numberOfFrames, 1));
    return decodePixelData(attrs, *compression, source, palette, sink, threads.value_or(frameThreads(frames)));
}

DicomError readPixelStage(DicomDataset& dataset, ElementDecoder& decoder)
{
    try {
        auto image = readPixelFrames(dataset, decoder);
        if (!image)
            return image.error().code;
        dataset.compressionName = std::string(compressionName(image->compression));
        ImageAttributes& out = dataset.image;
        static_cast<PixelAttributes&>(out) = image->attributes;
        out.frameSize = 0;
        if (!image->frames.empty()) {
            const Frame& first = image->frames.front();
            const std::size_t bytes = first.format == FrameFormat::Grey16 ? first.samples.size() * 2 : first.bytes.size();
            out.frameSize = static_cast<std::uint32_t>(bytes);
        }
        reportDecodedLength(dataset, image->storedFrameBytes * image->frames.size());
        dataset.frames = std::move(image->frames);
        dataset.warnings = std::move(image->warnings);
        if (image->palette) {
            const PaletteChannel* channels[3] = {&image->palette->red, &image->palette->green, &image->palette->blue};
            std::vector<std::uint8_t>* targets[3] = {&dataset.palette.red, &dataset.palette.green, &dataset.palette.blue};
            for (int c = 0; c < 3; ++c)
                targets[c]->assign(channels[c]->begin(), channels[c]->end());
            dataset.palette.length = 256;
        }
        return DicomError::None;
    } catch (const std::bad_alloc&) {
        return DicomError::OutOfMemory;
    }
}

std::optional<PaletteRecord> extractPalette(const DicomDataset& dataset, const PixelFrames& image)
{
    if (image.attributes.photometricKind() != Photometric::PaletteColor || !image.palette)
        return std::nullopt;
    const DicomElement* maker = dataset.find(tags::Manufacturer);
    return makePaletteRecord(maker ? maker->text() : std::string_view(), *image.palette);
}

std::optional<double> pixelAspectRatio(const DicomDataset& dataset)
{
    const DicomElement* e = dataset.find(tags::PixelAspectRatio);
    if (!e)
        return std::nullopt;
    return pixelAspectRatio(e->text());
}

std::optional<std::string> captionText(const DicomDataset& dataset, CaptionField field)
{
    base::Tag tag;
    switch (field) {
    case CaptionField::PatientName: tag = tags::PatientName; break;
    case CaptionField::PatientSex: tag = tags::PatientSex; break;
    case CaptionField::BirthDate: tag = tags::PatientBirthDate; break;
    case CaptionField::PatientId: tag = tags::PatientID; break;
    case CaptionField::StudyId: tag = tags::StudyID; break;
    case CaptionField::StudyDate: tag = tags::StudyDate; break;
    }
    const DicomElement* e = dataset.find(tag);
    if (!e)
        return std::nullopt;
    std::string text(e->text().substr(0, MaxCaption));
    if (field == CaptionField::PatientName)
        std::replace(text.begin(), text.end(), '^', ' ');
    return text;
}

} // namespace dicom
