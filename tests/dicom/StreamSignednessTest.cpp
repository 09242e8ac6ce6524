// JPEG 2000, HTJ2K and JPEG-LS frames whose stream disagrees with Pixel
// Representation: the data set decides, as in GDCM and pydicom. A 13-bit CT
// stored -2000 as the unsigned pattern 6192; read as signed it is -2000 again.
// The streams are made by opj_compress, ojph_compress and CharLS; the files
// are checked against gdcmconv --raw.

#include "dicom/DicomReader.h"
#include "dicom/PixelFrames.h"
#include "dicom/PixelModule.h"
#include "tests/support/DicomBytes.h"

#include <charls/charls.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace dicom {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Samples = std::vector<std::int16_t>;

enum class Maker { Opj, Ojph, CharLs };

constexpr int kBits = 13;
// 4 x 2 samples of a 13-bit CT, both ends of the range among them.
const Samples kValues{-2000, -1, 0, 1, 1896, -4096, 4095, 100};

Samples asUnsigned(const Samples& values)
{
    Samples out;
    for (std::int16_t v : values)
        out.push_back(static_cast<std::int16_t>(v & ((1 << kBits) - 1)));
    return out;
}

std::string stem()
{
    return (fs::path(testing::TempDir()) / ("signedness-" + std::to_string(::getpid()))).string();
}

Bytes readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool run(const std::string& command)
{
    return std::system((command + " > /dev/null 2>&1").c_str()) == 0;
}

// kValues as a 4 x 2 stream of 13-bit samples: two's complement when the
// stream is signed, the unsigned 13-bit patterns otherwise.
Bytes makeStream(Maker maker, bool streamSigned)
{
    const Samples samples = streamSigned ? kValues : asUnsigned(kValues);
    if (maker == Maker::CharLs) {
        charls_jpegls_encoder* encoder = charls_jpegls_encoder_create();
        const charls_frame_info info{4, 2, kBits, 1};
        EXPECT_EQ(charls_jpegls_encoder_set_frame_info(encoder, &info), charls_jpegls_errc::success);
        Bytes out(4096);
        EXPECT_EQ(charls_jpegls_encoder_set_destination_buffer(encoder, out.data(), out.size()), charls_jpegls_errc::success);
        EXPECT_EQ(charls_jpegls_encoder_encode_from_buffer(encoder, samples.data(), samples.size() * 2, 0),
                  charls_jpegls_errc::success);
        std::size_t written = 0;
        EXPECT_EQ(charls_jpegls_encoder_get_bytes_written(encoder, &written), charls_jpegls_errc::success);
        charls_jpegls_encoder_destroy(encoder);
        out.resize(written);
        return out;
    }
    const std::string base = stem();
    std::ofstream(base + ".rawl", std::ios::binary)
        .write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
    const std::string sign = streamSigned ? "s" : "u";
    const std::string command = maker == Maker::Opj
        ? "opj_compress -n 1 -F 4,2,1,13," + sign + " -i " + base + ".rawl -o " + base + ".j2c"
        : "ojph_compress -dims {4,2} -num_comps 1 -downsamp {1,1} -bit_depth 13 -reversible true -num_decomps 0"
          " -signed " + std::string(streamSigned ? "true" : "false") + " -i " + base + ".rawl -o " + base + ".j2c";
    EXPECT_TRUE(run(command)) << command;
    return readAll(base + ".j2c");
}

const char* transferSyntax(Maker maker)
{
    switch (maker) {
    case Maker::Opj: return "1.2.840.10008.1.2.4.90";
    case Maker::Ojph: return "1.2.840.10008.1.2.4.201";
    case Maker::CharLs: return "1.2.840.10008.1.2.4.80";
    }
    return "";
}

// A Part 10 file of one 4 x 2 MONOCHROME2 frame, 16 bits allocated, 13 stored.
testsupport::DicomBytes dicomFile(Maker maker, Bytes stream, std::uint16_t pixelRepresentation)
{
    testsupport::DicomBytes b;
    b.part10Header(transferSyntax(maker));
    b.element(0x0008, 0x0016, "UI", std::string("1.2.840.10008.5.1.4.1.1.7\0", 26)); // SOP Class UID
    b.element(0x0008, 0x0018, "UI", std::string("1.2.3.4\0", 8));                  // SOP Instance UID
    b.elementU16(0x0028, 0x0002, "US", 1);                                       // Samples per Pixel
    b.element(0x0028, 0x0004, "CS", "MONOCHROME2 ");                            // Photometric
    b.elementU16(0x0028, 0x0010, "US", 2);                                       // Rows
    b.elementU16(0x0028, 0x0011, "US", 4);                                       // Columns
    b.elementU16(0x0028, 0x0100, "US", 16);                                      // Bits Allocated
    b.elementU16(0x0028, 0x0101, "US", kBits);                                   // Bits Stored
    b.elementU16(0x0028, 0x0102, "US", kBits - 1);                               // High Bit
    b.elementU16(0x0028, 0x0103, "US", pixelRepresentation);                     // Pixel Representation
    b.tag(0x7FE0, 0x0010).vr("OB").reserved().len32(UndefinedLength);            // Pixel Data
    b.item(0);                                                                   // empty offset table
    stream.resize(stream.size() + stream.size() % 2);
    b.item(static_cast<std::uint32_t>(stream.size())).raw(stream);               // the frame
    b.sequenceEnd();
    return b;
}

