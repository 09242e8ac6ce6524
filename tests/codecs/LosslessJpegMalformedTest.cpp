// Lossless JPEG streams with one broken field each, built byte by byte.

#include "codecs/LosslessJpegDecoder.h"

#include <gtest/gtest.h>

#include <optional>

#include <functional>

namespace codecs {
namespace {

// The fields of a tiny 2 x 1 8-bit stream; each case changes one of them.
struct Fields {
    std::vector<std::uint8_t> start { 0xFF, 0xD8 };
    std::vector<std::uint8_t> beforeTables;
    std::uint8_t tableClassAndSlot = 0x00;
    std::vector<std::uint8_t> counts { 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    std::vector<std::uint8_t> values { 0, 1, 2 };
    std::vector<std::uint8_t> beforeFrame;
    std::uint8_t frameMarker = 0xC3;
    int frameLengthDelta = 0;
    std::uint8_t precision = 8;
    std::uint16_t height = 1;
    std::uint16_t width = 2;
    std::uint8_t componentCount = 1;
    std::uint8_t sampling = 0x11;
    std::vector<std::uint8_t> beforeScan;
    std::uint8_t scanMarker = 0xDA;
    int scanLengthDelta = 0;
    std::uint8_t scanCount = 1;
    std::uint8_t selector = 1;
    std::uint8_t tableSelector = 0x00;
    std::uint8_t predictor = 1;
    std::uint8_t pointTransform = 0;
    bool stopAfterFrame = false;
};

std::vector<std::uint8_t> build(const Fields& f)
{
    std::vector<std::uint8_t> s = f.start;                        // SOI
    s.insert(s.end(), f.beforeTables.begin(), f.beforeTables.end());
    const auto dhtLength = static_cast<std::uint16_t>(2 + 1 + f.counts.size() + f.values.size());
    s.insert(s.end(), { 0xFF, 0xC4 });                             // DHT
    s.insert(s.end(), { std::uint8_t(dhtLength >> 8), std::uint8_t(dhtLength) }); // segment length
    s.push_back(f.tableClassAndSlot);                               // Tc (class) and Th (slot)
    s.insert(s.end(), f.counts.begin(), f.counts.end());            // codes per length 1..16
    s.insert(s.end(), f.values.begin(), f.values.end());            // magnitude categories
    s.insert(s.end(), f.beforeFrame.begin(), f.beforeFrame.end());
    const int frameLength = 8 + 3 * f.componentCount + f.frameLengthDelta;
    s.insert(s.end(), { 0xFF, f.frameMarker });                    // SOFn
    s.insert(s.end(), { std::uint8_t(frameLength >> 8), std::uint8_t(frameLength) }); // Lf
    s.push_back(f.precision);                                       // P
    s.insert(s.end(), { std::uint8_t(f.height >> 8), std::uint8_t(f.height) }); // Y
    s.insert(s.end(), { std::uint8_t(f.width >> 8), std::uint8_t(f.width) });   // X
    s.push_back(f.componentCount);                                  // Nf
    for (int c = 0; c < f.componentCount; ++c)
        s.insert(s.end(), { std::uint8_t(c + 1), f.sampling, 0x00 }); // Ci, Hi/Vi, Tqi
    if (f.stopAfterFrame)
        return s;
    s.insert(s.end(), f.beforeScan.begin(), f.beforeScan.end());
    const int scanLength = 6 + 2 * f.scanCount + f.scanLengthDelta;
    s.insert(s.end(), { 0xFF, f.scanMarker });                     // SOS
    s.insert(s.end(), { std::uint8_t(scanLength >> 8), std::uint8_t(scanLength) }); // Ls
    s.push_back(f.scanCount);                                       // Ns
    for (int c = 0; c < f.scanCount; ++c)
        s.insert(s.end(), { f.selector, f.tableSelector });          // Csj, Tdj/Taj
    s.push_back(f.predictor);                                       // Ss: predictor
    s.push_back(0x00);                                              // Se
    s.push_back(f.pointTransform);                                  // Ah/Al: point transform
    s.push_back(0x67); // codes 01 (category 1), bit 1 (+1), 00 (category 0), pad 111
    s.insert(s.end(), { 0xFF, 0xD9 });                             // EOI
    return s;
}

struct MalformedCase {
    const char* name;
    std::function<void(Fields&)> change;
    std::optional<CodecError> code; // none: decodes to 129 129
    const char* text; // the error, or the one warning
};

void PrintTo(const MalformedCase& c, std::ostream* os)
{
    *os << c.name;
}

class LosslessMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(LosslessMalformed, FailsWithTheRightCodeOrWarnsOnce)
{
    Fields fields;
    GetParam().change(fields);
    FrameParams params;
    params.rows = 1;
    params.columns = 2;
    std::vector<std::uint8_t> frame(2, 0xAA);
    auto result = LosslessJpegDecoder::decode(build(fields), params, frame);
    if (GetParam().code) {
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().code, *GetParam().code);
        EXPECT_EQ(result.error().detail, GetParam().text);
        return;
    }
    ASSERT_TRUE(result.has_value()) << result.error().detail;
    EXPECT_EQ(frame, (std::vector<std::uint8_t> { 129, 129 }));
    if (*GetParam().text)
        EXPECT_EQ(result->warnings, std::vector<std::string> { GetParam().text });
    else
        EXPECT_TRUE(result->warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(Fields, LosslessMalformed,
    testing::Values(
        MalformedCase { "valid", [](Fields&) {}, {}, "" },
        MalformedCase { "not_soi", [](Fields& f) { f.start = { 0xFF, 0xD9 }; }, CodecError::Corrupt, "Not a JPEG file. Found FF D9" },
        MalformedCase { "precision_17", [](Fields& f) { f.precision = 17; }, CodecError::Unsupported, "Unsupported JPEG data precision" },
        MalformedCase { "precision_1", [](Fields& f) { f.precision = 1; }, CodecError::Unsupported, "Unsupported JPEG data precision" },
        MalformedCase { "sof_length", [](Fields& f) { f.frameLengthDelta = 1; }, CodecError::Corrupt, "Bogus SOF length" },
        MalformedCase { "width_0", [](Fields& f) { f.width = 0; }, CodecError::Corrupt, "Empty JPEG image (DNL not supported)" },
        MalformedCase { "height_0_dnl", [](Fields& f) { f.height = 0; }, CodecError::Unsupported, "Empty JPEG image (DNL not supported)" },
        MalformedCase { "five_components", [](Fields& f) { f.componentCount = 5; }, CodecError::Unsupported, "Too many components for interleaved scan" },
        MalformedCase { "sof2", [](Fields& f) { f.frameMarker = 0xC2; }, CodecError::Unsupported, "Unsupported SOF marker type 0xc2" },
        MalformedCase { "dht_index_5", [](Fields& f) { f.tableClassAndSlot = 0x05; }, CodecError::Corrupt, "Bogus DHT index 5" },
        MalformedCase { "dht_counts_257", [](Fields& f) { f.counts[8] = 255; f.counts[9] = 2; }, CodecError::Corrupt, "Bogus DHT counts" },
        MalformedCase { "dht_values_missing", [](Fields& f) { f.values = { 0, 1 }; }, CodecError::Corrupt, "Bogus DHT counts" },
        MalformedCase { "huffman_oversubscribed", [](Fields& f) { f.counts[1] = 4; f.values = { 0, 1, 2, 3 }; }, CodecError::Corrupt, "Bogus Huffman table" },
        MalformedCase { "huffman_value_17", [](Fields& f) { f.values = { 0, 1, 17 }; }, CodecError::Corrupt, "Bogus Huffman table" },
        MalformedCase { "only_ac_table", [](Fields& f) { f.tableClassAndSlot = 0x10; }, CodecError::Corrupt, "Error: Use of undefined Huffman table" },
        MalformedCase { "scan_table_1_undefined", [](Fields& f) { f.tableSelector = 0x10; }, CodecError::Corrupt, "Error: Use of undefined Huffman table" },
        MalformedCase { "scan_component_9", [](Fields& f) { f.selector = 9; }, CodecError::Corrupt, "Invalid component number in SOS" },
        MalformedCase { "sos_length", [](Fields& f) { f.scanLengthDelta = 1; }, CodecError::Corrupt, "Bogus SOS length" },
        MalformedCase { "sos_no_components", [](Fields& f) { f.scanCount = 0; }, CodecError::Corrupt, "Bogus SOS length" },
        MalformedCase { "point_transform_8", [](Fields& f) { f.pointTransform = 8; }, CodecError::Corrupt, "Bogus point transform 8" },
        MalformedCase { "dri_length_5", [](Fields& f) { f.beforeFrame = { 0xFF, 0xDD, 0x00, 0x05, 0x00, 0x02, 0x00 }; }, CodecError::Corrupt, "Bogus length in DRI" },
        MalformedCase { "dri_inside_row", [](Fields& f) { f.beforeFrame = { 0xFF, 0xDD, 0x00, 0x04, 0x00, 0x03 }; }, CodecError::Unsupported, "Restart intervals that end inside a row are not supported" },
        MalformedCase { "segment_length_1", [](Fields& f) { f.beforeTables = { 0xFF, 0xE0, 0x00, 0x01 }; }, CodecError::Corrupt, "Bogus marker length" },
        MalformedCase { "segment_past_end", [](Fields& f) { f.beforeTables = { 0xFF, 0xE0, 0xFF, 0xFF }; }, CodecError::Corrupt, "Premature end of JPEG data" },
        MalformedCase { "ends_after_frame", [](Fields& f) { f.stopAfterFrame = true; }, CodecError::Corrupt, "Premature end of JPEG data" },
        MalformedCase { "eoi_before_scan", [](Fields& f) { f.beforeScan = { 0xFF, 0xD9 }; }, CodecError::Corrupt, "JPEG stream ends before its scan" },
        MalformedCase { "frame_instead_of_scan", [](Fields& f) { f.scanMarker = 0xC3; }, CodecError::Corrupt, "Unexpected marker 0xc3" },
        MalformedCase { "width_differs", [](Fields& f) { f.width = 3; }, CodecError::Corrupt, "JPEG frame size does not match the image attributes (3 x 1 x 1)" },
        MalformedCase { "undefined_predictor", [](Fields& f) { f.predictor = 9; }, {}, "Warning: Undefined PSV" },
        MalformedCase { "quantisation_table", [](Fields& f) { f.beforeFrame = { 0xFF, 0xDB, 0x00, 0x04, 0xFF, 0xC3 }; }, {}, "Not a lossless JPEG file." },
        MalformedCase { "stray_restart_markers", [](Fields& f) { f.beforeFrame = { 0xFF, 0xD3, 0xFF, 0xD4 }; }, {}, "Warning: unexpected marker 0xd3" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace codecs
