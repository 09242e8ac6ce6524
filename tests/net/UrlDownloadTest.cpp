#include "net/UrlDownload.h"

#include "dicom/PictureFiles.h"
#include "tests/support/UrlTestServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

class UrlDownload : public testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(fs::path(TV_TESTDATA_DIR) / "syntax/ct1-ile.dcm"))
            GTEST_SKIP() << "test data folder not found";
        m_cache = fs::temp_directory_path() / ("tv-net-" + std::to_string(::getpid()));
        fs::remove_all(m_cache);
    }
    void TearDown() override { fs::remove_all(m_cache); }

    // Starts the server; false (and the test skipped) when Python lacks a module it needs.
    bool start(UrlTestServer& server)
    {
        if (server.exitCode() == UrlTestServer::MissingModule)
            return false;
        EXPECT_GT(server.port(), 0) << "server exit code " << server.exitCode();
        return server.port() > 0;
    }
    net::DownloadResult fetch(const std::string& address, const net::DownloadOptions& options = {},
                              const net::DownloadProgress& progress = {})
    {
        return net::fetchToFolder(address, m_cache, ".dcm", options, progress);
    }
    // Whatever the folder still holds.
    std::size_t leftOver() const
    {
        std::error_code error;
        return fs::exists(m_cache) ? static_cast<std::size_t>(std::distance(fs::directory_iterator(m_cache, error),
                                                                               fs::directory_iterator()))
                                   : 0;
    }
    // The download is the file byte for byte and reads as the same frames.
    static void expectSameFile(const fs::path& got, const std::string& relative)
    {
        const fs::path original = fs::path(TV_TESTDATA_DIR) / relative;
        ASSERT_EQ(readAll(got), readAll(original));
        dicom::DicomDataset fromDownload;
        dicom::DicomDataset fromOriginal;
        ASSERT_TRUE(dicom::openFile(got, dicom::HeaderOnly::No, fromDownload));
        ASSERT_TRUE(dicom::openFile(original, dicom::HeaderOnly::No, fromOriginal));
        ASSERT_EQ(fromDownload.frames.size(), fromOriginal.frames.size());
        for (std::size_t i = 0; i < fromOriginal.frames.size(); ++i) {
            EXPECT_EQ(fromDownload.frames[i].bytes, fromOriginal.frames[i].bytes);
            EXPECT_EQ(fromDownload.frames[i].samples, fromOriginal.frames[i].samples);
        }
    }

    fs::path m_cache;
};

TEST_F(UrlDownload, HttpGivesTheFileIntoAPrivateFile)
{
    UrlTestServer server("http", TV_TESTDATA_DIR);
    if (!start(server))
        GTEST_SKIP() << "python3 lacks a module";
    const net::DownloadResult result = fetch(server.base() + "/syntax/ct1-ile.dcm");
    ASSERT_EQ(result.status, net::DownloadStatus::Done) << result.error;
    EXPECT_EQ(result.file.parent_path(), m_cache);
    EXPECT_EQ(result.file.extension(), ".dcm");
    EXPECT_EQ(result.file.filename().string().rfind("tv-download-", 0), 0u);
    EXPECT_EQ(fs::status(result.file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    expectSameFile(result.file, "syntax/ct1-ile.dcm");
}

TEST_F(UrlDownload, MissingFileFailsAndLeavesNothing)
{
    UrlTestServer server("http", TV_TESTDATA_DIR);
    if (!start(server))
        GTEST_SKIP() << "python3 lacks a module";
    const net::DownloadResult result = fetch(server.base() + "/no-such-file.dcm");
    EXPECT_EQ(result.status, net::DownloadStatus::Failed);
    EXPECT_NE(result.error.find("404"), std::string::npos) << result.error;
    EXPECT_EQ(leftOver(), 0u);
}

TEST_F(UrlDownload, RedirectToAFileAddressIsRefused)
{
    UrlTestServer server("http", TV_TESTDATA_DIR);
    if (!start(server))
        GTEST_SKIP() << "python3 lacks a module";
    const std::string target = "file://" TV_TESTDATA_DIR "/syntax/ct1-ile.dcm";
    const net::DownloadResult result = fetch(server.base() + "/redirect?to=" + target);
    EXPECT_EQ(result.status, net::DownloadStatus::Failed);
    EXPECT_NE(result.error.find("Protocol \"file\" not supported"), std::string::npos) << result.error;
    EXPECT_EQ(leftOver(), 0u);
    // The same redirect to the server's own copy is followed.
    const net::DownloadResult followed = fetch(server.base() + "/redirect?to=/syntax/ct1-ile.dcm");
    ASSERT_EQ(followed.status, net::DownloadStatus::Done) << followed.error;
    expectSameFile(followed.file, "syntax/ct1-ile.dcm");
}

TEST_F(UrlDownload, CancelStopsAndRemovesTheFile)
{
    UrlTestServer server("http", TV_TESTDATA_DIR);
    if (!start(server))
        GTEST_SKIP() << "python3 lacks a module";
    std::uint64_t seen = 0;
    std::uint64_t announced = 0;
    const net::DownloadResult result = fetch(server.base() + "/slow", {}, [&](std::uint64_t received, std::uint64_t total) {
        seen = received;
        announced = total;
        return received < 16 * 1024;
    });
    EXPECT_EQ(result.status, net::DownloadStatus::Cancelled);
    EXPECT_GE(seen, 16u * 1024);
    EXPECT_EQ(announced, 64u * 1024 * 1024);
    EXPECT_EQ(leftOver(), 0u);
}

TEST_F(UrlDownload, FtpGivesTheFile)
{
    UrlTestServer server("ftp", TV_TESTDATA_DIR);
    if (!start(server))
        GTEST_SKIP() << "python3-pyftpdlib is not installed";
    const net::DownloadResult result = fetch(server.base("ftp") + "/syntax/ct1-ele.dcm");
    ASSERT_EQ(result.status, net::DownloadStatus::Done) << result.error;
    expectSameFile(result.file, "syntax/ct1-ele.dcm");
}

TEST_F(UrlDownload, HttpsTrustsOnlyTheGivenCertificate)
{
    const fs::path certs = m_cache.string() + "-certs";
    fs::create_directories(certs);
    {
        UrlTestServer server("https", TV_TESTDATA_DIR, certs.string());
        if (!start(server))
            GTEST_SKIP() << "python3 lacks a module";
        const std::string address = server.base("https") + "/syntax/ct1-ile.dcm";
        const net::DownloadResult untrusted = fetch(address);
        EXPECT_EQ(untrusted.status, net::DownloadStatus::Failed);
        EXPECT_NE(untrusted.error.find("SSL certificate problem"), std::string::npos) << untrusted.error;
        EXPECT_EQ(leftOver(), 0u);
        net::DownloadOptions options;
        options.caFile = (certs / "cert.pem").string();
        const net::DownloadResult trusted = fetch(address, options);
        ASSERT_EQ(trusted.status, net::DownloadStatus::Done) << trusted.error;
        expectSameFile(trusted.file, "syntax/ct1-ile.dcm");
    }
    fs::remove_all(certs);
}

TEST_F(UrlDownload, OtherSchemesAreNotFetched)
{
    const net::DownloadResult result = fetch("file://" TV_TESTDATA_DIR "/syntax/ct1-ile.dcm");
    EXPECT_EQ(result.status, net::DownloadStatus::Failed);
    EXPECT_NE(result.error.find("Protocol \"file\" not supported"), std::string::npos) << result.error;
    EXPECT_EQ(leftOver(), 0u);
}

} // namespace
