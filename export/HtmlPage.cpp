#include "export/HtmlPage.h"

#include <array>
#include <cstdio>
#include <new>

namespace exporting {

namespace {

std::string utf8Html(std::string_view text)
{
    return htmlText(decodeText(text, CharacterSet::Utf8));
}

std::string format(const char* pattern, unsigned a, unsigned b)
{
    std::array<char, 64> text {};
    std::snprintf(text.data(), text.size(), pattern, a, b);
    return text.data();
}

void cell(std::string& page, std::string_view text)
{
    page += "\n<TD>";
    page += text;
    page += "\n</TD>";
}

void headerTable(std::string& page, const ReportHeader& header)
{
    page += "\n<TABLE BORDER=1 ALIGN=\"center\" BORDERCOLOR=\"#0000\">";
    page += "\n<TR>";
    for (const char* title : {"Tag", "Tag Name", "VR", "Length", "Value"}) {
        page += "\n<TD ALIGN=\"center\">";
        page += title;
        page += "\n</TD>";
    }
    page += "\n</TR>";
    const CharacterSet set = header.characterSet;
    for (const ReportRow& row : header.rows) {
        page += "\n<TR>";
        cell(page, format("0x%04x, 0x%04x", row.group, row.element));
        cell(page, htmlText(decodeText(row.name, CharacterSet::Latin1)));
        cell(page, htmlText(decodeText(row.vr, CharacterSet::Latin1)));
        cell(page, std::to_string(row.length));
        cell(page, htmlText(decodeText(valueCell(row, HtmlValueLimit), set)));
        page += "\n</TR>";
    }
    page += "\n</TABLE>";
    page += "\n<BR><BR>";
}

void pictureTable(std::string& page, const std::vector<HtmlPicture>& pictures)
{
    page += "\n<TABLE BORDER=1 ALIGN=\"center\" BORDERCOLOR=\"#000000\">";
    for (const HtmlPicture& picture : pictures) {
        std::array<char, 16> number {};
        std::snprintf(number.data(), number.size(), "%04d", picture.number);
        page += "\n<TR>";
        page += "\n<TD ALIGN=\"CENTER\">";
        page += "<IMG SRC=\"" + utf8Html(percentEncodePath(picture.source)) + "\"> <BR> Frame : ";
        page += number.data();
        page += " <BR>";
        page += "\n</TD>";
        page += "\n</TR>";
    }
    page += "\n</TABLE>";
}

std::string pageText(const HtmlPageRequest& request)
{
    std::string page;
    page += "<HTML>\n<HEAD>\n<TITLE>" + utf8Html(request.title) + "</TITLE>\n</HEAD>";
    page += "\n<BODY>";
    page += "\n<HR><BR><H2 ALIGN=\"center\">" + utf8Html(request.heading) + "</H2>";
    if (request.fileFacts) {
        page += "\nDate : " + utf8Html(request.date) + " <BR>";
        page += "\nSize : " + std::to_string(request.fileSize / 1024) + "KB <BR>";
    }
    page += "\n<HR><BR><BR>";
    if (request.header)
        headerTable(page, *request.header);
    if (request.pictures)
        pictureTable(page, *request.pictures);
    page += "\n<BR><BR><HR><I>Created by <B>" + utf8Html(request.creator) + "</B></I>";
    page += "\n<BR>Made with free software: <A HREF=\"https://www.qt.io/\">Qt</A>";
    page += "\n<BR>This page was exported from DICOM files and is not meant for diagnosis.";
    page += "\n</BODY>";
    page += "\n</HTML>";
    // The page keeps the line ends of a text-mode file on the platform it came from.
    std::string crlf;
    crlf.reserve(page.size() + page.size() / 16);
    for (char c : page) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return crlf;
}

} // namespace

std::string htmlPage(const HtmlPageRequest& request)
{
    try {
        return pageText(request);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool writeHtmlPage(std::ostream& out, const HtmlPageRequest& request)
{
    const std::string page = htmlPage(request);
    if (page.empty())
        return false;
    out.write(page.data(), static_cast<std::streamsize>(page.size()));
    return static_cast<bool>(out);
}

std::string pictureFolderName(std::string_view pageName)
{
    return std::string(pageName) + "_files";
}

std::string pictureFileName(int number)
{
    std::array<char, 24> name {};
    std::snprintf(name.data(), name.size(), "%04d.jpg", number);
    return name.data();
}

std::string pictureSource(std::string_view pageName, int number)
{
    return pictureFolderName(pageName) + "/" + pictureFileName(number);
}

std::string percentEncodePath(std::string_view path)
{
    static constexpr std::string_view Hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')
                           || byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += Hex[byte >> 4];
            out += Hex[byte & 0x0F];
        }
    }
    return out;
}

} // namespace exporting
