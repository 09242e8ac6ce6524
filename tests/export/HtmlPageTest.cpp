#include "export/HtmlPage.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

exporting::ReportRow row(std::uint16_t group, std::uint16_t element, std::string name, std::string vr,
                         std::uint32_t length, std::string value, bool textVr = true)
{
    return {group, element, std::move(name), std::move(vr), length, std::move(value), textVr};
}

exporting::HtmlPageRequest sampleRequest()
{
    exporting::HtmlPageRequest request;
    request.title = "CT.html";
    request.heading = "CT";
    request.date = "07.12.2026";
    request.fileSize = 3071;
    request.header = exporting::ReportHeader {{row(0x0028, 0x0010, "Rows", "US", 2, "512", false)}, {}};
    request.pictures = std::vector<exporting::HtmlPicture> {{exporting::pictureSource("CT", 1), 1}};
    return request;
}

TEST(HtmlPage, WritesTheFixedPiecesWithCrLf)
{
    const std::string expected =
        "<HTML>\r\n<HEAD>\r\n<TITLE>CT.html</TITLE>\r\n</HEAD>\r\n<BODY>"
        "\r\n<HR><BR><H2 ALIGN=\"center\">CT</H2>\r\nDate : 07.12.2026 <BR>\r\nSize : 2KB <BR>\r\n<HR><BR><BR>"
        "\r\n<TABLE BORDER=1 ALIGN=\"center\" BORDERCOLOR=\"#0000\">\r\n<TR>"
        "\r\n<TD ALIGN=\"center\">Tag\r\n</TD>\r\n<TD ALIGN=\"center\">Tag Name\r\n</TD>"
        "\r\n<TD ALIGN=\"center\">VR\r\n</TD>\r\n<TD ALIGN=\"center\">Length\r\n</TD>"
        "\r\n<TD ALIGN=\"center\">Value\r\n</TD>\r\n</TR>"
        "\r\n<TR>\r\n<TD>0x0028, 0x0010\r\n</TD>\r\n<TD>Rows\r\n</TD>\r\n<TD>US\r\n</TD>\r\n<TD>2\r\n</TD>"
        "\r\n<TD>512\r\n</TD>\r\n</TR>\r\n</TABLE>\r\n<BR><BR>"
        "\r\n<TABLE BORDER=1 ALIGN=\"center\" BORDERCOLOR=\"#000000\">\r\n<TR>\r\n<TD ALIGN=\"CENTER\">"
        "<IMG SRC=\"CT_files/0001.jpg\"> <BR> Frame : 0001 <BR>\r\n</TD>\r\n</TR>\r\n</TABLE>"
        "\r\n<BR><BR><HR><I>Created by <B>Tolan Viewer Version 3.1</B></I>";
    const std::string page = exporting::htmlPage(sampleRequest());
    EXPECT_EQ(page.substr(0, expected.size()), expected);
    EXPECT_EQ(page.substr(page.size() - 18), "\r\n</BODY>\r\n</HTML>");
    for (std::size_t at = page.find('\n'); at != std::string::npos; at = page.find('\n', at + 1))
        EXPECT_EQ(page[at - 1], '\r') << at;
}

TEST(HtmlPage, LeavesOutTablesNotAskedFor)
{
    auto request = sampleRequest();
    request.header.reset();
    request.pictures.reset();
    EXPECT_EQ(exporting::htmlPage(request).find("<TABLE"), std::string::npos);
}

TEST(HtmlPage, ShowsHostileTextAsText)
{
    auto request = sampleRequest();
    request.title = "<script>alert(1)</script>";
    request.header->rows = {row(0x0010, 0x0010, "Patient's Name", "PN", 25, "<script>alert(1)</script>"),
                            row(0x0010, 0x0020, "Patient ID", "LO", 9, "&\"\x01<b>\r\n")};
    request.pictures = std::vector<exporting::HtmlPicture> {{"a\"><script>_files/0001.jpg", 1}};
    const std::string page = exporting::htmlPage(request);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("<TITLE>&lt;script&gt;alert(1)&lt;/script&gt;</TITLE>"), std::string::npos);
    EXPECT_NE(page.find("<TD>&quot;&lt;script&gt;alert(1)&lt;/script&gt;&quot;"), std::string::npos);
    EXPECT_NE(page.find("<TD>&quot;&amp;&quot;?&lt;b&gt;??&quot;"), std::string::npos);
    EXPECT_NE(page.find("<TD>Patient's Name"), std::string::npos);
    EXPECT_NE(page.find("<IMG SRC=\"a%22%3E%3Cscript%3E_files/0001.jpg\">"), std::string::npos);
}

TEST(HtmlPage, ReportsAFailedStream)
{
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_FALSE(exporting::writeHtmlPage(out, sampleRequest()));
}

struct PathCase {
    const char* name;
    std::string path;
    std::string encoded;
};

void PrintTo(const PathCase& c, std::ostream* os)
{
    *os << c.name;
}

class PercentEncoding : public ::testing::TestWithParam<PathCase> {};

TEST_P(PercentEncoding, KeepsOnlyPlainBytes)
{
    EXPECT_EQ(exporting::percentEncodePath(GetParam().path), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(Paths, PercentEncoding, ::testing::Values(
    PathCase {"Plain", "CT_files/0001.jpg", "CT_files/0001.jpg"},
    PathCase {"Blank", "my page_files/0001.jpg", "my%20page_files/0001.jpg"},
    PathCase {"Utf8", "\xC3\xA9", "%C3%A9"},
    PathCase {"Reserved", "a#b?c%d\\e", "a%23b%3Fc%25d%5Ce"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
