#include "dicom/DicomReader.h"

#include "codecs/DeflateAdapter.h"
#include "dicom/CodecErrors.h"
#include "dicom/Tags.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dicom {

namespace {

constexpr std::uint64_t PreambleSize = 128;
constexpr std::uint64_t DataSetStart = 132; // preamble and "DICM"
constexpr std::uint16_t LastRawFirstGroup = 0x0028;
constexpr std::string_view DeflatedSyntax = "1.2.840.10008.1.2.1.99";

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// A blank (or a second zero) pad is wrong for UI values, but some writers
// use it; every syntax is compared without it.
std::string_view trimPadding(std::string_view uid)
{
    while (!uid.empty() && (uid.back() == ' ' || uid.back() == '\0'))
        uid.remove_suffix(1);
    return uid;
}

Encoding encodingOf(std::string_view transferSyntax)
{
    transferSyntax = trimPadding(transferSyntax);
    if (transferSyntax == "1.2.840.10008.1.2.2")
        return Encoding::ExplicitBig;
    if (transferSyntax == "1.2.840.10008.1.2")
        return Encoding::ImplicitLittle;
    // Every other syntax, compressed ones included, encodes the data set in
    // explicit VR little endian (PS3.5 A.4).
    return Encoding::ExplicitLittle;
}

bool isUpperLetter(std::uint8_t c)
{
    return c >= 'A' && c <= 'Z';
}

// The encoding of a data set without a transfer syntax, told from the first
// element's header (the 6 bytes of its tag and VR, when there are 6): a known
// VR right after the tag means explicit VR (PS3.5 7.1.2), and a group that is
// one a data set may start with only when its bytes are swapped means big
// endian. Implicit VR little endian, the default of PS3.5 10.1, otherwise.
Encoding firstElementEncoding(std::span<const std::uint8_t> header)
{
    if (header.size() < 6 || !isUpperLetter(header[4]) || !isUpperLetter(header[5]))
        return Encoding::ImplicitLittle;
    const char vr[2] = {static_cast<char>(header[4]), static_cast<char>(header[5])};
    if (!isKnownVr(std::string_view(vr, 2)))
        return Encoding::ImplicitLittle;
    const auto little = static_cast<std::uint16_t>(header[0] | (header[1] << 8));
    const auto big = static_cast<std::uint16_t>((header[0] << 8) | header[1]);
    if (little > LastRawFirstGroup && big <= LastRawFirstGroup)
        return Encoding::ExplicitBig;
    return Encoding::ExplicitLittle;
}

// The first element's header at position, or fewer bytes at the end of the file.
std::span<const std::uint8_t> headerAt(DecodeBuffer& buffer, std::uint64_t position)
{
    const std::uint64_t end = std::min(position + 6, buffer.fileSize());
    if (position >= end || !buffer.ensure(end))
        return {};
    return buffer.bytes().subspan(static_cast<std::size_t>(position), static_cast<std::size_t>(end - position));
}

void setEncoding(DicomDataset& dataset, Encoding encoding)
{
    dataset.bigEndian = encoding == Encoding::ExplicitBig;
    dataset.implicitVr = encoding == Encoding::ImplicitLittle;
}

} // namespace

bool DicomReader::read(const std::filesystem::path& path, DicomDataset& dataset)
{
    dataset.path = path.string();
    m_bytesRead = 0;
    // Non-blocking, so that opening a pipe does not wait for a writer; only a
    // regular file is read at all (a folder would pass for a huge file).
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        dataset.error = DicomError::FileNotFound;
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        dataset.error = DicomError::FileIo;
        return false;
    }
    FileSource source(file.get(), static_cast<std::uint64_t>(status.st_size));
    return read(source, dataset);
}

bool DicomReader::read(ByteSource& source, DicomDataset& dataset)
{
    dataset.headerOnly = m_options.headerOnly == HeaderOnly::Yes;
    m_bytesRead = 0;
    DicomError error = DicomError::None;
    try {
        const std::uint64_t size = source.size();
        if (size == 0)
            error = DicomError::FileIo;
        else if (size < DataSetStart || size > MaxFileSize)
            error = DicomError::UnknownFormat;
        else {
            DecodeBuffer buffer(source);
            if (!buffer.fill(dataset.headerOnly ? DecodeBuffer::ChunkSize : size))
                error = DicomError::FileIo;
            else
                error = decode(buffer, dataset);
            m_bytesRead = buffer.bytesRead();
        }
    } catch (const std::bad_alloc&) {
        error = DicomError::OutOfMemory;
    }
    dataset.error = error;
    return error == DicomError::None;
}

