#include "ReaderTestSupport.h"

#include "dicom/HeaderListing.h"
#include "dicom/TagDictionary.h"

#include <gtest/gtest.h>

#include <bit>

using dicom::DicomElement;
using dicom::HeaderCategory;

namespace {

DicomElement make(std::uint16_t group, std::uint16_t element, std::string vr, std::vector<std::uint8_t> bytes)
{
    DicomElement e;
    e.group = group;
    e.element = element;
    e.name = std::string(dicom::TagDictionary::name(e.tag()));
    e.vr = std::move(vr);
    e.setValue(bytes);
    return e;
}

std::vector<std::uint8_t> textBytes(const std::string& s)
{
    return {s.begin(), s.end()};
}

struct RowCase {
    const char* name;
    DicomElement element;
    base::Endian order;
    std::string value;
};

void PrintTo(const RowCase& c, std::ostream* os)
{
    *os << c.name;
}

class HeaderRowValue : public ::testing::TestWithParam<RowCase> {};

TEST_P(HeaderRowValue, FollowsTheValueRule)
{
    EXPECT_EQ(dicom::headerRow(GetParam().element, GetParam().order).value, GetParam().value);
}

DicomElement withNumber(DicomElement e, std::int32_t number)
{
    e.numericValue = number;
    return e;
}

const auto Little = base::Endian::Little;
const auto Big = base::Endian::Big;

INSTANTIATE_TEST_SUITE_P(Values, HeaderRowValue, ::testing::Values(
    RowCase {"PixelDataIsFrameData", make(0x7FE0, 0x0010, "OW", {1, 2, 3, 4}), Little, "\"Frame Data\""},
    RowCase {"OtherObIsSequenceData", make(0x0002, 0x0001, "OB", {0, 1}), Little, "\"Sequence Data\""},
    RowCase {"SequenceIsSequenceData", make(0x0008, 0x1140, "SQ", {}), Little, "\"Sequence Data\""},
    RowCase {"Text600IsLong", make(0x0010, 0x4000, "LT", textBytes(std::string(600, 'a'))), Little, "\"Long Size Data\""},
    RowCase {"Text511IsShown", make(0x0010, 0x4000, "LT", textBytes(std::string(511, 'a'))), Little,
             "\"" + std::string(511, 'a') + "\""},
    RowCase {"TextStopsAtZero", make(0x0009, 0x1001, "", {'A', 'B', 0, 'C'}), Little, "\"AB\""},
    RowCase {"ControlBytesEscaped", make(0x0008, 0x0081, "ST", textBytes("a\nb\tc\x7f")), Little, "\"a\\x0Ab\\x09c\\x7F\""},
    RowCase {"Latin1Kept", make(0x0010, 0x0010, "PN", {'M', 0xFC, 'l'}), Little, "\"M\xFCl\""},
    RowCase {"MultiValuedTextKept", make(0x0028, 0x1050, "DS", textBytes("40\\400")), Little, "\"40\\400\""},
    RowCase {"UsUnsigned", make(0x0028, 0x0010, "US", {0x40, 0x9C}), Little, "40000"},
    RowCase {"Us512", make(0x0028, 0x0010, "US", {0x00, 0x02}), Little, "512"},
    RowCase {"UsBigEndian", make(0x0028, 0x0010, "US", {0x02, 0x00}), Big, "512"},
    RowCase {"SsSigned", make(0x0028, 0x1041, "SS", {0xFE, 0xFF}), Little, "-2"},
    RowCase {"UlUnsigned", make(0x0009, 0x1001, "UL", {0xFF, 0xFF, 0xFF, 0xFF}), Little, "4294967295"},
    RowCase {"SlSigned", make(0x0009, 0x1001, "SL", {0xFF, 0xFF, 0xFF, 0xFF}), Little, "-1"},
    RowCase {"FlFloat", make(0x0018, 0x9089, "FL", {0x00, 0x00, 0xC0, 0x3F}), Little, "1.5"},
    RowCase {"FdDoubleBigEndian", make(0x0018, 0x9089, "FD", {0x40, 0x02, 0, 0, 0, 0, 0, 0}), Big, "2.25"},
    RowCase {"AtUsesTheNumber", withNumber(make(0x0028, 0x0009, "AT", {}), 7), Little, "7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderRow, TagNameVrAndLengthColumns)
{
    auto row = dicom::headerRow(make(0x0028, 0x0010, "US", {0, 2}));
    EXPECT_EQ(row.tag, "0x0028, 0x0010");
    EXPECT_EQ(row.name, "Rows");
    EXPECT_EQ(row.vr, "US");
    EXPECT_EQ(row.length, "2");
    EXPECT_EQ(dicom::headerRow(make(0x7FE0, 0x0010, "OB", {})).name, "Frame Data");
    EXPECT_EQ(dicom::headerRow(make(0x0009, 0x10AB, "LO", {})).tag, "0x0009, 0x10ab");
}

TEST(HeaderCategoryFilter, SelectsTheTabsElements)
{
    struct Case {
        std::uint16_t group, element;
        bool all, patient, study, physician, image;
    };
    const Case cases[] = {
        {0x0010, 0x0000, false, false, false, false, false}, // group length: never
        {0x0010, 0x0001, true, false, false, false, false},  // element 1: only on All
        {0x0010, 0x0010, true, true, false, false, false},
        {0x0008, 0x0020, true, false, true, false, false},
        {0x0032, 0x4000, true, false, true, false, false},
        {0x0008, 0x0090, true, false, false, true, false},
        {0x0032, 0x1032, true, false, false, true, false},
        {0x0020, 0x0013, true, false, false, false, true},
        {0x0028, 0x1050, true, false, false, false, true},
        {0x0028, 0x0001, true, false, false, false, false},
        {0x0018, 0x0050, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        auto e = make(c.group, c.element, "LO", {});
        SCOPED_TRACE(dicom::headerRow(e).tag);
        EXPECT_EQ(dicom::inCategory(e, HeaderCategory::All), c.all);
        EXPECT_EQ(dicom::inCategory(e, HeaderCategory::Patient), c.patient);
        EXPECT_EQ(dicom::inCategory(e, HeaderCategory::Study), c.study);
        EXPECT_EQ(dicom::inCategory(e, HeaderCategory::Physician), c.physician);
        EXPECT_EQ(dicom::inCategory(e, HeaderCategory::Image), c.image);
    }
}

TEST(HeaderRows, ListTopLevelElementsWithTheDataSetsByteOrder)
{
    testsupport::DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.2"); // meta group stays little endian
    b.elementU16(0x0028, 0x0010, "US", 512) // Rows, big endian
        .tag(0x0008, 0x1140).vr("SQ").reserved().len32(0xFFFFFFFF) // Referenced Image Sequence
        .item(0xFFFFFFFF).element(0x0008, 0x1150, "UI", "1.2").itemEnd().sequenceEnd();
    auto ds = readertest::readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), dicom::DicomError::None);
    auto rows = dicom::headerRows(ds);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].value, "28"); // group length, little endian
    EXPECT_EQ(rows[2].value, "512");
    EXPECT_EQ(rows[3].value, "\"Sequence Data\"");
    EXPECT_TRUE(dicom::headerRows(ds, HeaderCategory::Patient).empty());
    EXPECT_EQ(dicom::headerRows(ds, HeaderCategory::Image).size(), 1u);
}

} // namespace
