// JPEG frames through the pixel-data path: fragments grouped into frames
// (also without an offset table), real files decoded and normalised, the
// colour space of three-component frames, decoder warnings, and files whose
// attributes claim more than their compressed frames hold.

#include "codecs/JpegFrameDecoder.h"
#include "dicom/DicomReader.h"
#include "dicom/JpegFrames.h"
#include "dicom/PixelModule.h"
#include "tests/codecs/DicomFragments.h"
#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>

#include <jpeglib.h>
#include <sys/resource.h>

namespace dicom {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

struct Case {
    const char* path;
    const char* photometric;
    std::uint16_t pixelRepresentation;
    std::size_t frames;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.path;
}

class JpegFrames : public testing::TestWithParam<Case> {};

TEST_P(JpegFrames, GroupsDecodesAndNormalisesEveryFrame)
{
    const fs::path file = fs::path(TV_TESTDATA_DIR) / GetParam().path;
    if (!fs::exists(file))
        GTEST_SKIP() << "test data not found: " << file;
    const auto bytes = readFile(file);
    auto reference = codecs::test::readDicomImage(file.string());
    ASSERT_TRUE(reference);

    PixelAttributes attrs;
    attrs.rows = reference->rows;
    attrs.columns = reference->columns;
    attrs.samplesPerPixel = static_cast<std::int16_t>(reference->samples);
    attrs.bitsAllocated = static_cast<std::int16_t>(reference->bitsAllocated);
    attrs.bitsStored = static_cast<std::int16_t>(reference->bitsStored);
    attrs.highBit = static_cast<std::int16_t>(reference->bitsStored - 1);
    attrs.photometric = GetParam().photometric;
    attrs.pixelRepresentation = GetParam().pixelRepresentation;
    attrs.numberOfFrames = static_cast<std::int32_t>(reference->frames);
    const auto compression = std::string(GetParam().path).find("lossy") != std::string::npos
        ? Compression::JpegLossy : Compression::JpegLossless;

    // The fragments where the reader's pass over the file found them.
    ReadOptions options;
    options.pixelStage = [](DicomDataset&, ElementDecoder&) { return DicomError::None; };
    DicomDataset dataset;
    MemorySource memory(bytes);
    ASSERT_TRUE(DicomReader(options).read(memory, dataset));
    const PixelSource source { bytes, &dataset.pixelData, false };
    std::vector<Frame> frames;
    auto image = decodePixelData(attrs, compression, source, std::nullopt, [&](Frame&& frame) -> dicom::Result<void> {
        frames.push_back(std::move(frame));
        return {};
    }, 2);
    ASSERT_TRUE(image.has_value()) << image.error().detail;
    const auto count = static_cast<std::size_t>(image->attributes.numberOfFrames);
    ASSERT_EQ(count, GetParam().frames);
    ASSERT_EQ(frames.size(), reference->frameStreams.size());

    codecs::FrameParams params;
    params.rows = attrs.rows;
    params.columns = attrs.columns;
    params.samplesPerPixel = reference->samples;
    params.bitsAllocated = reference->bitsAllocated;
    params.bitsStored = reference->bitsStored;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        std::vector<std::uint8_t> raw;
        ASSERT_TRUE(codecs::decodeJpegFrame(reference->frameStreams[f], params, raw).has_value());
        ASSERT_EQ(raw.size(), params.frameBytes());
        if (frames[f].format == FrameFormat::Grey16) {
            std::vector<std::int16_t> samples(raw.size() / 2);
            std::memcpy(samples.data(), raw.data(), raw.size());
            EXPECT_EQ(frames[f].samples, samples) << "frame " << f;
        } else {
            EXPECT_EQ(frames[f].bytes, raw) << "frame " << f;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TestData, JpegFrames,
    testing::Values(Case { "jpeg-lossless/p14-pred6-2f-17fragments-no-bot.dcm", "MONOCHROME2", 0, 2 },
        Case { "jpeg-lossless/sv1-16bit-signed-4fragments.dcm", "MONOCHROME2", 1, 1 },
        Case { "jpeg-lossless/sv1-rgb-2f-cine.dcm", "RGB", 0, 2 },
        Case { "jpeg-lossy/ybr-full-8f-44fragments-no-bot.dcm", "YBR_FULL", 0, 8 }),
    [](const auto& info) {
        std::string name = fs::path(info.param.path).stem().string();
        for (auto& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// Fragments as the reader hands them over; each test names which start with
// SOI and where each fragment's item tag lies.
struct GroupingCase {
    const char* name;
    std::vector<bool> startsWithSoi;
    std::vector<std::uint32_t> offsetTable;
    std::int32_t numberOfFrames;
    std::vector<std::vector<std::size_t>> frames; // fragment indices of each frame
};

void PrintTo(const GroupingCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegFragmentGrouping : public testing::TestWithParam<GroupingCase> {};

TEST_P(JpegFragmentGrouping, GroupsByTableOrByStartOfImage)
{
    const auto& c = GetParam();
    // Each fragment has bytes of its own, so that a span tells which it is.
    std::vector<std::array<std::uint8_t, 4>> storage;
    for (bool soi : c.startsWithSoi)
        storage.push_back(soi ? std::array<std::uint8_t, 4> { 0xFF, 0xD8, 0xFF, 0xC3 }
                              : std::array<std::uint8_t, 4> { 0x12, 0x34, 0x56, 0x78 });
    Encapsulated encapsulated;
    encapsulated.offsetTable = c.offsetTable;
    for (std::size_t i = 0; i < storage.size(); ++i) {
        encapsulated.fragments.emplace_back(storage[i]);
        encapsulated.fragmentPositions.push_back(i * 12); // item tag, item length, 4 bytes
    }
    std::vector<std::vector<std::size_t>> frames;
    for (const auto& frame : groupJpegFragments(encapsulated, c.numberOfFrames)) {
        frames.emplace_back();
        for (auto fragment : frame) {
            const auto own = std::find_if(storage.begin(), storage.end(),
                [&fragment](const auto& bytes) { return bytes.data() == fragment.data(); });
            frames.back().push_back(static_cast<std::size_t>(own - storage.begin()));
        }
    }
    EXPECT_EQ(frames, c.frames);
}

INSTANTIATE_TEST_SUITE_P(Fragments, JpegFragmentGrouping,
    testing::Values(
        GroupingCase { "one_frame_takes_every_fragment", { true, false, false }, {}, 1, { { 0, 1, 2 } } },
        GroupingCase { "split_at_each_start_of_image", { true, false, true, false }, {}, 2, { { 0, 1 }, { 2, 3 } } },
        GroupingCase { "one_fragment_a_frame", { true, true }, {}, 2, { { 0 }, { 1 } } },
        GroupingCase { "no_more_frames_than_stated", { true, true, false, true }, {}, 2, { { 0 }, { 1, 2, 3 } } },
        GroupingCase { "by_the_offset_table", { true, false, true, false }, { 0, 24 }, 2, { { 0, 1 }, { 2, 3 } } },
        GroupingCase { "first_not_an_image_start", { false, true, true }, {}, 2, { { 0 }, { 1 } } }),
    [](const auto& info) { return std::string(info.param.name); });

// How a test stream is written: the colour space its samples are stored in,
// its markers, component identifiers and luma sampling (chroma is 1 x 1).
struct StreamForm {
    J_COLOR_SPACE stored;
    bool jfif, adobe;
    std::array<int, 3> ids;
    int lumaSampling;
};

// A 16 x 16 picture of four flat 8 x 8 blocks, one of each colour.
constexpr std::array<std::array<std::uint8_t, 3>, 4> kColours{
    {{200, 30, 40}, {20, 180, 60}, {30, 50, 210}, {240, 240, 40}}};

// The library's default error exit ends the test program, which is what a test wants here.
std::vector<std::uint8_t> encodeBlocks(const StreamForm& form)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = info.image_height = 16;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, form.stored);
    jpeg_set_quality(&info, 95, TRUE);
    info.write_JFIF_header = form.jfif;
    info.write_Adobe_marker = form.adobe;
    for (int c = 0; c < 3; ++c) {
        info.comp_info[c].component_id = form.ids[c];
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = c == 0 ? form.lumaSampling : 1;
    }
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < 16; ++y) {
        std::array<std::uint8_t, 16 * 3> row{};
        for (int x = 0; x < 16; ++x)
            std::copy_n(kColours[(y / 8) * 2 + x / 8].begin(), 3, row.begin() + x * 3);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> stream(buffer, buffer + size);
    std::free(buffer);
    return stream;
}

// Encapsulated pixel data (PS3.5 A.4), one fragment a frame, extracted as a
// 16 x 16 lossy RGB-like image labelled photometric.
dicom::Result<PixelFrames> extractStreams(const std::vector<std::vector<std::uint8_t>>& streams, const char* photometric)
{
    testsupport::DicomBytes b;
    b.preamble();
    b.tag(0x7FE0, 0x0010).vr("OB").reserved().len32(UndefinedLength); // Pixel Data
    b.item(0);                                                        // empty basic offset table
    for (auto stream : streams) {
        stream.resize(stream.size() + stream.size() % 2);                // even length
        b.item(static_cast<std::uint32_t>(stream.size())).raw(stream);  // fragment
    }
    b.sequenceEnd();
    ReadOptions options;
    options.pixelStage = [](DicomDataset&, ElementDecoder&) { return DicomError::None; };
    DicomDataset dataset;
    MemorySource memory(b.bytes());
    if (!DicomReader(options).read(memory, dataset))
        return dicom::Error{dataset.error, "not read"};
    PixelAttributes attrs;
    attrs.rows = attrs.columns = 16;
    attrs.samplesPerPixel = 3;
    attrs.bitsAllocated = attrs.bitsStored = 8;
    attrs.highBit = 7;
    attrs.photometric = photometric;
    attrs.numberOfFrames = static_cast<std::int32_t>(streams.size());
    const PixelSource source{b.bytes(), &dataset.pixelData, false};
    return decodePixelData(attrs, Compression::JpegLossy, source, std::nullopt, {}, 2);
}

struct ColourCase {
    const char* name;
    StreamForm form;
    const char* photometric;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }

class JpegColour : public testing::TestWithParam<ColourCase> {};

TEST_P(JpegColour, StreamMarkersThenTheLabelDecideWhetherSamplesAreYCbCr)
{
    const auto image = extractStreams({encodeBlocks(GetParam().form)}, GetParam().photometric);
    ASSERT_TRUE(image) << image.error().detail;
    const auto& frames = image->frames;
    ASSERT_EQ(frames.at(0).bytes.size(), 16u * 16u * 3u);
    for (int block = 0; block < 4; ++block) {
        const std::size_t centre = ((block / 2) * 8 + 4) * 16 + (block % 2) * 8 + 4;
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(frames[0].bytes[centre * 3 + c], kColours[block][c], 12) << "block " << block << " " << c;
    }
}

constexpr std::array<int, 3> kRgbIds{'R', 'G', 'B'};

INSTANTIATE_TEST_SUITE_P(Streams, JpegColour,
    testing::Values(
        ColourCase{"adobe_transform_0", {JCS_RGB, true, true, {1, 2, 3}, 1}, "RGB"},
        ColourCase{"adobe_transform_1", {JCS_YCbCr, false, true, {0, 1, 2}, 1}, "RGB"},
        ColourCase{"rgb_identifiers", {JCS_RGB, false, false, kRgbIds, 1}, "RGB"},
        ColourCase{"jfif_full_chroma", {JCS_YCbCr, true, false, {0, 1, 2}, 1}, "RGB"},
        ColourCase{"subsampled_chroma", {JCS_YCbCr, false, false, {1, 2, 3}, 2}, "RGB "},
        ColourCase{"unmarked_0_1_2_labelled_rgb", {JCS_RGB, false, false, {0, 1, 2}, 1}, "RGB"},
        ColourCase{"unmarked_1_2_3_labelled_rgb", {JCS_RGB, false, false, {1, 2, 3}, 1}, "RGB "},
        ColourCase{"unmarked_labelled_ybr", {JCS_YCbCr, false, false, {1, 2, 3}, 1}, "YBR_FULL_422"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JpegWarnings, AreHandedOnOnceWithTheFrames)
{
    const auto whole = encodeBlocks({JCS_YCbCr, true, false, {1, 2, 3}, 2});
    const std::vector<std::uint8_t> cut(whole.begin(), whole.end() - 2); // without its end of image
    const auto image = extractStreams({whole, cut, whole, cut}, "RGB");
    ASSERT_TRUE(image) << image.error().detail;
    EXPECT_EQ(image->frames.size(), 4u);
    EXPECT_EQ(image->warnings, (std::vector<std::string>{"Premature end of JPEG file"}));
}

// Files whose attributes and streams disagree in size by far, each read in
// a child process (so that its peak memory is its own) on two decoding
// threads: Rows and Columns raised beyond what the compressed frame holds
// fail as corrupted before the frame's memory is taken; streams that claim
// far more than their frame (made by tests/data/make_larger_streams.py) give
// the frame's top-left part, cropped with a warning, or are refused when the
// library would have to hold them whole. Either way the read costs under
// 64 MiB and a second.
struct ForgedCase {
    const char* file;
    DicomError error; // None: read, cropped
    std::size_t frames;
};

void PrintTo(const ForgedCase& c, std::ostream* os) { *os << c.file; }

class ForgedSize : public testing::TestWithParam<ForgedCase> {};

[[noreturn]] void readAndExit(const ForgedCase& c)
{
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    std::size_t frames = 0;
    std::vector<std::string> warnings;
    ReadOptions options;
    options.pixelStage = [&](DicomDataset& dataset, ElementDecoder& decoder) {
        auto image = readPixelFrames(dataset, decoder, {}, 2u);
        if (!image)
            return image.error().code;
        frames = image->frames.size();
        warnings = image->warnings;
        return DicomError::None;
    };
    DicomDataset dataset;
    const bool read = DicomReader(options).read(fs::path(TV_SOURCE_DIR) / "tests/data" / c.file, dataset);
    const auto took = std::chrono::steady_clock::now() - start;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const long grewKiB = after.ru_maxrss - before.ru_maxrss;
    const bool cropped = std::any_of(warnings.begin(), warnings.end(),
                                     [](const std::string& w) { return w.find("; cropped") != std::string::npos; });
    std::fprintf(stderr, "error %d, %zu frames, %s, peak grew by %ld KiB in %lld ms\n", static_cast<int>(dataset.error),
                 frames, cropped ? "cropped" : "not cropped", grewKiB,
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    const bool outcome = c.error == DicomError::None ? read && frames == c.frames && cropped
                                                     : !read && dataset.error == c.error;
    std::exit(outcome && grewKiB < 65536 && took < std::chrono::seconds(1) ? 0 : 1);
}

TEST_P(ForgedSize, StaysWithinTheFramesMemoryAndTime)
{
    EXPECT_EXIT(readAndExit(GetParam()), testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Regressions, ForgedSize,
    testing::Values(ForgedCase{"jpeg-baseline-rows-columns-46340.dcm", DicomError::Corrupted, 0},
                    ForgedCase{"jpeg-lossless-rows-columns-46340.dcm", DicomError::Corrupted, 0},
                    ForgedCase{"rle-rows-columns-32767.dcm", DicomError::Corrupted, 0},
                    ForgedCase{"jpeg-baseline-stream-larger-32768.dcm", DicomError::None, 1},
                    ForgedCase{"jpeg-baseline-8-frames-stream-larger-32768.dcm", DicomError::None, 8},
                    ForgedCase{"jpeg-extended-12bit-stream-larger-16384.dcm", DicomError::None, 1},
                    ForgedCase{"jpeg-lossless-stream-larger-16384.dcm", DicomError::None, 1},
                    ForgedCase{"jpeg-progressive-stream-larger-32768.dcm", DicomError::Corrupted, 0}),
    [](const auto& info) {
        std::string name = fs::path(info.param.file).stem().string();
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace dicom