DicomError DicomReader::decode(DecodeBuffer& buffer, DicomDataset& dataset)
{
    auto bytes = buffer.bytes();
    std::copy_n(bytes.begin(), PreambleSize, dataset.preamble.begin());
    std::copy_n(bytes.begin() + PreambleSize, 4, dataset.prefix.begin());

    if (std::memcmp(dataset.prefix.data(), "DICM", 4) == 0) {
        dataset.hasPreamble = true;
        ElementDecoder decoder(buffer, Encoding::ExplicitLittle, DataSetStart);
        DicomError error = DicomError::None;
        switch (decoder.readMetaGroup(dataset.elements, error)) {
        case ElementDecoder::MetaResult::Failed:
            return error;
        case ElementDecoder::MetaResult::NotExplicit:
            // Some old writers put the meta group in implicit VR, and the
            // rest of the file with it: the file is read that way whatever
            // its transfer syntax claims, the pixel group included.
            dataset.elements.clear();
            dataset.implicitVr = true;
            decoder.setEncoding(Encoding::ImplicitLittle);
            decoder.seek(DataSetStart);
            return decodeDataset(decoder, dataset);
        case ElementDecoder::MetaResult::Read:
            break;
        }
        const DicomElement* syntax = dataset.find(tags::TransferSyntaxUID);
        if (syntax && trimPadding(syntax->text()) == DeflatedSyntax)
            return decodeDeflated(buffer, decoder.position(), dataset);
        // Without a transfer syntax the data set tells its encoding itself,
        // as a raw one does.
        const Encoding encoding = syntax ? encodingOf(syntax->text())
                                         : firstElementEncoding(headerAt(buffer, decoder.position()));
        setEncoding(dataset, encoding);
        decoder.setEncoding(encoding);
        return decodeDataset(decoder, dataset);
    }

    // A raw data set starts with its first element; anything whose first
    // group lies beyond the image module is taken as not DICOM at all.
    const Encoding encoding = firstElementEncoding(bytes.first(6));
    const auto firstGroup = encoding == Encoding::ExplicitBig ? std::uint16_t((bytes[0] << 8) | bytes[1])
                                                              : std::uint16_t(bytes[0] | (bytes[1] << 8));
    if (firstGroup > LastRawFirstGroup)
        return DicomError::UnknownFormat;
    setEncoding(dataset, encoding);
    ElementDecoder decoder(buffer, encoding, 0);
    return decodeDataset(decoder, dataset);
}

// PS3.5 A.5: the data set after the meta group is one raw deflate stream of
// an explicit VR little endian data set. It is read from a copy of the file
// with the stream inflated in place, so that every offset the decoder records
// (pixel data, fragments) points into that one buffer.
DicomError DicomReader::decodeDeflated(DecodeBuffer& buffer, std::uint64_t streamStart, DicomDataset& dataset)
{
    if (!buffer.ensure(buffer.fileSize()))
        return DicomError::FileIo;
    const auto bytes = buffer.bytes();
    const auto stream = bytes.subspan(static_cast<std::size_t>(streamStart));
    auto whole = codecs::DeflateAdapter::inflate(stream, codecs::DeflateAdapter::outputLimit(stream.size()),
        std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(streamStart)));
    if (!whole)
        return fromCodecError(whole.error().code);
    DecodeBuffer inflated(std::move(*whole));
    setEncoding(dataset, Encoding::ExplicitLittle);
    ElementDecoder decoder(inflated, Encoding::ExplicitLittle, streamStart);
    return decodeDataset(decoder, dataset);
}

DicomError DicomReader::decodeDataset(ElementDecoder& decoder, DicomDataset& dataset)
{
    if (DicomError error = decoder.readElements(dataset.elements, Level::TopLevel); error != DicomError::None)
        return error;
    return finish(decoder, dataset);
}

DicomError DicomReader::finish(ElementDecoder& decoder, DicomDataset& dataset)
{
    const bool listAll = m_options.pixelData == PixelData::AsElements;
    if (!dataset.headerOnly && (listAll || m_options.pixelStage)) {
        decoder.recordPixelDataIn(&dataset.pixelData);
        const Level level = listAll ? Level::PixelGroup : Level::PixelData;
        if (DicomError error = decoder.readElements(dataset.elements, level); error != DicomError::None)
            return error;
    }
    if (m_options.pixelStage)
        return m_options.pixelStage(dataset, decoder);
    return DicomError::None;
}

} // namespace dicom
