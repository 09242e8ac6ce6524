#include "tests/cli/GreyFiles.h"
#include "tests/cli/TolanRun.h"
#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using clitest::greyFile;
using clitest::nativeFile;
using clitest::readWhole;
using clitest::runTolan;
using clitest::TempFolder;
using testsupport::DicomBytes;

namespace {

// Two RLE frames (PS3.5 G): the first decodes, the second has no segment.
std::vector<std::uint8_t> rleFileFailingAtFrame2()
{
    DicomBytes b = greyFile("1.2.840.10008.1.2.5", "2 ");
    b.tag(0x7FE0, 0x0010) // Pixel Data
        .vr("OB")         // VR
        .reserved()       // reserved
        .len32(0xFFFFFFFF) // encapsulated
        .item(0)          // empty basic offset table
        .item(64 + 5)     // frame 1
        .u32(1)           // one segment
        .u32(64)          // at offset 64
        .zeros(56)        // 14 unused offsets
        .raw({3, 9, 8, 7, 6}) // a literal run of 4 bytes
        .item(64)         // frame 2
        .zeros(64)        // no segments: does not fit a grey 8-bit frame
        .sequenceEnd();
    return b.bytes();
}

std::filesystem::path write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Every file in folder with its contents.
std::map<std::string, std::string> contents(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = readWhole(entry.path());
    return files;
}

TEST(FramesCommand, AFailedRunLeavesTheEarlierResultAsItWas)
{
    TempFolder folder("frames-failed");
    const auto out = folder.path() / "out";
    const auto good = write(folder.path() / "good.dcm", nativeFile("2 ", {0, 1, 2, 3, 4, 5, 6, 7}));
    const auto bad = write(folder.path() / "bad.dcm", rleFileFailingAtFrame2());

    ASSERT_EQ(runTolan({"frames", good.string(), "--out", out.string()}, folder.path()).exitCode, 0);
    const auto first = contents(out);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first.at("frame-0002.raw"), std::string({4, 5, 6, 7}));

    const auto failed = runTolan({"frames", bad.string(), "--out", out.string()}, folder.path());
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_EQ(contents(out), first);
    // Nothing of the failed run is left beside the output folder either.
    std::vector<std::string> beside;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        beside.push_back(entry.path().filename().string());
    std::sort(beside.begin(), beside.end());
    EXPECT_EQ(beside, (std::vector<std::string> {"bad.dcm", "good.dcm", "out"}));
}

TEST(FramesCommand, ANewRunReplacesOnlyTheOutputsOfTheEarlierOne)
{
    TempFolder folder("frames-replace");
    const auto out = folder.path() / "out";
    const auto two = write(folder.path() / "two.dcm", nativeFile("2 ", {0, 1, 2, 3, 4, 5, 6, 7}));
    const auto one = write(folder.path() / "one.dcm", nativeFile("1 ", {9, 9, 9, 9}));

    ASSERT_EQ(runTolan({"frames", two.string(), "--out", out.string()}, folder.path()).exitCode, 0);
    write(out / "notes.txt", {'n'});
    ASSERT_EQ(runTolan({"frames", one.string(), "--out", out.string() + "/"}, folder.path()).exitCode, 0);
    const auto second = contents(out);
    ASSERT_EQ(second.size(), 3u); // frame-0002.raw of the first run is gone
    EXPECT_EQ(second.at("frame-0001.raw"), std::string(4, '\x09'));
    EXPECT_NE(second.at("info.txt").find("frames: 1\n"), std::string::npos);
    EXPECT_EQ(second.at("notes.txt"), "n");
}

} // namespace
