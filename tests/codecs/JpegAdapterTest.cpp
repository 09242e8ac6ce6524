#include "codecs/JpegAdapter.h"
#include "codecs/JpegFrameDecoder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <optional>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <csignal>
#include <sys/resource.h>

namespace codecs {
namespace {

namespace fs = std::filesystem;

const fs::path kFiles = fs::path(TV_TESTDATA_DIR) / "jpeg-files";

struct FileCase {
    const char* name;
    std::optional<CodecError> code; // none: decodes
    std::uint32_t width, height;
    int components;
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

class JpegFiles : public testing::TestWithParam<FileCase> {};

TEST_P(JpegFiles, DecodeOrFailWithTheRightCode)
{
    const auto& c = GetParam();
    // Skip only without the test data folder: the missing-file case must run.
    if (!fs::exists(kFiles))
        GTEST_SKIP() << "test data folder not found: " << kFiles;
    auto picture = JpegAdapter::readFile(kFiles / c.name);
    if (c.code) {
        ASSERT_FALSE(picture.has_value());
        EXPECT_EQ(picture.error().code, *c.code) << picture.error().detail;
        return;
    }
    ASSERT_TRUE(picture.has_value()) << picture.error().detail;
    EXPECT_EQ(picture->width, c.width);
    EXPECT_EQ(picture->height, c.height);
    EXPECT_EQ(picture->components, c.components);
    EXPECT_EQ(picture->pixels.size(), std::size_t(c.width) * c.height * c.components);
}

INSTANTIATE_TEST_SUITE_P(TestData, JpegFiles,
    testing::Values(FileCase { "jfif-grey-baseline.jpg", {}, 320, 240, 1 },
        FileCase { "jfif-colour-baseline.jpg", {}, 227, 149, 3 },
        FileCase { "jfif-progressive.jpg", {}, 32, 23, 3 },
        FileCase { "jfif-arithmetic.jpg", {}, 227, 149, 3 },
        FileCase { "jfif-restart-odd.jpg", {}, 102, 77, 3 },
        FileCase { "rgb-component-ids.jpg", {}, 592, 800, 3 },
        FileCase { "jfif-12bit.jpg", CodecError::Unsupported, 0, 0, 0 },
        FileCase { "ycck-4comp.jpg", CodecError::Unsupported, 0, 0, 0 },
        FileCase { "bad-fuzz-26bytes.jpg", CodecError::FileIo, 0, 0, 0 },
        FileCase { "bad-fuzz-47bytes.jpg", CodecError::FileIo, 0, 0, 0 },
        FileCase { "no-such-file.jpg", CodecError::FileNotFound, 0, 0, 0 }),
    [](const auto& info) {
        std::string name = fs::path(info.param.name).stem().string();
        for (auto& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// A smooth picture (below 256 for the sizes used) survives JPEG compression
// within a few grey levels.
std::vector<std::uint8_t> gradient(std::uint32_t width, std::uint32_t height, int components)
{
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                pixels.push_back(static_cast<std::uint8_t>(20 + x * 2 + y * 2 + c * 30));
    return pixels;
}

std::vector<std::uint8_t> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

class JpegWriter : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::path(testing::TempDir()) / ("jpeg-writer-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(JpegWriter, WritesBaselineGreyAndColourThatReadBack)
{
    for (auto colour : { PictureColour::Grey, PictureColour::Rgb }) {
        const int components = colour == PictureColour::Rgb ? 3 : 1;
        const auto pixels = gradient(40, 24, components);
        const fs::path path = m_dir / (components == 3 ? "colour.jpg" : "grey.jpg");
        auto written = JpegAdapter::writeFile(path, pixels, 40, 24, colour, 95);
        ASSERT_TRUE(written.has_value()) << written.error().detail;

        auto bytes = readBytes(path);
        const std::uint8_t sof0[2] = { 0xFF, 0xC0 };
        EXPECT_NE(std::search(bytes.begin(), bytes.end(), sof0, sof0 + 2), bytes.end()) << "not baseline";
        auto picture = JpegAdapter::readFile(path);
        ASSERT_TRUE(picture.has_value()) << picture.error().detail;
        EXPECT_EQ(picture->components, components);
        ASSERT_EQ(picture->pixels.size(), pixels.size());
        int largest = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i)
            largest = std::max(largest, std::abs(int(picture->pixels[i]) - int(pixels[i])));
        EXPECT_LE(largest, 12);
    }
    // Only the two pictures: no temporary left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator {}), 2);
}

TEST_F(JpegWriter, FailureLeavesNoFile)
{
    const auto pixels = gradient(8, 8, 1);
    auto missingDir = JpegAdapter::writeFile(m_dir / "missing" / "a.jpg", pixels, 8, 8, PictureColour::Grey, 75);
    ASSERT_FALSE(missingDir.has_value());
    EXPECT_EQ(missingDir.error().code, CodecError::FileIo);
    EXPECT_EQ(missingDir.error().detail, "File creation error");

    auto shortBuffer = JpegAdapter::writeFile(m_dir / "b.jpg", pixels, 8, 8, PictureColour::Rgb, 75);
    ASSERT_FALSE(shortBuffer.has_value());
    EXPECT_EQ(shortBuffer.error().code, CodecError::Corrupt);

    auto empty = JpegAdapter::writeFile(m_dir / "c.jpg", pixels, 0, 8, PictureColour::Grey, 75);
    ASSERT_FALSE(empty.has_value());
    EXPECT_EQ(fs::directory_iterator(m_dir), fs::directory_iterator {});
}

TEST_F(JpegWriter, ReplacesAnExistingFileWhole)
{
    const fs::path path = m_dir / "a.jpg";
    std::ofstream(path) << "old contents that are longer than nothing";
    const auto pixels = gradient(16, 16, 3);
    ASSERT_TRUE(JpegAdapter::writeFile(path, pixels, 16, 16, PictureColour::Rgb, 75).has_value());
    auto bytes = readBytes(path);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
}

TEST_F(JpegWriter, TruncatedFrameDecodesWithWarningAndLeavesInputAlone)
{
    const fs::path path = m_dir / "a.jpg";
    const auto pixels = gradient(64, 64, 1);
    ASSERT_TRUE(JpegAdapter::writeFile(path, pixels, 64, 64, PictureColour::Grey, 90).has_value());
    auto bytes = readBytes(path);
    bytes.resize(bytes.size() * 2 / 3);
    const auto before = bytes;

    FrameParams params;
    params.rows = 64;
    params.columns = 64;
    std::vector<std::uint8_t> frame;
    auto result = decodeJpegFrame(bytes, params, frame);
    ASSERT_TRUE(result.has_value()) << result.error().detail;
    EXPECT_EQ(frame.size(), params.frameBytes());
    ASSERT_EQ(result->size(), 1u);
    EXPECT_NE(result->front().find("Premature end"), std::string::npos) << result->front();
    EXPECT_EQ(bytes, before);

    // Less than a sixteenth of the pixels: no longer a frame of this image.
    params.columns = 64 * 17;
    std::vector<std::uint8_t> unsized;
    auto mismatch = decodeJpegFrame(bytes, params, unsized);
    ASSERT_FALSE(mismatch.has_value());
    EXPECT_EQ(mismatch.error().code, CodecError::Corrupt);
    EXPECT_EQ(unsized.capacity(), 0u);
}

// A JPEG header up to its first scan, built byte by byte; the library reads no
// further before it is asked to decode.
std::vector<std::uint8_t> jpegHeader(std::uint8_t sofMarker, std::uint8_t precision, std::uint16_t width,
    std::uint16_t height, std::uint8_t components)
{
    std::vector<std::uint8_t> s { 0xFF, 0xD8 };                                     // SOI
    const int frameLength = 8 + 3 * components;
    s.insert(s.end(), { 0xFF, sofMarker });                                        // SOFn
    s.insert(s.end(), { std::uint8_t(frameLength >> 8), std::uint8_t(frameLength) }); // Lf
    s.push_back(precision);                                                         // P
    s.insert(s.end(), { std::uint8_t(height >> 8), std::uint8_t(height) });        // Y
    s.insert(s.end(), { std::uint8_t(width >> 8), std::uint8_t(width) });          // X
    s.push_back(components);                                                        // Nf
    for (int c = 0; c < components; ++c)
        s.insert(s.end(), { std::uint8_t(c + 1), 0x11, 0x00 });                     // Ci, Hi/Vi, Tqi
    const int scanLength = 6 + 2 * components;
    s.insert(s.end(), { 0xFF, 0xDA });                                             // SOS
    s.insert(s.end(), { std::uint8_t(scanLength >> 8), std::uint8_t(scanLength) }); // Ls
    s.push_back(components);                                                        // Ns
    for (int c = 0; c < components; ++c)
        s.insert(s.end(), { std::uint8_t(c + 1), 0x00 });                           // Csj, Tdj/Taj
    s.push_back(0x00);                                                              // Ss
    s.push_back(sofMarker == 0xC2 ? 0x00 : 0x3F);                                   // Se: DC only when progressive
    s.push_back(0x00);                                                              // Ah/Al
    s.insert(s.end(), { 0xFF, 0xD9 });                                             // EOI
    return s;
}

struct HeaderCase {
    const char* name;
    std::uint8_t sofMarker;
    std::uint8_t precision;
    std::uint16_t width, height;
    std::uint8_t components;
    CodecError code;
    const char* detail;
};

void PrintTo(const HeaderCase& c, std::ostream* os)
{
    *os << c.name;
}

class ForgedHeaders : public testing::TestWithParam<HeaderCase> {};

// Refused from the header alone: a huge progressive picture must not make the
// library allocate coefficient arrays for all of it first.
TEST_P(ForgedHeaders, AreRefusedBeforeDecoding)
{
    const auto& c = GetParam();
    auto picture = JpegAdapter::decode(jpegHeader(c.sofMarker, c.precision, c.width, c.height, c.components));
    ASSERT_FALSE(picture.has_value());
    EXPECT_EQ(picture.error().code, c.code);
    EXPECT_EQ(picture.error().detail, c.detail);
}

INSTANTIATE_TEST_SUITE_P(Headers, ForgedHeaders,
    testing::Values(
        HeaderCase { "huge_progressive", 0xC2, 8, 65000, 65000, 3, CodecError::Unsupported, "JPEG picture too large" },
        // Under the picture cap, but its coefficients (2 bytes a sample) are past the library's memory cap.
        HeaderCase { "progressive_coefficients_too_large", 0xC2, 8, 18000, 18000, 3, CodecError::Corrupt, "Backing store not supported" },
        HeaderCase { "huge_baseline", 0xC0, 8, 65000, 65000, 1, CodecError::Unsupported, "JPEG picture too large" },
        HeaderCase { "width_0", 0xC0, 8, 0, 8, 1, CodecError::Corrupt, "Empty JPEG image (DNL not supported)" },
        HeaderCase { "height_0", 0xC0, 8, 8, 0, 1, CodecError::Corrupt, "Empty JPEG image (DNL not supported)" },
        HeaderCase { "cmyk", 0xC0, 8, 8, 8, 4, CodecError::Unsupported, "JPEG pictures with 4 components (CMYK/YCCK) are not supported" },
        HeaderCase { "two_components", 0xC0, 8, 8, 8, 2, CodecError::Unsupported, "JPEG pictures need 1 or 3 components" },
        HeaderCase { "twelve_bit", 0xC1, 12, 8, 8, 1, CodecError::Unsupported, "Unsupported JPEG data precision 12" },
        HeaderCase { "no_quantisation_table", 0xC0, 8, 8, 8, 1, CodecError::Corrupt, "Quantization table 0x00 was not defined" }),
    [](const auto& info) { return std::string(info.param.name); });

// The file system refuses the write part way (a file size limit): the
// failure is returned, the file being replaced keeps its old contents and no
// temporary is left.
TEST_F(JpegWriter, FailedWriteKeepsTheOldFileAndLeavesNoTemporary)
{
    const auto pixels = gradient(256, 256, 3);
    const std::string old = "the picture written before";
    std::ofstream(m_dir / "a.jpg") << old;
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto written = JpegAdapter::writeFile(m_dir / "a.jpg", pixels, 256, 256, PictureColour::Rgb, 100);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    ASSERT_FALSE(written.has_value());
    EXPECT_EQ(written.error().code, CodecError::FileIo);
    const auto kept = readBytes(m_dir / "a.jpg");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator {}), 1);
}

} // namespace
} // namespace codecs
