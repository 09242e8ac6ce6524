#include "dicom/PictureFiles.h"

#include "codecs/JpegAdapter.h"
#include "dicom/BmpReader.h"
#include "dicom/CodecErrors.h"
#include "dicom/PixelModule.h"
#include "dicom/TagDictionary.h"
#include "dicom/Tags.h"
#include "dicom/UidDictionary.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace dicom {

namespace {

constexpr std::string_view SecondaryCaptureClass = "1.2.840.10008.5.1.4.1.1.7";
constexpr std::string_view ExplicitLittleSyntax = "1.2.840.10008.1.2.1";

std::vector<std::uint8_t> textBytes(std::string_view text, char pad)
{
    std::vector<std::uint8_t> out(text.begin(), text.end());
    // PS3.5 7.1.1: values have even length.
    if (out.size() % 2)
        out.push_back(static_cast<std::uint8_t>(pad));
    return out;
}

std::vector<std::uint8_t> u16Bytes(std::uint16_t v)
{
    return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)};
}

std::vector<std::uint8_t> u32Bytes(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

// A built data set is implicit VR, so the dictionary gives every VR.
DicomElement makeElement(base::Tag tag, const std::vector<std::uint8_t>& value)
{
    DicomElement e;
    e.group = tag.group;
    e.element = tag.element;
    e.name = std::string(TagDictionary::name(tag));
    const auto vr = TagDictionary::vr(tag);
    e.vr = vr ? std::string(*vr) : std::string("  ");
    e.length = static_cast<std::uint32_t>(value.size());
    e.setValue(value);
    if (e.vr == "US" && value.size() == 2)
        e.numericValue = value[0] | (value[1] << 8);
    else if (value.size() == 4)
        e.numericValue = static_cast<std::int32_t>(value[0] | (value[1] << 8) | (value[2] << 16) |
                                                   (std::uint32_t(value[3]) << 24));
    if (e.vr == "UI") {
        if (auto name = UidDictionary::name(e.text()))
            e.uidName = std::string(*name);
    }
    return e;
}

// Replaces or inserts in ascending tag order.
void putElement(std::vector<DicomElement>& list, DicomElement e)
{
    const auto at = std::find_if(list.begin(), list.end(), [&e](const DicomElement& x) { return x.tag() >= e.tag(); });
    if (at != list.end() && at->tag() == e.tag())
        *at = std::move(e);
    else
        list.insert(at, std::move(e));
}

// The group length counts each element of the group as it is encoded in
// explicit VR little endian: 12 + length for "OB" and "OW", else 8 + length.
void putWithGroupLength(std::vector<DicomElement>& list, DicomElement e)
{
    const std::uint16_t group = e.group;
    putElement(list, std::move(e));
    std::uint64_t sum = 0;
    for (const DicomElement& x : list) {
        if (x.group == group && x.element != tags::GroupLengthElement)
            sum += (x.vr == "OB" || x.vr == "OW" ? 12u : 8u) + std::uint64_t(x.length);
    }
    const auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(sum, 0xFFFFFFFFu));
    putElement(list, makeElement({group, tags::GroupLengthElement}, u32Bytes(length)));
}

std::optional<std::tm> modificationTime(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    std::tm local {};
    if (!::localtime_r(&status.st_mtime, &local))
        return std::nullopt;
    return local;
}

void setPicture(DicomDataset& dataset, std::uint32_t rows, std::uint32_t columns, int samples,
                std::vector<std::uint8_t> frame)
{
    dataset.implicitVr = true;
    dataset.bigEndian = false;
    dataset.hasPreamble = true;
    dataset.preamble.fill(0);
    std::memcpy(dataset.prefix.data(), "DICM", 4);
    dataset.compressionName = "NONE";
    ImageAttributes& a = dataset.image;
    a = ImageAttributes {};
    a.samplesPerPixel = static_cast<std::int16_t>(samples);
    a.photometric = samples == 3 ? "RGB " : "MONOCHROME2 ";
    a.numberOfFrames = 1;
    a.rows = rows;
    a.columns = columns;
    a.bitsAllocated = 8;
    a.bitsStored = 8;
    a.highBit = 7;
    a.windowCentre = 128;
    a.windowWidth = 256;
    a.rescaleSlope = 1.0;
    a.frameSize = static_cast<std::uint32_t>(frame.size());
    dataset.frames.clear();
    dataset.frames.push_back(base::Frame{samples == 3 ? base::FrameFormat::Rgb8 : base::FrameFormat::Grey8,
                                         std::move(frame), {}});
}

// 7 when the file cannot be opened or is no regular file, 8 past the
// reader's size cap, 2 when reading fails.
Result<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || !std::filesystem::is_regular_file(path, ec))
        return Error{DicomError::FileNotFound, "cannot open " + path.string()};
    const std::uint64_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return Error{DicomError::FileIo, "cannot size " + path.string()};
    if (size > DicomReader::MaxFileSize)
        return Error{DicomError::UnsupportedFileFormat, "file too large"};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return Error{DicomError::FileIo, "cannot read " + path.string()};
    return bytes;
}

DicomError pictureFromBytes(std::span<const std::uint8_t> bytes, PictureKind kind, DicomDataset& dataset)
{
    if (kind == PictureKind::Bmp) {
        auto bmp = readBmp(bytes);
        if (!bmp)
            return bmp.error().code;
        setPicture(dataset, bmp->rows, bmp->columns, 3, std::move(bmp->rgb));
        return DicomError::None;
    }
    auto picture = codecs::JpegAdapter::decode(bytes);
    // A stream the library rejects counts as a failed read of the file.
    if (!picture)
        return picture.error().code == codecs::CodecError::Corrupt ? DicomError::FileIo : fromCodecError(picture.error().code);
    if (picture->components != 1 && picture->components != 3)
        return DicomError::UnsupportedFormat;
    setPicture(dataset, picture->height, picture->width, picture->components, std::move(picture->pixels));
    return DicomError::None;
}

} // namespace

