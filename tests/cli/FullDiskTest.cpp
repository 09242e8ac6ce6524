// Outputs that the disk refuses part way, as a full one does. A file size
// limit (RLIMIT_FSIZE, with SIGXFSZ ignored so that writes fail with EFBIG)
// stands in for the full disk: it needs no root and holds for root too.

#include "tests/cli/GreyFiles.h"
#include "tests/cli/TolanRun.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using clitest::runTolan;
using clitest::TempFolder;

namespace {

namespace fs = std::filesystem;

// Frames of 128 x 128 grey bytes (16 KiB each), well past the limit below.
std::vector<std::uint8_t> largeFrames(const char* frames, int count)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(128 * 128 * count));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 7);
    return clitest::nativeFile(frames, pixels, 128);
}

// Files of the shell and its children stop at 16 blocks (8 KiB in dash's
// 512-byte blocks, 16 KiB in bash's): the 4-line outputs fit, a frame not.
const std::string FileSizeLimit = "trap '' XFSZ; ulimit -f 16; ";

TEST(FullDisk, FailedRunsSayWhyAndLeaveNoEmptyFolder)
{
    struct Case {
        const char* name;
        std::vector<std::string> args; // after the input file; "OUT" is the output path
        const char* output;            // below the test folder
        int exitCode;
        const char* message;           // the run's own words, before the system's
    };
    const Case cases[] = {
        { "frames into a new folder", { "frames", "IN", "--out", "OUT" }, "made/by/run", 2, "cannot write " },
        { "raw files of every frame", { "export", "IN", "--format", "raw", "--out", "OUT" }, "x.raw", 1,
          "3 of 3 outputs failed: cannot write " },
    };
    for (const Case& c : cases) {
        TempFolder folder(std::string("full-disk-") + std::to_string(&c - cases));
        const fs::path input = folder.path() / "in.dcm";
        {
            const auto bytes = largeFrames("3 ", 3);
            std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         static_cast<std::streamsize>(bytes.size()));
        }
        const fs::path output = folder.path() / c.output;
        std::vector<std::string> args;
        for (const std::string& arg : c.args)
            args.push_back(arg == "IN" ? input.string() : arg == "OUT" ? output.string() : arg);
        const auto run = runTolan(args, folder.path(), FileSizeLimit);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(std::string(": ") + std::strerror(EFBIG)), std::string::npos) << c.name << ": " << run.err;
        // Nothing half made: neither the frames' folder nor any part of a file.
        EXPECT_FALSE(fs::exists(folder.path() / "made")) << c.name;
        EXPECT_FALSE(fs::exists(output)) << c.name;
        for (const auto& entry : fs::directory_iterator(folder.path()))
            EXPECT_TRUE(entry.path() == input) << c.name << ": " << entry.path();
    }
}

} // namespace
