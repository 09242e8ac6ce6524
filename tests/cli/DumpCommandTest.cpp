#include "tests/cli/TolanRun.h"
#include "tests/support/DeflateBytes.h"
#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

using clitest::runTolan;
using clitest::TempFolder;
using testsupport::DicomBytes;

namespace {

// A Part 10 file in explicit VR little endian with Specific Character Set as
// its first element; its meta group lists as two rows.
DicomBytes fileWithCharacterSet()
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1").element(0x0008, 0x0005, "CS", "ISO_IR 100"); // Specific Character Set
    return b;
}

struct CutCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> tags; // the rows listed before the cut
};

void PrintTo(const CutCase& c, std::ostream* os)
{
    *os << c.name;
}

class DumpOfCutFile : public ::testing::TestWithParam<CutCase> {};

// The first field of each row.
std::vector<std::string> rowTags(const std::string& out)
{
    std::vector<std::string> tags;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        tags.push_back(line.substr(0, line.find('\t')));
    return tags;
}

TEST_P(DumpOfCutFile, ListsTheElementsBeforeTheCutThenFails)
{
    TempFolder folder(std::string("dump-") + GetParam().name);
    const auto path = folder.path() / "cut.dcm";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(GetParam().bytes.data()), static_cast<std::streamsize>(GetParam().bytes.size()));
    for (const std::vector<std::string>& options : {std::vector<std::string> {}, {"--header-only"}}) {
        std::vector<std::string> args = {"dump"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(path.string());
        const auto run = runTolan(args, folder.path());
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(rowTags(run.out), GetParam().tags);
        EXPECT_EQ(run.err, "Corrupted Dicom file\n");
    }
}

const std::vector<std::string> MetaAndCharacterSet = {"0x0002, 0x0000", "0x0002, 0x0010", "0x0008, 0x0005"};

std::vector<std::string> metaAndCharacterSetAnd(const char* tag)
{
    auto tags = MetaAndCharacterSet;
    tags.push_back(tag);
    return tags;
}

INSTANTIATE_TEST_SUITE_P(Cuts, DumpOfCutFile, ::testing::Values(
    CutCase {"InAValue", fileWithCharacterSet()
        .tag(0x0010, 0x0020) // Patient ID
        .vr("LO")            // VR
        .len16(8)            // length: 8, but only 3 bytes follow
        .text("123").bytes(), MetaAndCharacterSet},
    CutCase {"InATag", fileWithCharacterSet()
        .raw({0x10, 0x00}).bytes(), MetaAndCharacterSet},
    CutCase {"InASequenceItem", fileWithCharacterSet()
        .tag(0x0008, 0x1140) // Referenced Image Sequence
        .vr("SQ")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFFF)   // undefined length
        .item(0xFFFFFFFF)    // undefined-length item
        .element(0x0008, 0x1150, "UI", "1.2").bytes(), metaAndCharacterSetAnd("0x0008, 0x1140")}),
    [](const auto& info) { return std::string(info.param.name); });

// A deflated data set (PS3.5 A.5) lists inflated, after the syntax's row.
TEST(DumpCommand, ListsTheInflatedElementsOfADeflatedFile)
{
    TempFolder folder("dump-deflated");
    DicomBytes dataSet;
    dataSet.element(0x0008, 0x0005, "CS", "ISO_IR 100"); // Specific Character Set
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1.99")
        .raw(testsupport::storedBlock(dataSet.bytes(), static_cast<std::uint16_t>(dataSet.size())));
    const auto path = folder.path() / "deflated.dcm";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.bytes().data()), static_cast<std::streamsize>(b.size()));
    const auto run = runTolan({"dump", path.string()}, folder.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(rowTags(run.out), MetaAndCharacterSet);
    EXPECT_NE(run.out.find("\"1.2.840.10008.1.2.1.99\" (Deflated Explicit VR Little Endian)\n"), std::string::npos)
        << run.out;
}

} // namespace
