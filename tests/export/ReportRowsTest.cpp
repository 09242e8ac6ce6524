#include "export/ReportRows.h"

#include "ReportTestSupport.h"

#include <gtest/gtest.h>

using exporting::HtmlValueLimit;
using exporting::RtfValueLimit;

namespace {

// The meta group, then a Patient's Name, a 600- and a 100-byte text, an OB
// that is not pixel data, a number and the pixel data (added by hand: a
// header-only read stops before it).
dicom::DicomDataset sample()
{
    auto b = reporttest::part10();
    b.element(0x0010, 0x0010, "PN", "DOE^JANE")
        .element(0x0010, 0x4000, "LT", std::string(600, 'x'))
        .element(0x0020, 0x4000, "LT", std::string(100, 'y'))
        .element(0x0029, 0x0010, "OB", "ab")
        .elementU16(0x0028, 0x0010, "US", 512);
    auto dataset = reporttest::readDataset(b);
    dicom::DicomElement pixels;
    pixels.group = 0x7FE0;
    pixels.element = 0x0010;
    pixels.vr = "OB";
    pixels.length = 12;
    dataset.elements.push_back(pixels);
    return dataset;
}

const exporting::ReportRow& rowOf(const exporting::ReportHeader& header, std::uint16_t group, std::uint16_t element)
{
    for (const auto& row : header.rows) {
        if (row.group == group && row.element == element)
            return row;
    }
    static const exporting::ReportRow none;
    ADD_FAILURE() << "no row " << group << "," << element;
    return none;
}

struct CellCase {
    const char* name;
    std::uint16_t group;
    std::uint16_t element;
    std::string html;
    std::string rtf;
};

void PrintTo(const CellCase& c, std::ostream* os)
{
    *os << c.name;
}

class ValueCell : public ::testing::TestWithParam<CellCase> {};

TEST_P(ValueCell, FollowsTheLimitOfEachFormat)
{
    const auto header = exporting::reportHeader(sample(), {});
    const auto& row = rowOf(header, GetParam().group, GetParam().element);
    EXPECT_EQ(exporting::valueCell(row, HtmlValueLimit), GetParam().html);
    EXPECT_EQ(exporting::valueCell(row, RtfValueLimit), GetParam().rtf);
}

INSTANTIATE_TEST_SUITE_P(Rows, ValueCell, ::testing::Values(
    CellCase {"Text", 0x0010, 0x0010, "\"DOE^JANE\"", "\"DOE^JANE\""},
    CellCase {"Text600", 0x0010, 0x4000, "\"Long Size Data\"", "\"Long Size Data\""},
    CellCase {"Text100", 0x0020, 0x4000, "\"" + std::string(100, 'y') + "\"", "\"Long Size Data\""},
    CellCase {"OtherOb", 0x0029, 0x0010, "\"Sequence Data\"", "\"Sequence Data\""},
    CellCase {"Number", 0x0028, 0x0010, "512", "512"},
    CellCase {"PixelData", 0x7FE0, 0x0010, "\"Frame Data\"", "\"Frame Data\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportRows, KeepDataSetOrderAndFields)
{
    const auto dataset = sample();
    const auto header = exporting::reportHeader(dataset, {});
    ASSERT_EQ(header.rows.size(), dataset.elementCount());
    const auto& last = header.rows.back();
    EXPECT_EQ(last.group, 0x7FE0);
    EXPECT_EQ(last.vr, "OB");
    EXPECT_EQ(last.length, 12u);
    EXPECT_EQ(rowOf(header, 0x0028, 0x0010).name, "Rows");
    EXPECT_FALSE(rowOf(header, 0x0028, 0x0010).textVr);
}

TEST(ReportRows, AnonymizedHideIdentity)
{
    exporting::ReportOptions options;
    options.anonymized = true;
    const auto header = exporting::reportHeader(sample(), options);
    EXPECT_EQ(exporting::valueCell(rowOf(header, 0x0010, 0x0010), HtmlValueLimit), "\" \"");
    EXPECT_EQ(exporting::valueCell(rowOf(header, 0x0028, 0x0010), HtmlValueLimit), "512");
}

} // namespace