PictureKind pictureKind(std::string_view path)
{
    if (path.size() < 5)
        return PictureKind::None;
    std::string ext(path.substr(path.size() - 4));
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".bmp")
        return PictureKind::Bmp;
    if (ext == ".jpg" || ext == ".jpe")
        return PictureKind::Jpeg;
    return PictureKind::None;
}

void addSecondaryCaptureElements(DicomDataset& dataset, const std::optional<std::tm>& created)
{
    const ImageAttributes& a = dataset.image;
    auto& list = dataset.elements;
    auto put = [&list](base::Tag tag, std::vector<std::uint8_t> value) {
        putWithGroupLength(list, makeElement(tag, value));
    };
    auto uid = [](std::string_view text) {
        std::vector<std::uint8_t> out(text.begin(), text.end());
        out.push_back(0); // the terminating zero is stored with the UID
        if (out.size() % 2)
            out.push_back(0);
        return out;
    };
    put(tags::FileMetaInformationVersion, {0x00, 0x01});
    put(tags::MediaStorageSOPClassUID, uid(SecondaryCaptureClass));
    put(tags::TransferSyntaxUID, uid(ExplicitLittleSyntax));
    put(tags::ImplementationVersionName, textBytes("TOLAN-VIEWER-30 ", ' '));
    put(tags::ImageType, textBytes("ORIGINAL\\PRIMARY ", ' '));
    put(tags::SOPClassUID, uid(SecondaryCaptureClass));
    put(tags::Manufacturer, textBytes("TOLAN VIEWER", ' '));
    put(tags::SamplesPerPixel, u16Bytes(static_cast<std::uint16_t>(a.samplesPerPixel)));
    put(tags::PhotometricInterpretation, textBytes(a.photometric, ' '));
    if (a.samplesPerPixel == 3)
        put(tags::PlanarConfiguration, u16Bytes(0));
    put(tags::NumberOfFrames, textBytes(std::to_string(a.numberOfFrames) + " ", ' '));
    put(tags::Rows, u16Bytes(static_cast<std::uint16_t>(a.rows)));
    put(tags::Columns, u16Bytes(static_cast<std::uint16_t>(a.columns)));
    put(tags::BitsAllocated, u16Bytes(static_cast<std::uint16_t>(a.bitsAllocated)));
    put(tags::BitsStored, u16Bytes(static_cast<std::uint16_t>(a.bitsStored)));
    put(tags::HighBit, u16Bytes(static_cast<std::uint16_t>(a.highBit)));
    put(tags::PixelRepresentation, u16Bytes(0));
    put(tags::WindowCenter, textBytes(std::to_string(a.windowCentre), ' '));
    put(tags::WindowWidth, textBytes(std::to_string(a.windowWidth), ' '));

    // The pixel data keep no value: the frames are the data set's.
    DicomElement pixels = makeElement(tags::PixelData, {});
    pixels.value.clear();
    const std::uint64_t length = std::uint64_t(a.bitsAllocated / 8) * a.rows * std::uint64_t(a.samplesPerPixel) *
                                 a.columns * std::uint64_t(std::max(a.numberOfFrames, 1));
    pixels.length = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, 0xFFFFFFFEu));
    putWithGroupLength(list, std::move(pixels));

    if (created) {
        char date[32];
        char time[32];
        std::snprintf(date, sizeof date, "%04d:%02d:%02d", created->tm_year + 1900, created->tm_mon + 1, created->tm_mday);
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", created->tm_hour, created->tm_min, created->tm_sec);
        put(tags::StudyDate, textBytes(date, ' '));
        put(tags::StudyTime, textBytes(time, ' '));
    }
}

bool readPicture(std::span<const std::uint8_t> bytes, PictureKind kind, const std::optional<std::tm>& created,
                 DicomDataset& dataset)
{
    DicomError error = DicomError::UnsupportedFileFormat;
    try {
        if (kind != PictureKind::None)
            error = pictureFromBytes(bytes, kind, dataset);
        if (error == DicomError::None)
            addSecondaryCaptureElements(dataset, created);
    } catch (const std::bad_alloc&) {
        error = DicomError::OutOfMemory;
    }
    dataset.error = error;
    return error == DicomError::None;
}

bool readPicture(const std::filesystem::path& path, PictureKind kind, DicomDataset& dataset)
{
    dataset.path = path.string();
    if (kind == PictureKind::None) {
        dataset.error = DicomError::UnsupportedFileFormat;
        return false;
    }
    try {
        auto bytes = readWholeFile(path);
        if (!bytes) {
            dataset.error = bytes.error().code;
            return false;
        }
        return readPicture(*bytes, kind, modificationTime(path), dataset);
    } catch (const std::bad_alloc&) {
        dataset.error = DicomError::OutOfMemory;
        return false;
    }
}

bool openFile(const std::filesystem::path& path, HeaderOnly headerOnly, DicomDataset& dataset)
{
    const PictureKind kind = pictureKind(path.native());
    if (kind != PictureKind::None) {
        if (headerOnly == HeaderOnly::Yes) {
            dataset.path = path.string();
            dataset.error = DicomError::UnsupportedFileFormat;
            return false;
        }
        return readPicture(path, kind, dataset);
    }
    ReadOptions options;
    options.headerOnly = headerOnly;
    options.pixelStage = &readPixelStage;
    return DicomReader(options).read(path, dataset);
}

} // namespace dicom
