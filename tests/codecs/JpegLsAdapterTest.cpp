// The JPEG-LS adapter's checks of a stream's header, on streams built byte by byte.

#include "codecs/JpegLsAdapter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace codecs {
namespace {

// T.87 C.2.2 and C.2.3: SOI, SOF55 and SOS of a grey frame, then a little scan data.
std::vector<std::uint8_t> jpegLsStream(std::uint16_t width, std::uint16_t height, std::uint8_t bits)
{
    return {
        0xFF, 0xD8,                                 // SOI
        0xFF, 0xF7, 0x00, 0x0B,                     // SOF55, length 11
        bits,                                       // P: sample precision
        std::uint8_t(height >> 8), std::uint8_t(height), // Y: lines
        std::uint8_t(width >> 8), std::uint8_t(width),   // X: columns
        0x01,                                       // Nf: one component
        0x01, 0x11, 0x00,                           // C1, H1/V1, Tq1
        0xFF, 0xDA, 0x00, 0x08,                     // SOS, length 8
        0x01, 0x01, 0x00,                           // Ns, Cs1, Tm1
        0x00, 0x00, 0x00,                           // NEAR, ILV none, Al/Ah
        0x12, 0x34, 0x56, 0x78,                     // scan data
        0xFF, 0xD9,                                 // EOI
    };
}

struct RefusalCase {
    const char* name;
    std::vector<std::uint8_t> stream;
    std::uint32_t rows, columns;
    std::uint16_t bitsAllocated;
    CodecError code;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegLsRefusal : public testing::TestWithParam<RefusalCase> {};

// Each refusal leaves the frame buffer unallocated unless the library itself failed.
TEST_P(JpegLsRefusal, RefusesWithTheCode)
{
    const RefusalCase& c = GetParam();
    FrameParams p;
    p.rows = c.rows;
    p.columns = c.columns;
    p.bitsAllocated = c.bitsAllocated;
    p.bitsStored = c.bitsAllocated;
    std::vector<std::uint8_t> frame;
    auto done = JpegLsAdapter::decodeFrame(c.stream, p, frame);
    ASSERT_FALSE(done);
    EXPECT_EQ(done.error().code, c.code) << done.error().detail;
    if (std::string(c.name) != "bad_scan_data") {
        EXPECT_EQ(frame.capacity(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Headers, JpegLsRefusal,
    testing::Values(RefusalCase { "forged_60000_square_16bit", jpegLsStream(60000, 60000, 16), 60000, 60000, 16, CodecError::Unsupported },
        RefusalCase { "size_differs", jpegLsStream(4, 4, 8), 5, 4, 8, CodecError::Corrupt },
        RefusalCase { "precision_above_allocated", jpegLsStream(4, 4, 12), 4, 4, 8, CodecError::Corrupt },
        RefusalCase { "precision_1", jpegLsStream(4, 4, 1), 4, 4, 8, CodecError::Corrupt },
        RefusalCase { "empty", {}, 4, 4, 8, CodecError::Corrupt },
        RefusalCase { "not_jpeg_ls", { 0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02, 0xFF, 0xD9 }, 4, 4, 8, CodecError::Corrupt },
        RefusalCase { "bad_scan_data", jpegLsStream(64, 64, 8), 64, 64, 8, CodecError::Corrupt }),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace codecs
