#include "export/AviWriter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace exporting;
namespace fs = std::filesystem;

namespace {

// A width x height picture whose bytes count up from `first`.
Picture picture(std::int32_t width, std::int32_t height, int channels, std::uint8_t first = 1)
{
    Picture p { width, height, channels, {} };
    p.bytes.resize(static_cast<std::size_t>(width * height * channels));
    for (std::size_t i = 0; i < p.bytes.size(); ++i)
        p.bytes[i] = static_cast<std::uint8_t>(first + i);
    return p;
}

std::string movie(const AviSettings& settings, int frames)
{
    std::stringstream out;
    AviWriter writer(out, settings);
    for (int i = 0; i < frames; ++i)
        EXPECT_TRUE(writer.append(picture(3, 2, 3)).has_value());
    EXPECT_TRUE(writer.finish().has_value());
    return out.str();
}

std::uint32_t u32At(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes.at(at + static_cast<std::size_t>(i)));
    return value;
}

std::uint32_t fourcc(const char (&code)[5])
{
    return u32At(std::string(code, 4), 0);
}

struct TempFolder {
    fs::path path = fs::temp_directory_path() / ("tv-avi-" + std::to_string(::getpid()));
    TempFolder() { fs::create_directories(path); }
    ~TempFolder() { fs::remove_all(path); }
};

} // namespace

TEST(AviWriter, RateAndScaleFollowTheFrameTime)
{
    struct Case { double ms; std::uint32_t rate; std::uint32_t scale; };
    const Case cases[] = {
        { 66.67, 15, 1 },     // 14.9985 frames a second
        { 40.0, 25, 1 },
        { 1000.0, 1, 1 },
        { 2000.0, 1, 1 },       // half a frame a second rounds up
        { 2500.0, 1000, 2500 }, // 0.4 a second: kept exact
        { 3333.4, 1000, 3333 },
    };
    for (const Case& c : cases) {
        const AviRate rate = aviRate(c.ms);
        EXPECT_EQ(rate.rate, c.rate) << c.ms;
        EXPECT_EQ(rate.scale, c.scale) << c.ms;
    }
}

