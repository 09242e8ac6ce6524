// JPEG frames through the pixel-data path: fragments grouped into frames
// (also without an offset table), and real files decoded and normalised.

#include "codecs/JpegFrameDecoder.h"
#include "dicom/DicomReader.h"
#include "dicom/JpegFrames.h"
#include "tests/codecs/DicomFragments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

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
    auto image = decodePixelData(attrs, compression, source, std::nullopt, [&](Frame&& frame) -> base::Result<void> {
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
        std::vector<std::uint8_t> raw(params.frameBytes());
        ASSERT_TRUE(codecs::decodeJpegFrame(reference->frameStreams[f], params, raw).has_value());
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

} // namespace
} // namespace dicom
