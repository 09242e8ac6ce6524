#include "ReaderTestSupport.h"

#include "dicom/HeaderListing.h"
#include "dicom/TagDictionary.h"
#include "dicom/Tags.h"

#include <gtest/gtest.h>

#include <bit>

using dicom::DicomElement;
using dicom::HeaderCategory;
namespace tags = dicom::tags;

namespace {

// A private tag, which the dictionary does not name.
constexpr base::Tag PrivateTag {0x0009, 0x1001};

DicomElement make(base::Tag tag, std::string vr, std::vector<std::uint8_t> bytes)
{
    DicomElement e;
    e.group = tag.group;
    e.element = tag.element;
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
    RowCase {"PixelDataIsFrameData", make(tags::PixelData, "OW", {1, 2, 3, 4}), Little, "\"Frame Data\""},
    RowCase {"OtherObIsSequenceData", make(tags::FileMetaInformationVersion, "OB", {0, 1}), Little,
             "\"Sequence Data\""},
    RowCase {"SequenceIsSequenceData", make(tags::ReferencedImageSequence, "SQ", {}), Little, "\"Sequence Data\""},
    RowCase {"Text600IsLong", make(tags::PatientComments, "LT", textBytes(std::string(600, 'a'))), Little,
             "\"Long Size Data\""},
    RowCase {"Text511IsShown", make(tags::PatientComments, "LT", textBytes(std::string(511, 'a'))), Little,
             "\"" + std::string(511, 'a') + "\""},
    RowCase {"TextStopsAtZero", make(PrivateTag, "", {'A', 'B', 0, 'C'}), Little, "\"AB\""},
    RowCase {"ControlBytesEscaped", make(tags::InstitutionAddress, "ST", textBytes("a\nb\tc\x7f")), Little,
             "\"a\\x0Ab\\x09c\\x7F\""},
    RowCase {"Latin1Kept", make(tags::PatientName, "PN", {'M', 0xFC, 'l'}), Little, "\"M\xFCl\""},
    RowCase {"MultiValuedTextKept", make(tags::WindowCenter, "DS", textBytes("40\\400")), Little, "\"40\\400\""},
    RowCase {"UsUnsigned", make(tags::Rows, "US", {0x40, 0x9C}), Little, "40000"},
    RowCase {"Us512", make(tags::Rows, "US", {0x00, 0x02}), Little, "512"},
    RowCase {"UsBigEndian", make(tags::Rows, "US", {0x02, 0x00}), Big, "512"},
    RowCase {"SsSigned", make(tags::PixelIntensityRelationshipSign, "SS", {0xFE, 0xFF}), Little, "-2"},
    RowCase {"UlUnsigned", make(PrivateTag, "UL", {0xFF, 0xFF, 0xFF, 0xFF}), Little, "4294967295"},
    RowCase {"SlSigned", make(PrivateTag, "SL", {0xFF, 0xFF, 0xFF, 0xFF}), Little, "-1"},
    RowCase {"FlFloat", make(tags::DiffusionGradientOrientation, "FL", {0x00, 0x00, 0xC0, 0x3F}), Little, "1.5"},
    RowCase {"FdDoubleBigEndian", make(tags::DiffusionGradientOrientation, "FD", {0x40, 0x02, 0, 0, 0, 0, 0, 0}), Big,
             "2.25"},
    RowCase {"AtIsGroupAndElement", make(tags::FrameIncrementPointer, "AT", {0x18, 0, 0x63, 0x10}), Little,
             "(0018,1063)"},
    RowCase {"AtBigEndianHexLower", make(tags::FrameIncrementPointer, "AT", {0x00, 0x28, 0x00, 0x0A}), Big,
             "(0028,000a)"},
    RowCase {"AtSeveralValues", make(tags::FrameIncrementPointer, "AT", {0x18, 0, 0x63, 0x10, 0x18, 0, 0x65, 0x10}),
             Little, "(0018,1063)\\(0018,1065)"},
    RowCase {"AtPartialValueNotRead",
             withNumber(make(tags::FrameIncrementPointer, "AT", {0x18, 0, 0x63, 0x10, 0x18, 0}), 7), Little,
             "(0018,1063)"},
    RowCase {"AtShortOfOneValueIsEmpty", withNumber(make(tags::FrameIncrementPointer, "AT", {0x18, 0, 0x63}), 7),
             Little, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderRow, TagNameVrAndLengthColumns)
{
    auto row = dicom::headerRow(make(tags::Rows, "US", {0, 2}));
    EXPECT_EQ(row.tag, "0x0028, 0x0010");
    EXPECT_EQ(row.name, "Rows");
    EXPECT_EQ(row.vr, "US");
    EXPECT_EQ(row.length, "2");
    EXPECT_EQ(dicom::headerRow(make(tags::PixelData, "OB", {})).name, "Frame Data");
    EXPECT_EQ(dicom::headerRow(make({0x0009, 0x10AB}, "LO", {})).tag, "0x0009, 0x10ab");
}

TEST(HeaderCategoryFilter, SelectsTheTabsElements)
{
    struct Case {
        base::Tag tag;
        bool all, patient, study, physician, image;
    };
    const Case cases[] = {
        {tags::GroupLength0010, false, false, false, false, false}, // group length: never
        {{tags::PatientGroup, tags::LengthToEndElement}, true, false, false, false, false},  // element 1: only on All
        {tags::PatientName, true, true, false, false, false},
        {tags::StudyDate, true, false, true, false, false},
        {tags::StudyComments, true, false, true, false, false},
        {tags::ReferringPhysicianName, true, false, false, true, false},
        {tags::RequestingPhysician, true, false, false, true, false},
        {tags::InstanceNumber, true, false, false, false, true},
        {tags::WindowCenter, true, false, false, false, true},
        {{tags::ImagePresentationGroup, tags::LengthToEndElement}, true, false, false, false, false},
        {tags::SliceThickness, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        auto e = make(c.tag, "LO", {});
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
