#include "export/RtfReport.h"

#include <gtest/gtest.h>

namespace {

// The fixed pieces, written out once here as the reports must hold them.
const std::string HeadA =
    R"({\rtf1\ansi\ansicpg1253\deff0\uc1{\fonttbl{\f0\fcharset0 Times New Roman;}}{\stylesheet{\s0\nowidctlpar)"
    R"(\nooverflow\sl240\slmult1\f0\fs20\kerning28 Normal;}}\paperw11899\paperh16837\margt720\margl720\margr720)"
    R"(\margb1440\deftab720\pgnstart1\viewkind1\viewscale100\fet0\pard\plain)";
const std::string Title = R"(\pard\nowidctlpar\nooverflow\qc\sl240\slmult1{\b\f0\lang1033\fs24\kerning28 CT\par})";
const std::string TableHead =
    R"(\pard\nowidctlpar\nooverflow\sl240\slmult1{\f0\lang1033\fs20\kerning28\par}\pard\nowidctlpar\nooverflow)"
    R"(\sl240\slmult1{\f1\lang1033\fs16\kerning28\trowd\trql\trgaph100\trrh280\trleft2\trqc\cellx1264\cellx4064)"
    R"(\cellx4564\cellx5464\cellx10064\pard \intbl \b Tag \b0 \cell\pard \intbl \b Tag Name \b0 \cell\pard \intbl)"
    R"( \b VR \b0 \cell\pard \intbl \b Length \b0 \cell\pard \intbl \b Value \b0 \cell\pard\pard\intbl\row\pard)"
    R"(\f1\lang1033\fs2\par})";
const std::string RowStart =
    R"(\pard\nowidctlpar\nooverflow\sl240\slmult1{\f1\lang1033\fs16\kerning28\trowd\trql\trgaph100\trrh280)"
    R"(\trleft2\trqc\cellx1264\cellx4064\cellx4564\cellx5464\cellx10064\pard \intbl )";
const std::string RowEnd = R"(\cell\pard\pard\intbl\row\pard\f1\lang1033\fs2\par})";
const std::string Cell = R"(\cell\pard \intbl )";

exporting::ReportRow row(std::string name, std::string vr, std::uint32_t length, std::string value,
                         bool textVr = true)
{
    return {0x0010, 0x0010, std::move(name), std::move(vr), length, std::move(value), textVr};
}

TEST(RtfReport, HeaderReportIsTheFixedPieces)
{
    const exporting::ReportHeader header {{{0x0028, 0x0010, "Rows", "US", 2, "512", false}}, {}};
    EXPECT_EQ(exporting::rtfHeaderReport("CT", header),
              HeadA + Title + TableHead + RowStart + "0x0028,0x0010" + Cell + "Rows" + Cell + "US" + Cell + "2"
                  + Cell + "512" + RowEnd + "}");
}

TEST(RtfReport, BothReportUsesHeadBAndTheSeparator)
{
    std::string headB = HeadA;
    headB.replace(headB.find("margb1440"), 9, "margb720");
    const std::string separator = R"(\pard\nowidctlpar\nooverflow\qc\sl240\slmult1{\b\f0\lang1033\fs24\kerning28 )"
                                  + std::string(27, ' ') + R"(\par}\pard\qc)";
    EXPECT_EQ(exporting::rtfHeaderAndPictureReport("CT", {}, {}), headB + Title + TableHead + separator + "\\par}");
    EXPECT_EQ(exporting::rtfPictureReport("CT", {}),
              HeadA + R"(\pard\nowidctlpar\nooverflow\qc\sl240\slmult1{\b\f0\lang1033\fs24\kerning28 CT  \par})"
                  + R"(\pard\qc\par})");
}

struct PictureCase {
    const char* name;
    int width;
    int bits;
    std::string head;
    std::size_t count; // bytes after the head
};

void PrintTo(const PictureCase& c, std::ostream* os)
{
    *os << c.name;
}

class RtfPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(RtfPicture, EmbedsTheBitmapAt12TwipsAPixel)
{
    auto bitmap = imaging::DisplayBitmap::create(GetParam().width, 1, GetParam().bits);
    ASSERT_TRUE(bitmap);
    const std::string pict = exporting::rtfPicture(*bitmap);
    ASSERT_EQ(pict.size(), GetParam().head.size() + GetParam().count + 3);
    EXPECT_EQ(pict.substr(0, GetParam().head.size()), GetParam().head);
    EXPECT_EQ(pict.substr(GetParam().head.size(), GetParam().count),
              std::string(reinterpret_cast<const char*>(bitmap->bytes().data()), GetParam().count));
    EXPECT_EQ(pict.substr(pict.size() - 3), "}  ");
}

INSTANTIATE_TEST_SUITE_P(Depths, RtfPicture, ::testing::Values(
    PictureCase {"Rgb", 2, 24, "{\\pict \\dibitmap0 \\picw2 \\pich1 \\wbmbitspixel24 \\wbmplanes1 \\wbmwidthbytes8 "
                               "\\picwgoal24 \\pichgoal12 \\picscalex100 \\picscaley100 \\bin48 ", 48},
    PictureCase {"Palette", 5, 8, "{\\pict \\dibitmap0 \\picw5 \\pich1 \\wbmbitspixel8 \\wbmplanes1 \\wbmwidthbytes8 "
                                  "\\picwgoal60 \\pichgoal12 \\picscalex100 \\picscaley100 \\bin1072 ", 1072}),
    [](const auto& info) { return std::string(info.param.name); });

struct CellCase {
    const char* name;
    exporting::ReportRow row;
    std::string nameCell;
    std::string valueCell;
};

void PrintTo(const CellCase& c, std::ostream* os)
{
    *os << c.name;
}

class RtfCells : public ::testing::TestWithParam<CellCase> {};

TEST_P(RtfCells, CutThenEscape)
{
    const std::string text = exporting::rtfTableRow(GetParam().row, exporting::CharacterSet::Latin1);
    const std::string cells = Cell + GetParam().nameCell + Cell + GetParam().row.vr + Cell
                              + std::to_string(GetParam().row.length) + Cell + GetParam().valueCell + RowEnd;
    EXPECT_EQ(text, RowStart + "0x0010,0x0010" + cells);
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfCells, ::testing::Values(
    CellCase {"Name35Kept", row(std::string(35, 'n'), "LO", 1, "v"), std::string(35, 'n'), "\"v\""},
    CellCase {"Name40Cut", row(std::string(40, 'n'), "LO", 1, "v"), std::string(33, 'n') + "...", "\"v\""},
    CellCase {"Value46Kept", row("N", "LO", 46, std::string(46, 'v')), "N", "\"" + std::string(46, 'v') + "\""},
    CellCase {"Value47Cut", row("N", "LO", 47, std::string(47, 'v')), "N", "\"" + std::string(45, 'v') + "..."},
    CellCase {"EscapeAfterCut", row("N", "LO", 47, std::string(44, 'v') + "{}}"), "N",
              "\"" + std::string(44, 'v') + "\\{..."},
    CellCase {"Hostile", row("N{", "LO", 9, "<>&\"\\{}\x01\n"), "N\\{", "\"<>&\"\\\\\\{\\}\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfReport, PlainTextHasOneLinePerRow)
{
    const exporting::ReportHeader header {{row("Patient's Name", "PN", 4, "Jos\xE9")}, exporting::CharacterSet::Latin1};
    EXPECT_EQ(exporting::plainHeaderReport("CT", header),
              "CT\nTag\tTag Name\tVR\tLength\tValue\n0x0010,0x0010\tPatient's Name\tPN\t4\t\"Jos\xC3\xA9\"\n");
}

} // namespace
