#include "dicom/FolderScan.h"

#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::DicomBytes;

// A small Part 10 file: a padded name, a NUL-padded series UID, rows.
std::vector<std::uint8_t> dicomFile(std::string_view series)
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1")
        .element(0x0010, 0x0010, "PN", "DOE^JO  ")      // Patient's Name, blank-padded
        .element(0x0020, 0x000E, "UI", series)          // Series Instance UID
        .elementU16(0x0028, 0x0010, "US", 512);         // Rows
    return b.bytes();
}

class FolderScanTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("tv-scan-" + std::to_string(::getpid()) + "-" +
                                              testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(m_root / "locked", fs::perms::owner_all, ignored);
        fs::remove_all(m_root, ignored);
    }
    void put(const fs::path& relative, const std::vector<std::uint8_t>& bytes)
    {
        fs::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // a.dcm, notes.txt, a FIFO, a dangling link and a link to a.dcm at the
    // top; sub/ with b.dcm and a link back to the top; sub/deeper/c.dcm.
    void makeTree()
    {
        put("a.dcm", dicomFile("1.1"));
        put("notes.txt", std::vector<std::uint8_t>(300, 'x'));
        ASSERT_EQ(::mkfifo((m_root / "pipe").c_str(), 0600), 0);
        fs::create_symlink(m_root / "missing.dcm", m_root / "dangling.dcm");
        fs::create_symlink("a.dcm", m_root / "link.dcm");
        put("sub/b.dcm", dicomFile("1.2"));
        fs::create_directory_symlink(m_root, m_root / "sub/loop");
        put("sub/deeper/c.dcm", dicomFile("1.3"));
    }
    // The paths of the regular files in walk order, DICOM ones only.
    std::vector<std::string> walkOrder(bool recursive)
    {
        std::vector<std::string> paths;
        dicom::ScanCounts counts;
        const std::atomic<bool> never {false};
        dicom::FolderScan::walk(m_root, recursive, [&](const dicom::FoundFile& file) {
            if (file.name != "notes.txt")
                paths.push_back(file.path().string());
        }, counts, never);
        return paths;
    }
    fs::path m_root;
};

struct TreeCase {
    const char* name;
    bool recursive;
    unsigned workers;
    dicom::ScanCounts counts; // folders, dicom, other, special, linked folders, unreadable
};

void PrintTo(const TreeCase& c, std::ostream* os) { *os << c.name; }

class FolderScanTree : public FolderScanTest, public testing::WithParamInterface<TreeCase> {};

// Every entry counted once, records in walk order whatever the number of readers.
TEST_P(FolderScanTree, FinishesWithExactCountsAndRecordsInWalkOrder)
{
    makeTree();
    const TreeCase& c = GetParam();
    dicom::ScanOptions options;
    options.recursive = c.recursive;
    options.workers = c.workers;
    std::vector<std::string> paths;
    dicom::ScanCounts counts;
    const std::atomic<bool> never {false};
    EXPECT_TRUE(dicom::FolderScan::scan(m_root, options,
                                        [&](dicom::ScanRecord&& record) { paths.push_back(record.path()); },
                                        counts, never));
    EXPECT_EQ(counts, c.counts);
    EXPECT_EQ(paths, walkOrder(c.recursive));
}

INSTANTIATE_TEST_SUITE_P(Trees, FolderScanTree,
                         testing::Values(TreeCase {"TopOnly", false, 1, {1, 2, 1, 1, 0, 1}},
                                         TreeCase {"RecursiveOneReader", true, 1, {3, 4, 1, 1, 1, 1}},
                                         TreeCase {"RecursiveTwoReaders", true, 2, {3, 4, 1, 1, 1, 1}},
                                         TreeCase {"RecursiveReaderPerCore", true, 0, {3, 4, 1, 1, 1, 1}}),
                         [](const testing::TestParamInfo<TreeCase>& info) { return std::string(info.param.name); });

// The walk reports every regular file it hands to the readers, the ones the
// filter turns down too: what a progress count shows.
TEST_F(FolderScanTest, WalkReportsEveryRegularFileAcceptedOrNot)
{
    makeTree();
    dicom::ScanOptions options;
    options.recursive = true;
    options.accept = [](const dicom::DicomDataset& dataset) {
        return dicom::scanRecordOf(dataset, {}, {}).seriesUid == "1.2";
    };
    std::vector<std::string> walked;
    options.walked = [&](const dicom::FoundFile& file) { walked.push_back(file.path().lexically_relative(m_root).string()); };
    std::vector<std::string> listed;
    dicom::ScanCounts counts;
    const std::atomic<bool> never {false};
    EXPECT_TRUE(dicom::FolderScan::scan(m_root, options,
                                        [&](dicom::ScanRecord&& record) { listed.push_back(record.fileName); },
                                        counts, never));
    EXPECT_EQ(listed, std::vector<std::string> {"b.dcm"});
    std::sort(walked.begin(), walked.end());
    EXPECT_EQ(walked, (std::vector<std::string> {"a.dcm", "link.dcm", "notes.txt", "sub/b.dcm", "sub/deeper/c.dcm"}));
    EXPECT_EQ(walked.size(), counts.dicomFiles + counts.otherFiles);
}

