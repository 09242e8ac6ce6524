// JPEG 2000 frames through the frame path: the stream's colour transform
// gives R, G, B, and fragments group by SOC without an offset table. How a
// stream's signedness meets Pixel Representation is StreamSignednessTest's.

#include "dicom/J2kFrames.h"
#include "dicom/JpegFrames.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace dicom {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 4 x 2 codestream by opj_compress of the given planar samples.
Bytes codestream(const Bytes& planes, int samples, bool isSigned, bool transform)
{
    const std::string stem = (std::filesystem::path(testing::TempDir()) / ("j2k-frames-" + std::to_string(::getpid()))).string();
    std::ofstream(stem + ".raw", std::ios::binary).write(reinterpret_cast<const char*>(planes.data()),
                                                         static_cast<std::streamsize>(planes.size()));
    const std::string command = "opj_compress -n 1 -F 4,2," + std::to_string(samples) + ",8," + (isSigned ? "s" : "u")
        + (transform ? " -mct 1" : " -mct 0") + " -i " + stem + ".raw -o " + stem + ".j2k > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(stem + ".j2k", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The fragments as a reader would record them, all from one buffer.
struct Encoded {
    Bytes bytes;
    PixelDataLocation location;
    PixelSource source() const { return {bytes, &location, false}; }
};

Encoded fragments(const std::vector<Bytes>& streams)
{
    Encoded e;
    e.location.found = true;
    e.location.length = PixelDataLocation::Encapsulated;
    for (const Bytes& s : streams) {
        e.location.fragments.push_back({e.bytes.size(), static_cast<std::uint32_t>(s.size()), e.bytes.size() + 8 * e.location.fragments.size()});
        e.bytes.insert(e.bytes.end(), s.begin(), s.end());
    }
    return e;
}

PixelAttributes attributes(int samples, const char* photometric, std::uint16_t pixelRepresentation)
{
    PixelAttributes a;
    a.rows = 2;
    a.columns = 4;
    a.samplesPerPixel = static_cast<std::int16_t>(samples);
    a.photometric = photometric;
    a.bitsAllocated = a.bitsStored = 8;
    a.highBit = 7;
    a.pixelRepresentation = pixelRepresentation;
    return a;
}

TEST(J2kFrames, ReversibleColourTransformGivesRgb)
{
    const Bytes planes{10, 20, 30, 40, 50, 60, 70, 80, 200, 190, 180, 170, 160, 150, 140, 130, 0, 5, 9, 255, 1, 2, 3, 4};
    const Encoded e = fragments({codestream(planes, 3, false, true)});
    const PixelAttributes attrs = attributes(3, "YBR_RCT", 0);
    const auto image = decodePixelData(attrs, Compression::Jpeg2000Lossless, e.source(), std::nullopt);
    ASSERT_TRUE(image) << image.error().detail;
    Bytes rgb;
    for (std::size_t i = 0; i < 8; ++i)
        rgb.insert(rgb.end(), {planes[i], planes[8 + i], planes[16 + i]});
    EXPECT_EQ(image->frames.at(0).bytes, rgb);
    EXPECT_TRUE(image->warnings.empty());
}

TEST(J2kFrames, FragmentsGroupBySocWithoutAnOffsetTable)
{
    const Bytes stream = codestream(Bytes(8, 7), 1, false, false);
    const Bytes head(stream.begin(), stream.begin() + 20), tail(stream.begin() + 20, stream.end());
    Encapsulated data;
    data.fragments = {head, tail, stream};
    const auto frames = groupFragmentsByMarker(data, 2, 0x4F);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].size(), 2u);
    EXPECT_EQ(frames[1].size(), 1u);
}

} // namespace
} // namespace dicom
