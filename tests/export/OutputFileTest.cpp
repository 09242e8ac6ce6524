#include "export/OutputFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using exporting::ExportError;
using exporting::Result;

class OutputFile : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path()
            / ("tv-output-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        std::ofstream(target(), std::ios::binary) << "previous output";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path target() const { return m_dir / "x.tif"; }

    std::string contents() const
    {
        std::ifstream in(target(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Only the target: no temporary name is left behind.
    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

Result<void> fillWith(std::ostream& out, std::size_t bytes)
{
    const std::string block(4096, 'n');
    for (std::size_t done = 0; done < bytes; done += block.size())
        out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), bytes - done)));
    return {};
}

TEST_F(OutputFile, ReplacesOrKeepsTheTarget)
{
    struct Case {
        const char* name;
        std::function<Result<void>(std::ostream&)> fill;
        fs::path path; // empty: the target
        ExportError expected;
    };
    const Case cases[] = {
        { "writer refuses", [](std::ostream&) -> Result<void> { return exporting::Error { ExportError::InvalidPicture, "" }; },
          {}, ExportError::InvalidPicture },
        { "writer fails part way",
          [](std::ostream& out) -> Result<void> {
              out << "half";
              return exporting::Error { ExportError::WriteFailed, "" };
          },
          {}, ExportError::WriteFailed },
        { "no such folder", [](std::ostream& out) { return fillWith(out, 10); }, m_dir / "missing" / "x.tif",
          ExportError::CannotCreate },
        { "complete", [](std::ostream& out) { return fillWith(out, 100000); }, {}, ExportError::None },
    };
    for (const Case& c : cases) {
        const auto written = exporting::writeOutputFile(c.path.empty() ? target() : c.path, c.fill);
        EXPECT_EQ(written ? ExportError::None : written.error().code, c.expected) << c.name;
        EXPECT_EQ(contents(), c.expected == ExportError::None ? std::string(100000, 'n') : "previous output") << c.name;
        EXPECT_EQ(filesInFolder(), 1U) << c.name;
    }
}

// A file size limit makes the disk refuse the write part way, as a full
// disk would; the child reports what writeOutputFile answered.
TEST_F(OutputFile, FailedWriteMidFileKeepsPreviousOutput)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { 65536 + 1000, 65536 + 1000 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const auto written = exporting::writeOutputFile(target(), [](std::ostream& out) { return fillWith(out, 300000); });
        // The user hears why: the system's words for the failure end the detail.
        const std::string reason = std::string(": ") + std::strerror(EFBIG);
        ::_exit(!written && written.error().code == ExportError::WriteFailed && written.error().detail.ends_with(reason)
                    ? 0
                    : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(contents(), "previous output");
    EXPECT_EQ(filesInFolder(), 1U);
}

// The owner chose to replace the file: the new one is theirs to write again,
// whatever the old one's mode said.
TEST_F(OutputFile, ReplacedReadOnlyFileKeepsOwnerReadAndWrite)
{
    fs::permissions(target(), fs::perms::owner_read | fs::perms::group_read);
    ASSERT_TRUE(exporting::writeOutputFile(target(), [](std::ostream& out) { return fillWith(out, 10); }));
    const fs::perms mode = fs::status(target()).permissions();
    EXPECT_EQ(mode & (fs::perms::owner_read | fs::perms::owner_write), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(mode & fs::perms::group_read, fs::perms::group_read);
    EXPECT_EQ(mode & fs::perms::group_write, fs::perms::none);
    EXPECT_EQ(contents(), std::string(10, 'n'));
}

} // namespace