TEST(AviWriter, HeaderFieldsSitAtTheirOffsets)
{
    const AviSettings rgb { 40.0, AviCodec::Uncompressed, AviColour::Rgb, 90 };
    const AviSettings grey { 2500.0, AviCodec::Uncompressed, AviColour::Grey, 90 };
    const AviSettings jpeg { 40.0, AviCodec::MotionJpeg, AviColour::Rgb, 90 };
    const std::string rgbMovie = movie(rgb, 2);
    const std::string greyMovie = movie(grey, 2);
    // 3 x 2 pictures: rows of 9 (RGB) or 3 (grey) bytes padded to 12 and 4.
    struct Case { const char* field; const std::string& bytes; std::size_t at; std::uint32_t expected; };
    const Case cases[] = {
        { "RIFF", rgbMovie, 0, fourcc("RIFF") },
        { "riff size", rgbMovie, 4, 224 + 2 * (8 + 24) + 8 + 32 - 8 },
        { "avih total frames", rgbMovie, 48, 2 },
        { "avih suggested buffer", rgbMovie, 60, 24 },
        { "avih width", rgbMovie, 64, 3 },
        { "avih height", rgbMovie, 68, 2 },
        { "strh type", rgbMovie, 108, fourcc("vids") },
        { "strh scale", rgbMovie, 128, 1 },
        { "strh rate", rgbMovie, 132, 25 },
        { "strh length", rgbMovie, 140, 2 },
        { "strh suggested buffer", rgbMovie, 144, 24 },
        { "bit count, no compression", rgbMovie, 186, 24 },
        { "movi size", rgbMovie, 216, 4 + 2 * (8 + 24) },
        { "first chunk", rgbMovie, 224, fourcc("00db") },
        { "bottom row first, BGR", rgbMovie, 232, 0x0F0A0B0C },
        { "idx1", rgbMovie, 288, fourcc("idx1") },
        { "second entry flags", rgbMovie, 316, 0x10 },
        { "second entry offset", rgbMovie, 320, 4 + 32 },
        { "grey scale", greyMovie, 128, 2500 },
        { "grey rate", greyMovie, 132, 1000 },
        { "grey bit count", greyMovie, 186, 8 },
        { "grey colours used", greyMovie, 204, 256 },
        { "grey palette entry 255", greyMovie, 212 + 4 * 255, 0x00FFFFFF },
        { "grey first chunk size", greyMovie, 1252, 8 },
        { "grey riff size", greyMovie, 4, 1248 + 2 * (8 + 8) + 8 + 32 - 8 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(u32At(c.bytes, c.at), c.expected) << c.field;
    const std::string jpegMovie = movie(jpeg, 1);
    EXPECT_EQ(u32At(jpegMovie, 112), fourcc("MJPG"));
    EXPECT_EQ(u32At(jpegMovie, 188), fourcc("MJPG"));
    EXPECT_EQ(u32At(jpegMovie, 224), fourcc("00dc"));
    EXPECT_EQ(u32At(jpegMovie, 60), u32At(jpegMovie, 228)); // the one chunk is the largest
}

TEST(AviWriter, FramesOfAnotherSizeAreSkippedAndCounted)
{
    std::stringstream out;
    AviWriter writer(out, AviSettings {});
    for (const Picture& p : { picture(4, 4, 1), picture(5, 4, 1), picture(4, 4, 3), picture(4, 3, 3) })
        ASSERT_TRUE(writer.append(p).has_value());
    ASSERT_TRUE(writer.finish().has_value());
    EXPECT_EQ(writer.frameCount(), 2U);
    EXPECT_EQ(writer.skippedCount(), 2U);
    EXPECT_EQ(u32At(out.str(), 48), 2U);
}

TEST(AviWriter, MalformedPicturesAndEmptyMoviesAreRefused)
{
    Picture shortBytes = picture(4, 4, 3);
    shortBytes.bytes.pop_back();
    struct Case { const char* name; Picture picture; };
    const Case cases[] = {
        { "short", std::move(shortBytes) }, { "zero width", Picture { 0, 4, 1, {} } }, { "two channels", picture(2, 2, 2) },
    };
    for (const Case& c : cases) {
        std::stringstream out;
        AviWriter writer(out, AviSettings {});
        const auto appended = writer.append(c.picture);
        ASSERT_FALSE(appended.has_value()) << c.name;
        EXPECT_EQ(appended.error().code, ExportError::InvalidPicture) << c.name;
        ASSERT_FALSE(writer.finish().has_value());
        EXPECT_EQ(writer.finish().error().code, ExportError::InvalidPicture);
    }
}

TEST(AviWriter, RiffPastOneGibibyteIsRefusedBeforeWriting)
{
    // 1024 x 1024 RGB: 3 MiB a frame, 3 MiB + 24 bytes with chunk head and
    // index entry, so 341 frames fit under 1 GiB and 342 do not.
    const AviSettings rgb {};
    const std::uint64_t frame = aviFrameBytes(1024, 1024, AviColour::Rgb);
    EXPECT_LE(aviFileSize(rgb, 341, 341 * (frame + 8)), kMaxAviFileSize);
    EXPECT_GT(aviFileSize(rgb, 342, 342 * (frame + 8)), kMaxAviFileSize);

    TempFolder folder;
    bool fed = false;
    const auto result = writeAviFile(folder.path / "big.avi", rgb, 1024, 1024, 342, [&](AviWriter&) {
        fed = true;
        return Result<void> {};
    });
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().code, ExportError::TooLarge);
    EXPECT_FALSE(fed);
    EXPECT_TRUE(fs::is_empty(folder.path));
}

TEST(AviWriter, FailuresLeaveTheOldFileAndNoPartialFile)
{
    TempFolder folder;
    const fs::path target = folder.path / "movie.avi";
    std::ofstream(target) << "old";
    const AviSettings jpeg { 40.0, AviCodec::MotionJpeg, AviColour::Rgb, 90 };
    struct Case { const char* name; std::uint64_t frames; bool cancel; ExportError code; };
    const Case cases[] = {
        { "cancelled", 2, true, ExportError::Cancelled },
        { "disk too small", std::uint64_t(1) << 50, false, ExportError::NotEnoughSpace },
    };
    for (const Case& c : cases) {
        const auto result = writeAviFile(target, jpeg, 64, 64, c.frames, [&](AviWriter& writer) -> Result<void> {
            if (auto appended = writer.append(picture(64, 64, 3)); !appended)
                return appended;
            if (c.cancel)
                return Error { ExportError::Cancelled, {} };
            return {};
        });
        ASSERT_FALSE(result.has_value()) << c.name;
        EXPECT_EQ(result.error().code, c.code) << c.name;
        std::ifstream in(target);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old") << c.name;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1) << c.name;
    }
}

TEST(AviWriter, FfprobeReadsOurMovies)
{
    struct Case { const char* name; AviSettings settings; const char* expected; };
    const Case cases[] = {
        { "uncompressed rgb", { 66.67, AviCodec::Uncompressed, AviColour::Rgb, 90 }, "33,17,15/1,4" },
        { "uncompressed grey", { 2500.0, AviCodec::Uncompressed, AviColour::Grey, 90 }, "33,17,2/5,4" },
        { "mjpg rgb", { 40.0, AviCodec::MotionJpeg, AviColour::Rgb, 90 }, "33,17,25/1,4" },
        { "mjpg grey", { 40.0, AviCodec::MotionJpeg, AviColour::Grey, 90 }, "33,17,25/1,4" },
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const fs::path path = folder.path / "probe.avi";
        const auto written = writeAviFile(path, c.settings, 33, 17, 5, [](AviWriter& writer) -> Result<void> {
            for (int i = 0; i < 5; ++i) {
                // The third picture has another size and is skipped.
                if (auto appended = writer.append(picture(i == 2 ? 17 : 33, 17, 3, static_cast<std::uint8_t>(i * 40)));
                    !appended)
                    return appended;
            }
            return {};
        });
        ASSERT_TRUE(written.has_value()) << c.name;
        EXPECT_EQ(written->frames, 4U) << c.name;
        EXPECT_EQ(written->skipped, 1U) << c.name;
        const std::string command = "ffprobe -v error -count_frames -show_entries "
                                    "stream=width,height,r_frame_rate,nb_read_frames -of csv=p=0 '"
            + path.string() + "' 2>&1";
        std::string output;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[256];
            while (std::fgets(buffer, sizeof buffer, pipe))
                output += buffer;
            ::pclose(pipe);
        }
        EXPECT_EQ(output, std::string(c.expected) + "\n") << c.name;
    }
}
