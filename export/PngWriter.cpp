#include "export/PngWriter.h"

#include "export/OutputFile.h"

#include <zlib.h>

#include <array>
#include <limits>
#include <new>
#include <string_view>

namespace exporting {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
constexpr std::uint8_t kColourGrey = 0;
constexpr std::uint8_t kColourRgb = 2;
constexpr std::uint8_t kFilterNone = 0;

void putBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Length, type, data, then the CRC-32 of type and data.
void putChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::uint8_t* data, std::size_t size)
{
    putBigEndian32(out, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    if (size > 0)
        out.insert(out.end(), data, data + size);
    const uLong crc = ::crc32_z(::crc32_z(0, nullptr, 0), out.data() + typeAt, type.size() + size);
    putBigEndian32(out, static_cast<std::uint32_t>(crc));
}

bool validPicture(const Picture& picture)
{
    constexpr std::int64_t maxSide = std::numeric_limits<std::int32_t>::max();
    if (picture.width < 1 || picture.height < 1 || picture.width > maxSide || picture.height > maxSide)
        return false;
    if (picture.channels != 1 && picture.channels != 3)
        return false;
    const std::uint64_t expected = static_cast<std::uint64_t>(picture.width) * static_cast<std::uint64_t>(picture.height)
        * static_cast<std::uint64_t>(picture.channels);
    return picture.bytes.size() == expected;
}

} // namespace

Result<std::vector<std::uint8_t>> encodePng(const Picture& picture)
{
    if (!validPicture(picture))
        return Error { ExportError::InvalidPicture, "not a 1- or 3-channel picture of its size" };
    try {
        const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.channels);
        const std::size_t height = static_cast<std::size_t>(picture.height);
        // Each scan line starts with its filter type (PNG 9.2); no filtering
        // keeps a thumbnail's encode cheap.
        std::vector<std::uint8_t> filtered((rowBytes + 1) * height);
        for (std::size_t y = 0; y < height; ++y) {
            std::uint8_t* line = filtered.data() + y * (rowBytes + 1);
            line[0] = kFilterNone;
            const auto row = picture.bytes.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
            std::copy(row, row + static_cast<std::ptrdiff_t>(rowBytes), line + 1);
        }
        uLongf deflatedSize = ::compressBound(static_cast<uLong>(filtered.size()));
        if (filtered.size() > std::numeric_limits<uLong>::max() / 2
            || deflatedSize > std::numeric_limits<std::uint32_t>::max() / 2)
            return Error { ExportError::InvalidPicture, "picture too large for one PNG data chunk" };
        std::vector<std::uint8_t> deflated(deflatedSize);
        if (::compress2(deflated.data(), &deflatedSize, filtered.data(), static_cast<uLong>(filtered.size()),
                        Z_DEFAULT_COMPRESSION)
            != Z_OK)
            return Error { ExportError::OutOfMemory, "deflate failed" };

        std::vector<std::uint8_t> out(kSignature.begin(), kSignature.end());
        out.reserve(kSignature.size() + 3 * 12 + 13 + deflatedSize);
        std::vector<std::uint8_t> header;
        putBigEndian32(header, static_cast<std::uint32_t>(picture.width));
        putBigEndian32(header, static_cast<std::uint32_t>(picture.height));
        // Bit depth 8, colour type, deflate, adaptive filtering, no interlace.
        header.insert(header.end(), { 8, picture.channels == 3 ? kColourRgb : kColourGrey, 0, 0, 0 });
        putChunk(out, "IHDR", header.data(), header.size());
        putChunk(out, "IDAT", deflated.data(), deflatedSize);
        putChunk(out, "IEND", nullptr, 0);
        return out;
    } catch (const std::bad_alloc&) {
        return Error { ExportError::OutOfMemory, "out of memory" };
    }
}

Result<void> writePng(const std::filesystem::path& path, const Picture& picture)
{
    auto bytes = encodePng(picture);
    if (!bytes)
        return bytes.error();
    return writeOutputFile(path, [&bytes](std::ostream& out) -> Result<void> {
        out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
        return {};
    });
}

} // namespace exporting
