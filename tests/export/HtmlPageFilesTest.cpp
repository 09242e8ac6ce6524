#include "export/HtmlPageFiles.h"

#include "dicom/DicomDataset.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Grey 4 x 4 pictures, one a frame.
exporting::PictureSource greyFrames(int count)
{
    exporting::PictureSource source;
    source.frameCount = count;
    source.picture = [](int frame) -> exporting::Result<exporting::Picture> {
        return exporting::Picture { 4, 4, 1, std::vector<std::uint8_t>(16, static_cast<std::uint8_t>(40 * frame)) };
    };
    return source;
}

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(fs::relative(entry.path(), folder).string());
    return names;
}

class HtmlPageFiles : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path()
            / ("tv-html-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

// The page goes under the name given, its pictures beside it under the base name.
TEST_F(HtmlPageFiles, PageTakesTheFileNameGiven)
{
    exporting::HtmlExportOptions options;
    options.header = false;
    options.pageFileName = "report.htm";
    const auto written = exporting::exportHtml(m_dir, "report", dicom::DicomDataset {}, greyFrames(2), { 0, 1 }, options);
    ASSERT_TRUE(written);
    EXPECT_EQ(namesIn(m_dir), (std::set<std::string> { "report.htm", "report_files", "report_files/0001.jpg",
                                                       "report_files/0002.jpg" }));
}

// A page that cannot be written takes its pictures with it, and the folder
// it made for them; a folder that was there before stays with what it held.
TEST_F(HtmlPageFiles, FailedPageLeavesNoPictures)
{
    struct Case {
        const char* name;
        bool folderHeldAFile;
        std::set<std::string> left;
    };
    const Case cases[] = {
        { "new folder", false, { "page.html" } },
        { "folder of the user's", true, { "page.html", "page_files", "page_files/notes.txt" } },
    };
    for (const Case& c : cases) {
        fs::remove_all(m_dir);
        // A folder where the page should go: renaming the page onto it fails.
        fs::create_directories(m_dir / "page.html");
        if (c.folderHeldAFile) {
            fs::create_directories(m_dir / "page_files");
            std::ofstream(m_dir / "page_files" / "notes.txt") << "kept";
        }
        exporting::HtmlExportOptions options;
        options.header = false;
        const auto written = exporting::exportHtml(m_dir, "page", dicom::DicomDataset {}, greyFrames(3), { 0, 1, 2 },
                                                   options);
        ASSERT_FALSE(written) << c.name;
        EXPECT_EQ(written.error().code, exporting::ExportError::WriteFailed) << c.name;
        EXPECT_EQ(namesIn(m_dir), c.left) << c.name;
    }
}

} // namespace