struct Opened {
    bool read = false;
    DicomDataset dataset;
};

Opened openFile(const fs::path& path)
{
    ReadOptions options;
    options.pixelStage = &readPixelStage;
    Opened o;
    o.read = DicomReader(options).read(path, o.dataset);
    return o;
}

struct Case {
    const char* name;
    Maker maker;
    bool streamSigned;
    std::uint16_t pixelRepresentation;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class StreamSignedness : public testing::TestWithParam<Case> {};

// The frame holds kValues when the data set says signed, their 13-bit
// patterns when it says unsigned; a JPEG 2000 stream that says otherwise is
// warned of once.
TEST_P(StreamSignedness, PixelRepresentationDecides)
{
    const Case& c = GetParam();
    const auto file = dicomFile(c.maker, makeStream(c.maker, c.streamSigned), c.pixelRepresentation);
    const fs::path path = file.writeTemp(std::string(c.name) + ".dcm");
    const Opened ours = openFile(path);
    fs::remove(path);
    ASSERT_TRUE(ours.read) << ours.dataset.errorMessage();
    ASSERT_EQ(ours.dataset.frames.size(), 1u);
    EXPECT_EQ(ours.dataset.frames[0].samples, c.pixelRepresentation == 1 ? kValues : asUnsigned(kValues));
    EXPECT_EQ(ours.dataset.image.pixelRepresentation, c.pixelRepresentation);
    const bool disagree = c.maker != Maker::CharLs && c.streamSigned != (c.pixelRepresentation == 1);
    const std::vector<std::string> warning{std::string("The JPEG 2000 stream is ") + (c.streamSigned ? "signed" : "unsigned")
                                           + " but Pixel Representation says " + (c.streamSigned ? "unsigned" : "signed")
                                           + ": Pixel Representation is used"};
    EXPECT_EQ(ours.dataset.warnings, disagree ? warning : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Streams, StreamSignedness,
    testing::Values(Case{"j2k_unsigned_stream_signed_data", Maker::Opj, false, 1},
                    Case{"j2k_signed_stream_unsigned_data", Maker::Opj, true, 0},
                    Case{"j2k_signed_both", Maker::Opj, true, 1},
                    Case{"j2k_unsigned_both", Maker::Opj, false, 0},
                    Case{"htj2k_unsigned_stream_signed_data", Maker::Ojph, false, 1},
                    Case{"jpegls_signed_data", Maker::CharLs, false, 1},
                    Case{"jpegls_unsigned_data", Maker::CharLs, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

class SignednessAsGdcm : public testing::TestWithParam<Case> {};

// Our frame equals the one we read from gdcmconv --raw's uncompressed copy.
// GDCM 3.0 knows no HTJ2K transfer syntax, so only JPEG 2000 and JPEG-LS.
TEST_P(SignednessAsGdcm, MatchesGdcmconvRaw)
{
    if (!run("command -v gdcmconv"))
        GTEST_SKIP() << "gdcmconv not found: install libgdcm-tools to compare with GDCM";
    const Case& c = GetParam();
    const auto file = dicomFile(c.maker, makeStream(c.maker, c.streamSigned), c.pixelRepresentation);
    const fs::path path = file.writeTemp(std::string(c.name) + ".dcm");
    const fs::path raw = path.string() + ".raw.dcm";
    ASSERT_TRUE(run("gdcmconv --raw '" + path.string() + "' '" + raw.string() + "'"));
    const Opened ours = openFile(path), theirs = openFile(raw);
    fs::remove(path);
    fs::remove(raw);
    ASSERT_TRUE(ours.read && theirs.read);
    ASSERT_EQ(ours.dataset.frames.size(), 1u);
    ASSERT_EQ(theirs.dataset.frames.size(), 1u);
    EXPECT_EQ(ours.dataset.frames[0].samples, theirs.dataset.frames[0].samples);
}

INSTANTIATE_TEST_SUITE_P(Streams, SignednessAsGdcm,
    testing::Values(Case{"j2k_unsigned_stream_signed_data", Maker::Opj, false, 1},
                    Case{"j2k_signed_stream_unsigned_data", Maker::Opj, true, 0},
                    Case{"jpegls_signed_data", Maker::CharLs, false, 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace dicom
