#include "export/AviWriter.h"

#include "export/FramePipeline.h"
#include "export/ImageWriters.h"
#include "export/OutputFile.h"

#include "codecs/JpegAdapter.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <new>
#include <optional>
#include <string_view>

namespace exporting {

namespace {

// Offsets of the fields patched once the frames are known; the layout of
// the header list is fixed: RIFF head (12), 'hdrl' list head (12), 'avih'
// (8 + 56), 'strl' list head (12), 'strh' (8 + 56), 'strf' (8 + 40 + palette).
constexpr std::streamoff kRiffSizeAt = 4;
constexpr std::streamoff kMaxBytesPerSecAt = 36;
constexpr std::streamoff kTotalFramesAt = 48;
constexpr std::streamoff kAviSuggestedBufferAt = 60;
constexpr std::streamoff kStreamLengthAt = 140;
constexpr std::streamoff kStreamSuggestedBufferAt = 144;
constexpr std::uint64_t kFixedHeaderBytes = 224;
constexpr std::uint64_t kPaletteBytes = 1024;
constexpr std::uint64_t kIndexEntryBytes = 16;

// AVI 1.0 flags: the file has an 'idx1' index; the entry is a key frame.
constexpr std::uint32_t kAvifHasIndex = 0x10;
constexpr std::uint32_t kAviifKeyFrame = 0x10;

class Bytes {
public:
    void fourcc(std::string_view code) { m_bytes.insert(m_bytes.end(), code.begin(), code.begin() + 4); }
    void u32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    void u16(std::uint16_t value)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(value));
        m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    const std::vector<std::uint8_t>& data() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

bool writeTo(std::ostream& out, std::span<const std::uint8_t> bytes)
{
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

bool patch(std::ostream& out, std::streamoff at, std::uint32_t value)
{
    Bytes bytes;
    bytes.u32(value);
    out.seekp(at);
    return out.good() && writeTo(out, bytes.data());
}

std::uint32_t clampU32(std::uint64_t value)
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

std::uint32_t roundedU32(double value)
{
    if (!(value > 0.0))
        return 0;
    // Halves round up, as players and our frame-time field always have.
    const double rounded = std::floor(value + 0.5);
    return rounded >= 4294967295.0 ? std::numeric_limits<std::uint32_t>::max() : static_cast<std::uint32_t>(rounded);
}

std::uint8_t greyOf(const std::uint8_t* rgb)
{
    // ITU-R BT.601 luma, rounded to nearest.
    return static_cast<std::uint8_t>((299U * rgb[0] + 587U * rgb[1] + 114U * rgb[2] + 500U) / 1000U);
}

// The picture with the movie's channel count, rows top down, no padding.
std::vector<std::uint8_t> toColour(const Picture& picture, AviColour colour)
{
    const int channels = colour == AviColour::Grey ? 1 : 3;
    if (picture.channels == channels)
        return picture.bytes;
    const std::size_t pixels = picture.bytes.size() / static_cast<std::size_t>(picture.channels);
    std::vector<std::uint8_t> out(pixels * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < pixels; ++i) {
        if (channels == 1)
            out[i] = greyOf(&picture.bytes[i * 3]);
        else
            std::fill_n(&out[i * 3], 3, picture.bytes[i]);
    }
    return out;
}

bool isValid(const Picture& picture)
{
    if (picture.width <= 0 || picture.height <= 0 || (picture.channels != 1 && picture.channels != 3))
        return false;
    const std::uint64_t expected = std::uint64_t(picture.width) * std::uint64_t(picture.height)
        * std::uint64_t(picture.channels);
    return picture.bytes.size() == expected;
}

std::uint64_t strideOf(std::int32_t width, AviColour colour)
{
    const std::uint64_t row = std::uint64_t(std::max(width, 0)) * (colour == AviColour::Grey ? 1U : 3U);
    return (row + 3) / 4 * 4;
}

} // namespace

AviRate aviRate(double frameTimeMs)
{
    const std::uint32_t perSecond = roundedU32(1000.0 / frameTimeMs);
    if (perSecond >= 1)
        return { perSecond, 1 };
    return { 1000, std::max<std::uint32_t>(roundedU32(frameTimeMs), 1) };
}

std::uint64_t aviHeaderSize(const AviSettings& settings)
{
    const bool palette = settings.codec == AviCodec::Uncompressed && settings.colour == AviColour::Grey;
    return kFixedHeaderBytes + (palette ? kPaletteBytes : 0);
}

std::uint64_t aviFileSize(const AviSettings& settings, std::uint64_t frames, std::uint64_t chunkBytes)
{
    return aviHeaderSize(settings) + chunkBytes + 8 + frames * kIndexEntryBytes;
}

std::uint64_t aviFrameBytes(std::int32_t width, std::int32_t height, AviColour colour)
{
    return strideOf(width, colour) * std::uint64_t(std::max(height, 0));
}

std::uint64_t aviEstimatedSize(const AviSettings& settings, std::int32_t width, std::int32_t height,
                               std::uint64_t frames)
{
    const std::uint64_t frame = aviFrameBytes(width, height, settings.colour);
    // JPEG pictures of our frames come out well under a quarter of the raw size.
    const std::uint64_t payload = settings.codec == AviCodec::Uncompressed ? frame : frame / 4 + 1024;
    const std::uint64_t chunk = 8 + payload + (payload & 1);
    return aviFileSize(settings, frames, frames * chunk);
}

AviWriter::AviWriter(std::ostream& out, const AviSettings& settings)
    : m_out(out)
    , m_settings(settings)
{
}

Result<std::vector<std::uint8_t>> AviWriter::framePayload(const Picture& picture) const
{
    std::vector<std::uint8_t> pixels = toColour(picture, m_settings.colour);
    const bool grey = m_settings.colour == AviColour::Grey;
    if (m_settings.codec == AviCodec::MotionJpeg) {
        auto jpeg = codecs::JpegAdapter::encode(pixels, static_cast<std::uint32_t>(picture.width),
            static_cast<std::uint32_t>(picture.height), grey ? codecs::PictureColour::Grey : codecs::PictureColour::Rgb,
            m_settings.quality);
        if (!jpeg)
            return Error { ExportError::InvalidPicture, "JPEG frame: " + jpeg.error().detail };
        return std::move(jpeg).value();
    }
    Picture converted { picture.width, picture.height, grey ? 1 : 3, std::move(pixels) };
    auto dib = bitmapOf(converted);
    if (!dib)
        return dib.error();
    const auto rows = dib->pixelRows();
    return std::vector<std::uint8_t>(rows.begin(), rows.end());
}

Result<void> AviWriter::writeHeader()
{
    const bool jpeg = m_settings.codec == AviCodec::MotionJpeg;
    const bool palette = !jpeg && m_settings.colour == AviColour::Grey;
    const AviRate rate = aviRate(m_settings.frameTimeMs);
    const auto width = static_cast<std::uint32_t>(m_width);
    const auto height = static_cast<std::uint32_t>(m_height);
    const std::uint32_t strfBytes = 40 + (palette ? static_cast<std::uint32_t>(kPaletteBytes) : 0);
    const std::uint32_t strlBytes = 4 + 8 + 56 + 8 + strfBytes;
    Bytes b;
    b.fourcc("RIFF");
    b.u32(0); // patched
    b.fourcc("AVI ");
    b.fourcc("LIST");
    b.u32(4 + 8 + 56 + 8 + strlBytes);
    b.fourcc("hdrl");
    b.fourcc("avih");
    b.u32(56);
    b.u32(clampU32(std::uint64_t(rate.scale) * 1000000 / rate.rate)); // dwMicroSecPerFrame
    b.u32(0); // dwMaxBytesPerSec, patched
    b.u32(0); // dwPaddingGranularity
    b.u32(kAvifHasIndex);
    b.u32(0); // dwTotalFrames, patched
    b.u32(0); // dwInitialFrames
    b.u32(1); // dwStreams
    b.u32(0); // dwSuggestedBufferSize, patched
    b.u32(width);
    b.u32(height);
    for (int i = 0; i < 4; ++i)
        b.u32(0);
    b.fourcc("LIST");
    b.u32(strlBytes);
    b.fourcc("strl");
    b.fourcc("strh");
    b.u32(56);
    b.fourcc("vids");
    b.fourcc(jpeg ? "MJPG" : "DIB ");
    b.u32(0); // dwFlags
    b.u32(0); // wPriority, wLanguage
    b.u32(0); // dwInitialFrames
    b.u32(rate.scale);
    b.u32(rate.rate);
    b.u32(0); // dwStart
    b.u32(0); // dwLength, patched
    b.u32(0); // dwSuggestedBufferSize, patched
    b.u32(0xFFFFFFFF); // dwQuality: the codec's default
    b.u32(0); // dwSampleSize: one frame a chunk
    b.u16(0); // rcFrame
    b.u16(0);
    b.u16(static_cast<std::uint16_t>(std::min<std::uint32_t>(width, 0x7FFF)));
    b.u16(static_cast<std::uint16_t>(std::min<std::uint32_t>(height, 0x7FFF)));
    b.fourcc("strf");
    b.u32(strfBytes);
    // BITMAPINFOHEADER; positive height: rows bottom up.
    b.u32(40);
    b.u32(width);
    b.u32(height);
    b.u16(1);
    b.u16(jpeg || !palette ? 24 : 8);
    if (jpeg)
        b.fourcc("MJPG");
    else
        b.u32(0);
    b.u32(jpeg ? width * height * 3 : static_cast<std::uint32_t>(aviFrameBytes(m_width, m_height, m_settings.colour)));
    b.u32(0);
    b.u32(0);
    b.u32(palette ? 256 : 0); // biClrUsed
    b.u32(0);
    for (std::uint32_t level = 0; palette && level < 256; ++level)
        b.u32(level * 0x010101U);
    b.fourcc("LIST");
    b.u32(4); // patched
    b.fourcc("movi");
    if (!writeTo(m_out, b.data()))
        return Error { ExportError::WriteFailed, "cannot write the movie header" };
    return {};
}

Result<void> AviWriter::append(const Picture& picture)
{
    if (!isValid(picture))
        return Error { ExportError::InvalidPicture, "frame picture is malformed" };
    if (!m_index.empty() && (picture.width != m_width || picture.height != m_height)) {
        ++m_skipped;
        return {};
    }
    try {
        // An uncompressed frame's size is known before it is built.
        if (m_settings.codec == AviCodec::Uncompressed) {
            const std::uint64_t bytes = aviFrameBytes(picture.width, picture.height, m_settings.colour);
            if (aviFileSize(m_settings, m_index.size() + 1, m_chunkBytes + 8 + bytes) > kMaxAviFileSize)
                return Error { ExportError::TooLarge, "the movie would pass 1 GiB" };
        }
        auto payload = framePayload(picture);
        if (!payload)
            return payload.error();
        const std::uint64_t size = payload->size();
        const std::uint64_t chunk = 8 + size + (size & 1);
        if (aviFileSize(m_settings, m_index.size() + 1, m_chunkBytes + chunk) > kMaxAviFileSize)
            return Error { ExportError::TooLarge, "the movie would pass 1 GiB" };
        if (m_index.empty()) {
            m_width = picture.width;
            m_height = picture.height;
            if (auto header = writeHeader(); !header)
                return header;
        }
        Bytes head;
        head.fourcc(m_settings.codec == AviCodec::MotionJpeg ? "00dc" : "00db");
        head.u32(static_cast<std::uint32_t>(size));
        if ((size & 1) != 0)
            payload->push_back(0); // chunks start at even offsets
        if (!writeTo(m_out, head.data()) || !writeTo(m_out, *payload))
            return Error { ExportError::WriteFailed, "cannot write frame " + std::to_string(m_index.size() + 1) };
        m_index.push_back({ static_cast<std::uint32_t>(4 + m_chunkBytes), static_cast<std::uint32_t>(size) });
        m_chunkBytes += chunk;
        m_largestFrame = std::max(m_largestFrame, static_cast<std::uint32_t>(size));
    } catch (const std::bad_alloc&) {
        return Error { ExportError::OutOfMemory, "no memory for a movie frame" };
    }
    return {};
}

Result<void> AviWriter::finish()
{
    if (m_index.empty())
        return Error { ExportError::InvalidPicture, "the movie has no frame" };
    const char* chunkId = m_settings.codec == AviCodec::MotionJpeg ? "00dc" : "00db";
    Bytes index;
    index.fourcc("idx1");
    index.u32(static_cast<std::uint32_t>(m_index.size() * kIndexEntryBytes));
    for (const IndexEntry& entry : m_index) {
        index.fourcc(chunkId);
        index.u32(kAviifKeyFrame);
        index.u32(entry.offset);
        index.u32(entry.size);
    }
    const AviRate rate = aviRate(m_settings.frameTimeMs);
    const std::uint64_t fileSize = aviFileSize(m_settings, m_index.size(), m_chunkBytes);
    const auto frames = static_cast<std::uint32_t>(m_index.size());
    const auto moviAt = static_cast<std::streamoff>(aviHeaderSize(m_settings)) - 8;
    const bool written = writeTo(m_out, index.data())
        && patch(m_out, kRiffSizeAt, static_cast<std::uint32_t>(fileSize - 8))
        && patch(m_out, kMaxBytesPerSecAt, clampU32((std::uint64_t(m_largestFrame) * rate.rate + rate.scale - 1) / rate.scale))
        && patch(m_out, kTotalFramesAt, frames) && patch(m_out, kAviSuggestedBufferAt, m_largestFrame)
        && patch(m_out, kStreamLengthAt, frames) && patch(m_out, kStreamSuggestedBufferAt, m_largestFrame)
        && patch(m_out, moviAt, static_cast<std::uint32_t>(4 + m_chunkBytes));
    m_out.seekp(0, std::ios_base::end);
    if (!written || !m_out.flush())
        return Error { ExportError::WriteFailed, "cannot finish the movie" };
    return {};
}

Result<void> checkFreeSpace(const std::filesystem::path& path, std::uint64_t bytes)
{
    std::filesystem::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0 || info.f_frsize == 0)
        return {};
    const std::uint64_t blocks = bytes / info.f_frsize + (bytes % info.f_frsize != 0 ? 1 : 0);
    if (blocks > info.f_bavail)
        return Error { ExportError::NotEnoughSpace, "needs " + std::to_string(bytes) + " bytes" };
    return {};
}

Result<AviSummary> writeAviFile(const std::filesystem::path& path, const AviSettings& settings,
                                std::int32_t width, std::int32_t height, std::uint64_t frames,
                                const std::function<Result<void>(AviWriter& writer)>& feed)
{
    const std::uint64_t estimate = aviEstimatedSize(settings, width, height, frames);
    if (settings.codec == AviCodec::Uncompressed && estimate > kMaxAviFileSize)
        return Error { ExportError::TooLarge, "the movie would pass 1 GiB" };
    if (auto space = checkFreeSpace(path, estimate); !space)
        return space.error();
    AviSummary summary;
    auto written = writeOutputFile(path, [&](std::ostream& out) -> Result<void> {
        AviWriter writer(out, settings);
        if (auto fed = feed(writer); !fed)
            return fed;
        if (auto done = writer.finish(); !done)
            return done;
        summary = { writer.frameCount(), writer.skippedCount() };
        return {};
    });
    if (!written)
        return written.error();
    return summary;
}

Result<AviSummary> writeAviMovie(const std::filesystem::path& path, const AviMovie& movie, const PictureSource& source,
                                 const Progress& progress)
{
    return writeAviFile(path, movie.settings, movie.expectedWidth, movie.expectedHeight, movie.frames.size(),
        [&](AviWriter& writer) -> Result<void> {
            std::optional<Error> appendFailure;
            auto rendered = renderInOrder(source, movie.frames, movie.width, movie.height, movie.scaling,
                movie.workers, progress, [&](std::size_t, int, Result<Picture>&& picture) {
                    if (!picture) {
                        appendFailure = picture.error();
                        return false;
                    }
                    if (auto appended = writer.append(*picture); !appended) {
                        appendFailure = appended.error();
                        return false;
                    }
                    return true;
                });
            if (appendFailure)
                return *appendFailure;
            return rendered;
        });
}

} // namespace exporting
