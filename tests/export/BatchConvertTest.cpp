#include "export/BatchConvert.h"

#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>

namespace {

namespace fs = std::filesystem;
using exporting::BatchFormat;
using exporting::BatchOutcome;

constexpr std::uint16_t kSide = 4;

// An 8-bit MONOCHROME2 file of `frames` frames of kSide x kSide, sample i of
// frame f being 16 f + i, named Patient "Doe^John".
std::vector<std::uint8_t> imageBytes(int frames)
{
    testsupport::DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    b.element(0x0010, 0x0010, "PN", "Doe^John");
    b.elementU16(0x0028, 0x0002, "US", 1).element(0x0028, 0x0004, "CS", "MONOCHROME2 ");
    b.element(0x0028, 0x0008, "IS", std::to_string(frames) + (frames < 10 ? " " : ""));
    b.elementU16(0x0028, 0x0010, "US", kSide).elementU16(0x0028, 0x0011, "US", kSide);
    b.elementU16(0x0028, 0x0100, "US", 8).elementU16(0x0028, 0x0101, "US", 8).elementU16(0x0028, 0x0102, "US", 7);
    b.elementU16(0x0028, 0x0103, "US", 0);
    const auto count = static_cast<std::uint32_t>(frames * kSide * kSide);
    b.tag(0x7FE0, 0x0010).header("OB", count);
    for (std::uint32_t i = 0; i < count; ++i)
        b.u8(static_cast<std::uint8_t>(i));
    return b.bytes();
}

class BatchConvertTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path()
            / ("tv-batch-" + std::to_string(::getpid()) + "-"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root / "out");
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path write(const std::string& relative, const std::vector<std::uint8_t>& bytes)
    {
        const fs::path path = m_root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    exporting::BatchOptions options(BatchFormat format) const
    {
        exporting::BatchOptions options;
        options.format = format;
        options.directory = m_root / "out";
        return options;
    }
    // The export folder's entries, by name.
    std::set<std::string> outputs() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_root / "out"))
            names.insert(entry.path().filename().string());
        return names;
    }

    fs::path m_root;
};

struct NameCase {
    const char* source;
    int frames;
    BatchFormat format;
    std::set<std::string> expected;
};

std::ostream& operator<<(std::ostream& out, const NameCase& c) { return out << c.source << '/' << c.frames; }

