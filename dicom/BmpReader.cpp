#include "dicom/BmpReader.h"

#include "base/ByteReader.h"
#include "dicom/PixelAttributes.h"
#include "dicom/DicomError.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>

namespace dicom {

namespace {

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::uint32_t InfoHeaderBytes = 40;
// Larger sides are refused even when the frame would fit the byte cap.
constexpr std::uint32_t MaxSide = 65535;

Error shortFile(const char* what)
{
    return Error{DicomError::FileIo, std::string("BMP file ends inside its ") + what};
}

Error unsupported(std::string detail)
{
    return Error{DicomError::UnsupportedFileFormat, std::move(detail)};
}

struct BmpHeader {
    std::uint32_t pixelOffset = 0;
    std::uint32_t infoSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
};

// BITMAPFILEHEADER, then the BITMAPINFOHEADER fields we use.
Result<BmpHeader> readHeader(base::ByteReader& r)
{
    BmpHeader h;
    if (r.size() >= 2 && (r.bytes()[0] != 'B' || r.bytes()[1] != 'M'))
        return Error{DicomError::UnknownFormat, "not a BMP file"};
    if (r.size() < FileHeaderBytes + 4)
        return shortFile("file header");
    r.skip(2);              // "BM"
    r.skip(4);              // bfSize: often wrong, the real size is used
    r.skip(4);              // bfReserved1, bfReserved2
    h.pixelOffset = *r.u32(); // bfOffBits
    h.infoSize = *r.u32();    // biSize
    if (h.infoSize < InfoHeaderBytes)
        return unsupported("BMP header of " + std::to_string(h.infoSize) + " bytes is not supported");
    if (r.remaining() < InfoHeaderBytes - 4)
        return shortFile("info header");
    h.width = static_cast<std::int32_t>(*r.u32());  // biWidth
    h.height = static_cast<std::int32_t>(*r.u32()); // biHeight: negative for top-down rows
    r.skip(2);                                       // biPlanes
    h.bitCount = *r.u16();                           // biBitCount
    h.compression = *r.u32();                        // biCompression
    r.skip(4);                                       // biSizeImage
    r.skip(8);                                       // biXPelsPerMeter, biYPelsPerMeter
    h.coloursUsed = *r.u32();                        // biClrUsed
    return h;
}

} // namespace

Result<BmpImage> readBmp(std::span<const std::uint8_t> file)
{
    base::ByteReader r(file);
    auto header = readHeader(r);
    if (!header)
        return header.error();
    const BmpHeader& h = *header;
    if (h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 && h.bitCount != 32)
        return unsupported("BMP with " + std::to_string(h.bitCount) + " bits a pixel is not supported");
    if (h.compression != 0)
        return unsupported("compressed BMP is not supported");
    const bool topDown = h.height < 0;
    const std::uint64_t width = h.width > 0 ? std::uint64_t(h.width) : 0;
    const std::uint64_t height = topDown ? std::uint64_t(-std::int64_t(h.height)) : std::uint64_t(h.height);
    if (width == 0 || height == 0)
        return unsupported("BMP without pixels");

    // Palette: after the info header, 4 bytes (B, G, R, 0) an entry.
    std::array<std::array<std::uint8_t, 3>, 256> palette{};
    std::size_t paletteEntries = 0;
    if (h.bitCount == 8) {
        paletteEntries = h.coloursUsed == 0 ? 256 : std::min<std::uint32_t>(h.coloursUsed, 256);
        const std::uint64_t paletteStart = FileHeaderBytes + std::uint64_t(h.infoSize);
        if (paletteStart + paletteEntries * 4 > file.size())
            return shortFile("palette");
        for (std::size_t i = 0; i < paletteEntries; ++i) {
            const std::uint8_t* e = file.data() + paletteStart + i * 4;
            palette[i] = {e[2], e[1], e[0]};
        }
    }

    const std::uint64_t stride = (width * h.bitCount + 31) / 32 * 4;
    if (h.pixelOffset > file.size() || stride * height > file.size() - h.pixelOffset)
        return shortFile("pixel rows");
    if (width > MaxSide || height > MaxSide || width * height * 3 > MaxFrameBytes)
        return unsupported("BMP larger than the frame size limit");

    BmpImage image;
    image.rows = static_cast<std::uint32_t>(height);
    image.columns = static_cast<std::uint32_t>(width);
    try {
        image.rgb.resize(static_cast<std::size_t>(width * height * 3));
    } catch (const std::bad_alloc&) {
        return Error{DicomError::OutOfMemory, "out of memory reading a BMP file"};
    }
    const std::size_t w = static_cast<std::size_t>(width);
    for (std::size_t y = 0; y < image.rows; ++y) {
        // BMP rows run bottom-up unless the height is negative.
        const std::size_t fileRow = topDown ? y : image.rows - 1 - y;
        const std::uint8_t* src = file.data() + h.pixelOffset + fileRow * stride;
        std::uint8_t* dst = image.rgb.data() + y * w * 3;
        for (std::size_t x = 0; x < w; ++x, dst += 3) {
            switch (h.bitCount) {
            case 8: {
                const std::size_t index = std::min<std::size_t>(src[x], paletteEntries - 1);
                std::copy(palette[index].begin(), palette[index].end(), dst);
                break;
            }
            case 16: {
                // 5-5-5 with blue in the low bits; the top bit is unused.
                const unsigned v = src[2 * x] | unsigned(src[2 * x + 1]) << 8;
                dst[0] = static_cast<std::uint8_t>(((v >> 10) & 0x1F) << 3);
                dst[1] = static_cast<std::uint8_t>(((v >> 5) & 0x1F) << 3);
                dst[2] = static_cast<std::uint8_t>((v & 0x1F) << 3);
                break;
            }
            default: {
                const std::uint8_t* p = src + x * (h.bitCount / 8);
                dst[0] = p[2];
                dst[1] = p[1];
                dst[2] = p[0];
                break;
            }
            }
        }
    }
    return image;
}

} // namespace dicom
