#pragma once

// Just enough of a DICOM reader for the codec tests and benchmarks: the image
// attributes and the JPEG fragments of each frame of an explicit VR little
// endian Part 10 file, or the pixel bytes of an uncompressed one (as written
// by dcmdjpeg). The real reader lives in dicom/; codecs must not need it.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace codecs::test {

struct DicomImage {
    std::uint32_t rows = 0, columns = 0, frames = 1;
    std::uint16_t samples = 1, bitsAllocated = 0, bitsStored = 0, planar = 0;
    std::vector<std::vector<std::uint8_t>> frameStreams; // encapsulated: one JPEG stream per frame
    std::vector<std::uint8_t> pixels;                   // native: the pixel data value
};

namespace fragments_detail {

struct Reader {
    const std::vector<std::uint8_t>& b;
    std::size_t pos = 0;
    bool ok = true;
    bool has(std::size_t n) const { return ok && b.size() - pos >= n && pos <= b.size(); }
    std::uint32_t u16()
    {
        if (!has(2)) { ok = false; return 0; }
        std::uint32_t v = b[pos] | (b[pos + 1] << 8);
        pos += 2;
        return v;
    }
    std::uint32_t u32()
    {
        std::uint32_t lo = u16();
        return lo | (u16() << 16);
    }
};

inline bool longLength(const char vr[2])
{
    static const char* longs[] = { "OB", "OW", "OF", "SQ", "UT", "UN", "OD", "OL", "OV", "UC", "UR", "SV", "UV" };
    for (auto l : longs)
        if (std::memcmp(vr, l, 2) == 0)
            return true;
    return false;
}

// Skips an undefined-length sequence: items until the sequence delimiter.
inline void skipUndefined(Reader& r, int depth);

inline void skipElements(Reader& r, int depth, bool untilItemEnd)
{
    while (r.ok && r.has(8)) {
        std::uint32_t group = r.u16(), element = r.u16();
        if (group == 0xFFFE) {
            r.u32();
            if (element == 0xE00D && untilItemEnd)
                return;
            r.ok = false;
            return;
        }
        char vr[2] = { char(r.b[r.pos]), char(r.b[r.pos + 1]) };
        r.pos += 2;
        std::uint32_t length = longLength(vr) ? (r.u16(), r.u32()) : r.u16();
        if (length == 0xFFFFFFFF)
            skipUndefined(r, depth + 1);
        else if (r.has(length))
            r.pos += length;
        else
            r.ok = false;
    }
}

inline void skipUndefined(Reader& r, int depth)
{
    if (depth > 16) { r.ok = false; return; }
    while (r.ok && r.has(8)) {
        std::uint32_t group = r.u16(), element = r.u16(), length = r.u32();
        if (group != 0xFFFE) { r.ok = false; return; }
        if (element == 0xE0DD)
            return;
        if (length == 0xFFFFFFFF)
            skipElements(r, depth, true);
        else if (r.has(length))
            r.pos += length;
        else
            r.ok = false;
    }
}

inline bool startsWithSoi(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t size)
{
    return size >= 2 && b[at] == 0xFF && b[at + 1] == 0xD8;
}

} // namespace fragments_detail

inline std::optional<DicomImage> readDicomImage(const std::string& path)
{
    using namespace fragments_detail;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in || bytes.size() < 132 || std::memcmp(bytes.data() + 128, "DICM", 4) != 0)
        return std::nullopt;
    Reader r { bytes, 132 };
    DicomImage image;
    while (r.ok && r.has(8)) {
        std::uint32_t group = r.u16(), element = r.u16();
        char vr[2] = { char(bytes[r.pos]), char(bytes[r.pos + 1]) };
        r.pos += 2;
        std::uint32_t length = longLength(vr) ? (r.u16(), r.u32()) : r.u16();
        const std::uint32_t tag = (group << 16) | element;
        if (tag == 0x7FE00010) {
            if (length != 0xFFFFFFFF) {
                if (!r.has(length))
                    return std::nullopt;
                image.pixels.assign(bytes.begin() + r.pos, bytes.begin() + r.pos + length);
                return image;
            }
            // PS3.5 A.4: basic offset table item, then one item per fragment.
            std::vector<std::uint32_t> offsets;
            std::vector<std::pair<std::size_t, std::size_t>> items; // start, length
            std::vector<std::size_t> itemOffsets;
            bool first = true;
            std::size_t firstFragment = 0;
            while (r.ok && r.has(8)) {
                std::uint32_t g = r.u16(), e = r.u16(), len = r.u32();
                if (g != 0xFFFE || e == 0xE0DD || !r.has(len))
                    break;
                if (first) {
                    for (std::uint32_t i = 0; i + 4 <= len; i += 4)
                        offsets.push_back(bytes[r.pos + i] | (bytes[r.pos + i + 1] << 8) | (bytes[r.pos + i + 2] << 16)
                            | (std::uint32_t(bytes[r.pos + i + 3]) << 24));
                    first = false;
                    firstFragment = r.pos + len;
                } else {
                    itemOffsets.push_back(r.pos - 8 - firstFragment);
                    items.push_back({ r.pos, len });
                }
                r.pos += len;
            }
            // Group fragments into frames: all of them for one frame, by the
            // offset table, else a new frame at each fragment starting with SOI.
            for (std::size_t i = 0; i < items.size(); ++i) {
                bool startsFrame = image.frameStreams.empty();
                if (!startsFrame && image.frames > 1) {
                    if (!offsets.empty() && offsets.size() == image.frames)
                        startsFrame = std::find(offsets.begin(), offsets.end(), std::uint32_t(itemOffsets[i])) != offsets.end();
                    else
                        startsFrame = startsWithSoi(bytes, items[i].first, items[i].second);
                }
                if (startsFrame)
                    image.frameStreams.emplace_back();
                auto& frame = image.frameStreams.back();
                frame.insert(frame.end(), bytes.begin() + items[i].first, bytes.begin() + items[i].first + items[i].second);
            }
            return image;
        }
        if (length == 0xFFFFFFFF) {
            skipUndefined(r, 0);
            continue;
        }
        if (!r.has(length))
            return std::nullopt;
        auto value = [&] { return bytes[r.pos] | (bytes[r.pos + 1] << 8); };
        switch (tag) {
        case 0x00280002: image.samples = static_cast<std::uint16_t>(value()); break;
        case 0x00280006: image.planar = static_cast<std::uint16_t>(value()); break;
        case 0x00280010: image.rows = value(); break;
        case 0x00280011: image.columns = value(); break;
        case 0x00280100: image.bitsAllocated = static_cast<std::uint16_t>(value()); break;
        case 0x00280101: image.bitsStored = static_cast<std::uint16_t>(value()); break;
        case 0x00280008: image.frames = static_cast<std::uint32_t>(std::stoul(std::string(bytes.begin() + r.pos, bytes.begin() + r.pos + length))); break;
        default: break;
        }
        r.pos += length;
    }
    return std::nullopt;
}

} // namespace codecs::test
