#include "export/ExportRun.h"
#include "export/FramePipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using exporting::ExportError;
using exporting::Picture;
using exporting::Result;

// Frame f renders as a 2 x 1 grey picture of value f; later frames come
// back sooner, so the workers finish out of order.
exporting::PictureSource countingSource(int frames, std::atomic<int>& started)
{
    exporting::PictureSource source;
    source.frameCount = frames;
    source.picture = [frames, &started](int frame) -> Result<Picture> {
        ++started;
        std::this_thread::sleep_for(std::chrono::milliseconds(frames - frame));
        const auto v = static_cast<std::uint8_t>(frame);
        return Picture { 2, 1, 1, { v, v } };
    };
    return source;
}

TEST(FramePipeline, DeliversInOrderWithBoundedPictures)
{
    struct Case {
        const char* name;
        unsigned workers;
        std::vector<int> frames;
    };
    const Case cases[] = {
        { "one worker", 1, { 0, 1, 2, 3 } },
        { "two workers", 2, { 5, 4, 3, 2, 1, 0, 6, 7 } },
        { "more workers than frames", 8, { 3, 1 } },
        { "out of range frame", 2, { 0, 9, 1 } },
    };
    for (const Case& c : cases) {
        std::atomic<int> started = 0;
        const auto source = countingSource(8, started);
        std::vector<int> seen;
        const auto run = exporting::renderInOrder(
            source, c.frames, 4, 2, exporting::Scaling::Nearest, c.workers, {},
            [&](std::size_t index, int frame, Result<Picture>&& picture) {
                EXPECT_EQ(index, seen.size()) << c.name;
                // Claimed but not yet handed on, this one included.
                EXPECT_LE(started.load(), static_cast<int>(index + c.workers + 1)) << c.name;
                if (frame >= 8) {
                    EXPECT_EQ(picture.error().code, ExportError::RenderFailed) << c.name;
                } else {
                    EXPECT_TRUE(picture.has_value()) << c.name;
                    if (!picture)
                        return false;
                    EXPECT_EQ(picture->width, 4) << c.name;
                    EXPECT_EQ(picture->bytes.front(), frame) << c.name;
                }
                seen.push_back(frame);
                return true;
            });
        EXPECT_TRUE(run.has_value()) << c.name;
        EXPECT_EQ(seen, c.frames) << c.name;
    }
}

TEST(FramePipeline, CancelStopsAfterALeadingPart)
{
    std::atomic<int> started = 0;
    const auto source = countingSource(8, started);
    std::atomic<int> done = 0;
    exporting::Progress progress;
    progress.advance = [&](int n) { done = n; };
    progress.cancelled = [&] { return done.load() >= 3; };
    const std::vector<int> frames { 0, 1, 2, 3, 4, 5, 6, 7 };
    std::vector<int> seen;
    const auto run = exporting::renderInOrder(source, frames, 0, 0, exporting::Scaling::Nearest, 2, progress,
                                              [&](std::size_t, int frame, Result<Picture>&&) {
                                                  seen.push_back(frame);
                                                  return true;
                                              });
    ASSERT_FALSE(run.has_value());
    EXPECT_EQ(run.error().code, ExportError::Cancelled);
    EXPECT_EQ(seen, (std::vector<int> { 0, 1, 2 }));
}

TEST(ExportRun, WritesEachFrameAndRefusesSourceFiles)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tv-export-run-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    const fs::path source = dir / "source.dcm";
    std::ofstream(source) << "source bytes";
    std::atomic<int> started = 0;
    exporting::ExportRequest request;
    request.format = exporting::ExportFormat::Raw;
    request.frames = { 2, 0, 1 };
    // The source file under another spelling is still the source file.
    const std::vector<fs::path> paths { dir / "a.raw", dir / "sub" / ".." / "source.dcm", dir / "c.raw" };
    const std::vector<fs::path> protectedPaths { source };
    const auto summary = exporting::exportPictureFiles(request, countingSource(3, started), paths, protectedPaths, 2, {});
    EXPECT_EQ(summary.written, 2);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_FALSE(summary.firstError.empty());
    auto contents = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(contents(source), "source bytes");
    EXPECT_EQ(contents(dir / "a.raw"), std::string(2, '\2'));
    EXPECT_EQ(contents(dir / "c.raw"), std::string(2, '\1'));
    fs::remove_all(dir);
}

} // namespace
