#include "document/DirectoryScan.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class DirectoryScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("tv-scan-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "sub");
        std::ofstream(m_dir / "IMG1") << "x";
        std::ofstream(m_dir / "IMG2") << "y";
        std::ofstream(m_dir / "sub" / "inner") << "z";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

TEST_F(DirectoryScanTest, ListsOnlyRegularFiles)
{
    ASSERT_EQ(::mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    fs::create_directory_symlink(m_dir / "sub", m_dir / "linkToDir");
    fs::create_symlink(m_dir / "IMG1", m_dir / "linkToFile");
    fs::create_symlink(m_dir / "pipe", m_dir / "linkToPipe");
    fs::create_symlink(m_dir / "missing", m_dir / "dangling");

    std::error_code error;
    auto names = document::listRegularFiles(m_dir, error);
    std::sort(names.begin(), names.end());
    EXPECT_FALSE(error);
    EXPECT_EQ(names, (std::vector<std::string> { "IMG1", "IMG2", "linkToFile" }));
}

TEST_F(DirectoryScanTest, MissingDirectoryReportsAnError)
{
    std::error_code error;
    EXPECT_TRUE(document::listRegularFiles(m_dir / "nope", error).empty());
    EXPECT_TRUE(error);
    EXPECT_EQ(document::directoryStamp(m_dir / "nope"), fs::file_time_type::min());
}

} // namespace
