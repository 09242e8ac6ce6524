#include "export/RtfReport.h"

#include <array>
#include <cstdio>
#include <new>

namespace exporting {

namespace {

constexpr std::string_view HeadStart =
    R"({\rtf1\ansi\ansicpg1253\deff0\uc1{\fonttbl{\f0\fcharset0 Times New Roman;}})"
    R"({\stylesheet{\s0\nowidctlpar\nooverflow\sl240\slmult1\f0\fs20\kerning28 Normal;}})"
    R"(\paperw11899\paperh16837\margt720\margl720\margr720)";
constexpr std::string_view HeadEnd = R"(\deftab720\pgnstart1\viewkind1\viewscale100\fet0\pard\plain)";
constexpr std::string_view BoldLine = R"(\pard\nowidctlpar\nooverflow\qc\sl240\slmult1{\b\f0\lang1033\fs24\kerning28 )";
constexpr std::string_view RowStart =
    R"(\pard\nowidctlpar\nooverflow\sl240\slmult1{\f1\lang1033\fs16\kerning28\trowd\trql\trgaph100\trrh280)"
    R"(\trleft2\trqc\cellx1264\cellx4064\cellx4564\cellx5464\cellx10064)";
constexpr std::string_view RowEnd = R"(\pard\pard\intbl\row\pard\f1\lang1033\fs2\par})";
constexpr std::string_view CellStart = R"(\pard \intbl )";
constexpr std::string_view CellEnd = R"(\cell)";
constexpr std::size_t TwipsPerPixel = 12;
constexpr std::size_t NameLimit = 35;
constexpr std::size_t NameKept = 33;
constexpr std::size_t ValueKept = 46;

// Cut on characters, not bytes, and before escaping, so that neither a
// multi-byte character nor an escape is split.
std::u32string cut(std::u32string text, std::size_t limit, std::size_t kept)
{
    if (text.size() > limit) {
        text.resize(kept);
        text += U"...";
    }
    return text;
}

std::string utf8Rtf(std::string_view text)
{
    return rtfText(decodeText(text, CharacterSet::Utf8));
}

template<typename Build>
std::string orEmpty(Build build)
{
    try {
        return build();
    } catch (const std::bad_alloc&) {
        return {};
    }
}

void appendRows(std::string& out, const ReportHeader& header)
{
    out += rtfTableHead();
    for (const ReportRow& row : header.rows)
        out += rtfTableRow(row, header.characterSet);
}

std::string pictureGroup(const imaging::DisplayBitmap& bitmap);

// Memory running out here empties the whole report rather than dropping a picture.
void appendPictures(std::string& out, std::span<const imaging::DisplayBitmap> pictures)
{
    for (const imaging::DisplayBitmap& picture : pictures)
        out += pictureGroup(picture);
    out += R"(\par})";
}

std::string pictureGroup(const imaging::DisplayBitmap& bitmap)
{
    const int bits = bitmap.bitsPerPixel();
    if (bitmap.isNull() || (bits != 8 && bits != 24) || bitmap.width() <= 0 || bitmap.height() <= 0)
        return {};
    const std::size_t rows = bitmap.stride() * static_cast<std::size_t>(bitmap.height());
    const std::size_t count = bitmap.rowsOffset() + rows;
    if (count > bitmap.byteSize())
        return {};
    const auto width = static_cast<std::size_t>(bitmap.width());
    const auto height = static_cast<std::size_t>(bitmap.height());
    std::string out = "{\\pict \\dibitmap0 \\picw" + std::to_string(width) + " \\pich" + std::to_string(height)
                      + " \\wbmbitspixel" + std::to_string(bits) + " \\wbmplanes1 \\wbmwidthbytes"
                      + std::to_string(bitmap.stride()) + " \\picwgoal" + std::to_string(width * TwipsPerPixel)
                      + " \\pichgoal" + std::to_string(height * TwipsPerPixel)
                      + " \\picscalex100 \\picscaley100 \\bin" + std::to_string(count) + " ";
    const auto bytes = bitmap.bytes().first(count);
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    out += "}  ";
    return out;
}

} // namespace

std::string rtfHeadA()
{
    return std::string(HeadStart) + R"(\margb1440)" + std::string(HeadEnd);
}

std::string rtfHeadB()
{
    return std::string(HeadStart) + R"(\margb720)" + std::string(HeadEnd);
}

std::string rtfTitle(std::string_view title)
{
    return std::string(BoldLine) + utf8Rtf(title) + R"(\par})";
}

std::string rtfPictureTitle(std::string_view title)
{
    return std::string(BoldLine) + utf8Rtf(title) + R"(  \par}\pard\qc)";
}

std::string rtfSeparator()
{
    return std::string(BoldLine) + std::string(27, ' ') + R"(\par}\pard\qc)";
}

std::string rtfTableHead()
{
    std::string out = R"(\pard\nowidctlpar\nooverflow\sl240\slmult1{\f0\lang1033\fs20\kerning28\par})";
    out += RowStart;
    for (const char* title : {"Tag", "Tag Name", "VR", "Length", "Value"}) {
        out += CellStart;
        out += R"(\b )";
        out += title;
        out += R"( \b0 )";
        out += CellEnd;
    }
    out += RowEnd;
    return out;
}

std::string rtfTableRow(const ReportRow& row, CharacterSet set)
{
    std::array<char, 24> tag {};
    std::snprintf(tag.data(), tag.size(), "0x%04x,0x%04x", static_cast<unsigned>(row.group),
                  static_cast<unsigned>(row.element));
    const std::array<std::string, 5> cells = {
        tag.data(),
        rtfText(cut(decodeText(row.name, CharacterSet::Latin1), NameLimit, NameKept)),
        rtfText(decodeText(row.vr, CharacterSet::Latin1)),
        std::to_string(row.length),
        rtfText(cut(decodeText(valueCell(row, RtfValueLimit), set), RtfValueLimit, ValueKept)),
    };
    std::string out(RowStart);
    for (const std::string& text : cells) {
        out += CellStart;
        out += text;
        out += CellEnd;
    }
    out += RowEnd;
    return out;
}

std::string rtfPicture(const imaging::DisplayBitmap& bitmap)
{
    return orEmpty([&] { return pictureGroup(bitmap); });
}

std::string rtfHeaderReport(std::string_view title, const ReportHeader& header)
{
    return orEmpty([&] {
        std::string out = rtfHeadA() + rtfTitle(title);
        appendRows(out, header);
        out += "}";
        return out;
    });
}

std::string rtfPictureReport(std::string_view title, std::span<const imaging::DisplayBitmap> pictures)
{
    return orEmpty([&] {
        std::string out = rtfHeadA() + rtfPictureTitle(title);
        appendPictures(out, pictures);
        return out;
    });
}

std::string rtfHeaderAndPictureReport(std::string_view title, const ReportHeader& header,
                                      std::span<const imaging::DisplayBitmap> pictures)
{
    return orEmpty([&] {
        std::string out = rtfHeadB() + rtfTitle(title);
        appendRows(out, header);
        out += rtfSeparator();
        appendPictures(out, pictures);
        return out;
    });
}

std::string rtfReport(const dicom::DicomDataset& dataset, std::string_view title, ReportContent content,
                      std::span<const imaging::DisplayBitmap> pictures, const ReportOptions& options)
{
    return orEmpty([&] {
        switch (content) {
        case ReportContent::Header:
            return rtfHeaderReport(title, reportHeader(dataset, options));
        case ReportContent::Pictures:
            return rtfPictureReport(title, pictures);
        case ReportContent::HeaderAndPictures:
            return rtfHeaderAndPictureReport(title, reportHeader(dataset, options), pictures);
        }
        return std::string();
    });
}

std::string plainHeaderReport(std::string_view title, const ReportHeader& header)
{
    return orEmpty([&] {
        std::string out = plainText(decodeText(title, CharacterSet::Utf8)) + "\nTag\tTag Name\tVR\tLength\tValue\n";
        for (const ReportRow& row : header.rows) {
            std::array<char, 24> tag {};
            std::snprintf(tag.data(), tag.size(), "0x%04x,0x%04x", static_cast<unsigned>(row.group),
                          static_cast<unsigned>(row.element));
            out += tag.data();
            out += '\t' + plainText(cut(decodeText(row.name, CharacterSet::Latin1), NameLimit, NameKept));
            out += '\t' + plainText(decodeText(row.vr, CharacterSet::Latin1));
            out += '\t' + std::to_string(row.length);
            out += '\t' + plainText(cut(decodeText(valueCell(row, RtfValueLimit), header.characterSet),
                                        RtfValueLimit, ValueKept));
            out += '\n';
        }
        return out;
    });
}

} // namespace exporting
