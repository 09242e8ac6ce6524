#include "dicom/PixelModule.h"

#include "dicom/ElementDecoder.h"
#include "dicom/NumberParsing.h"
#include "dicom/PixelAspect.h"
#include "dicom/DicomError.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace dicom {

namespace {


constexpr std::size_t MaxPhotometric = 47;
constexpr std::size_t MaxCaption = 126;

std::int16_t toInt16(std::int32_t v)
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

// Which colour a palette element holds: 0 red, 1 green, 2 blue. The
// retired "large" tables are read like the ordinary ones.
int paletteChannel(const DicomElement& e, bool& segmented)
{
    const base::Tag tag = e.tag();
    // PS3.3 C.7.9: segmented data is a list of opcodes, not a table.
    segmented = tag == tags::SegmentedRedPaletteColorLookupTableData ||
                tag == tags::SegmentedGreenPaletteColorLookupTableData ||
                tag == tags::SegmentedBluePaletteColorLookupTableData;
    if (tag == tags::RedPaletteColorLookupTableData || tag == tags::LargeRedPaletteColorLookupTableData)
        return 0;
    if (tag == tags::GreenPaletteColorLookupTableData || tag == tags::LargeGreenPaletteColorLookupTableData)
        return 1;
    if (tag == tags::BluePaletteColorLookupTableData || tag == tags::LargeBluePaletteColorLookupTableData)
        return 2;
    return -1;
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
    std::span<const std::uint8_t> channels[3];
    bool found[3] = {false, false, false};
    bool sawSegmented = false;
    for (const DicomElement& e : dataset.elements) {
        bool segmented = false;
        const int channel = paletteChannel(e, segmented);
        sawSegmented = sawSegmented || segmented;
        if (channel >= 0) {
            channels[channel] = e.bytes();
            found[channel] = true;
        }
    }
    if (!found[0] && !found[1] && !found[2] && sawSegmented)
        return Error{DicomError::UnsupportedFormat, "segmented palette colour tables are not supported"};
    if (!found[0] || !found[1] || !found[2])
        return Error{DicomError::Corrupted, "a palette colour table is missing"};
    return reducePaletteTables(channels[0], channels[1], channels[2],
                               dataset.bigEndian ? WordOrder::Big : WordOrder::Little);
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