// Files and folders without read permission are counted, not read.
TEST_F(FolderScanTest, UnreadableFileAndFolderAreCounted)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root from reading";
    put("locked.dcm", dicomFile("1.1"));
    put("locked/inner.dcm", dicomFile("1.1"));
    fs::permissions(m_root / "locked.dcm", fs::perms::none);
    fs::permissions(m_root / "locked", fs::perms::none);
    dicom::ScanOptions options;
    options.recursive = true;
    dicom::ScanCounts counts;
    const std::atomic<bool> never {false};
    EXPECT_TRUE(dicom::FolderScan::scan(m_root, options, [](dicom::ScanRecord&&) {}, counts, never));
    EXPECT_EQ(counts, (dicom::ScanCounts {1, 0, 0, 0, 0, 2}));
}

// 3,000 nested folders: longer than PATH_MAX, deeper than any call stack would like.
TEST_F(FolderScanTest, DeepTreeFinishes)
{
    constexpr int Depth = 3000;
    int fd = ::open(m_root.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < Depth; ++level) {
        ASSERT_EQ(::mkdirat(fd, "d", 0700), 0);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(fd = next, 0);
    }
    const auto bytes = dicomFile("1.1");
    const int file = ::openat(fd, "deep.dcm", O_WRONLY | O_CREAT, 0600);
    ::close(fd);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(file);

    dicom::ScanOptions options;
    options.recursive = true;
    std::vector<dicom::ScanRecord> records;
    dicom::ScanCounts counts;
    const std::atomic<bool> never {false};
    EXPECT_TRUE(dicom::FolderScan::scan(m_root, options,
                                        [&](dicom::ScanRecord&& record) { records.push_back(std::move(record)); },
                                        counts, never));
    EXPECT_EQ(counts, (dicom::ScanCounts {Depth + 1, 1, 0, 0, 0, 0}));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].folder.size(), m_root.string().size() + 1 + 2 * Depth);
    // Removed from the bottom up through "..", as deep as it was made.
    fd = ::open(m_root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < Depth && fd >= 0; ++level) {
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::unlinkat(fd, "deep.dcm", 0), 0);
    for (int level = 0; level < Depth; ++level) {
        const int up = ::openat(fd, "..", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(fd = up, 0);
        ASSERT_EQ(::unlinkat(fd, "d", AT_REMOVEDIR), 0);
    }
    ::close(fd);
}

// A cancel from the first record: the scan reports it and hands out nothing more.
TEST_F(FolderScanTest, CancelStopsTheScan)
{
    for (int i = 0; i < 200; ++i)
        put("f" + std::to_string(i) + ".dcm", dicomFile("1.1"));
    dicom::FolderScan scan;
    std::atomic<int> records {0};
    std::atomic<bool> cancelled {false};
    dicom::ScanCounts finalCounts;
    scan.start(m_root, {false, 2, {}, {}}, [&](dicom::ScanRecord&&) {
        ++records;
        scan.cancel();
    }, [&](const dicom::ScanCounts& counts, bool wasCancelled) {
        finalCounts = counts;
        cancelled = wasCancelled;
    });
    scan.wait();
    EXPECT_TRUE(cancelled.load());
    EXPECT_EQ(records.load(), 1);
    EXPECT_LT(finalCounts.dicomFiles + finalCounts.otherFiles, 200u);
}

TEST_F(FolderScanTest, MissingRootCountsAsUnreadable)
{
    dicom::ScanCounts counts;
    const std::atomic<bool> never {false};
    EXPECT_TRUE(dicom::FolderScan::scan(m_root / "none", {}, [](dicom::ScanRecord&&) {}, counts, never));
    EXPECT_EQ(counts, (dicom::ScanCounts {0, 0, 0, 0, 0, 1}));
}

// Padding removed from texts; absent numbers 0, instance number -1, frames 1.
TEST(ScanRecord, TrimsTextsAndFillsAbsentNumbers)
{
    auto element = [](std::uint16_t group, std::uint16_t number, std::string_view value, std::int32_t numeric) {
        dicom::DicomElement e;
        e.group = group;
        e.element = number;
        e.setValue(std::vector<std::uint8_t>(value.begin(), value.end()));
        e.numericValue = numeric;
        return e;
    };
    dicom::DicomDataset dataset;
    dataset.elements = {element(0x0010, 0x0010, "A^B  ", 0),                    // Patient's Name
                        element(0x0020, 0x000E, std::string_view("1.2\0", 4), 0), // Series Instance UID
                        element(0x0028, 0x0010, "", 256)};                       // Rows
    const dicom::ScanRecord record = dicom::scanRecordOf(dataset, "/x/", "f.dcm");
    EXPECT_EQ(record.path(), "/x/f.dcm");
    EXPECT_EQ(record.patientName, "A^B");
    EXPECT_EQ(record.seriesUid, "1.2");
    EXPECT_EQ(record.modality, "");
    EXPECT_EQ(record.rows, 256);
    EXPECT_EQ(record.columns, 0);
    EXPECT_EQ(record.instanceNumber, -1);
    EXPECT_EQ(record.frames, 1);
}

} // namespace