class BatchNamesTest : public BatchConvertTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(BatchNamesTest, WritesEachFrameUnderTheFileNameWithDotsMadeUnderscores)
{
    const NameCase& c = GetParam();
    const auto summary = exporting::runBatchConvert({ write(c.source, imageBytes(c.frames)) }, options(c.format));
    EXPECT_EQ(summary.converted, 1);
    EXPECT_EQ(outputs(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, BatchNamesTest,
    ::testing::Values(NameCase { "CT.001.dcm", 1, BatchFormat::Tiff, { "CT_001_dcm.tif" } },
                      NameCase { "base", 2, BatchFormat::Raw, { "base_0000.raw", "base_0001.raw" } },
                      NameCase { "a.b", 1, BatchFormat::Jpeg, { "a_b.jpg" } },
                      NameCase { "a.b", 3, BatchFormat::Bmp, { "a_b_0000.bmp", "a_b_0001.bmp", "a_b_0002.bmp" } },
                      NameCase { "p.dcm", 2, BatchFormat::Html, { "p_dcm.html", "p_dcm_files" } }),
    [](const auto& info) {
        std::string name = *info.param.expected.begin();
        std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

// Raw pictures are the frame's samples as the viewer opens 8-bit grey: unchanged.
TEST_F(BatchConvertTest, RawFramesAreTheSamples)
{
    exporting::runBatchConvert({ write("m", imageBytes(2)) }, options(BatchFormat::Raw));
    std::ifstream in(m_root / "out" / "m_0001.raw", std::ios::binary);
    const std::vector<char> bytes { std::istreambuf_iterator<char>(in), {} };
    ASSERT_EQ(bytes.size(), std::size_t { kSide * kSide });
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), kSide * kSide);
}

TEST_F(BatchConvertTest, SameNamesFromTwoFoldersGetANumber)
{
    const auto summary = exporting::runBatchConvert(
        { write("a/IMG.dcm", imageBytes(1)), write("b/IMG.dcm", imageBytes(1)), write("c/IMG.dcm", imageBytes(1)) },
        options(BatchFormat::Tiff));
    EXPECT_EQ(summary.converted, 3);
    EXPECT_EQ(outputs(), (std::set<std::string> { "IMG_dcm.tif", "IMG_dcm_2.tif", "IMG_dcm_3.tif" }));
    EXPECT_EQ(summary.files[2].outputs, std::vector<fs::path> { m_root / "out" / "IMG_dcm_3.tif" });
}

TEST_F(BatchConvertTest, SkipsAFileWhoseOutputIsASourceAndOneThatDoesNotRead)
{
    const auto sourceBytes = imageBytes(1);
    const fs::path target = write("out/y_dcm.tif", sourceBytes); // y.dcm's output, itself a source
    const auto summary = exporting::runBatchConvert(
        { write("y.dcm", sourceBytes), write("bad.dcm", { 1, 2, 3 }), target }, options(BatchFormat::Tiff));
    EXPECT_EQ(summary.sameAsSource, 1);
    EXPECT_EQ(summary.unreadable, 1);
    EXPECT_EQ(summary.converted, 1);
    EXPECT_EQ(summary.files[0].outcome, BatchOutcome::SameAsSource);
    EXPECT_EQ(summary.files[1].outcome, BatchOutcome::Unreadable);
    EXPECT_EQ(fs::file_size(target), sourceBytes.size());
}

TEST_F(BatchConvertTest, FailsAFileWhoseOutputCannotBeCreated)
{
    auto batch = options(BatchFormat::Jpeg);
    batch.directory = m_root / "missing";
    const auto summary = exporting::runBatchConvert({ write("z.dcm", imageBytes(2)) }, batch);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(summary.files[0].outcome, BatchOutcome::Failed);
}

TEST_F(BatchConvertTest, CancelAfterTheFirstFileLeavesExactlyItsOutputs)
{
    std::vector<fs::path> sources;
    for (int i = 0; i < 5; ++i)
        sources.push_back(write("f" + std::to_string(i), imageBytes(2)));
    std::atomic<bool> stop = false;
    exporting::Progress progress;
    progress.advance = [&](int done) { stop = done >= 1; };
    progress.cancelled = [&] { return stop.load(); };
    const auto summary = exporting::runBatchConvert(sources, options(BatchFormat::Tiff), progress);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.converted, 1);
    EXPECT_EQ(summary.files[1].outcome, BatchOutcome::NotDone);
    EXPECT_EQ(outputs(), (std::set<std::string> { "f0_0000.tif", "f0_0001.tif" }));
}

TEST_F(BatchConvertTest, HtmlPageHasNoFileFactsAndTheBatchFooter)
{
    auto batch = options(BatchFormat::Html);
    batch.anonymizedHeader = false;
    exporting::runBatchConvert({ write("s.dcm", imageBytes(2)) }, batch);
    std::ifstream in(m_root / "out" / "s_dcm.html", std::ios::binary);
    const std::string page { std::istreambuf_iterator<char>(in), {} };
    EXPECT_EQ(page.find("Date :"), std::string::npos);
    EXPECT_EQ(page.find("Size :"), std::string::npos);
    EXPECT_NE(page.find("<H2 ALIGN=\"center\">s.dcm</H2>\r\n<HR>"), std::string::npos);
    EXPECT_NE(page.find("Doe^John"), std::string::npos);
    EXPECT_NE(page.find("\r\n<BR><BR><HR><I>Created by <B>Tolan Viewer Version 4.0</B></I>\r\n<BR>"),
              std::string::npos);
    EXPECT_NE(page.find("s_dcm_files/0002.jpg"), std::string::npos);
}

} // namespace
