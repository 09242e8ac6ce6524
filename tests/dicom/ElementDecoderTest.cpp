// Element-level decoding: length forms per VR and byte order, sequences and
// items of every length kind, fragments, and what stays unread.

#include "ReaderTestSupport.h"

#include "dicom/HeaderListing.h"

#include <gtest/gtest.h>

using dicom::DicomError;
using dicom::HeaderOnly;
using dicom::PixelData;
using readertest::explicitLittleFile;
using readertest::readBytes;
using testsupport::DicomBytes;
using Syntax = testsupport::DicomBytes::Syntax;

namespace {

dicom::DicomDataset readListed(const std::vector<std::uint8_t>& bytes, HeaderOnly headerOnly = HeaderOnly::No)
{
    dicom::MemorySource source(bytes);
    dicom::DicomReader reader(readertest::options(headerOnly, PixelData::AsElements));
    dicom::DicomDataset dataset;
    reader.read(source, dataset);
    return dataset;
}

struct LongFormCase {
    const char* vr;
    Syntax syntax;
};

void PrintTo(const LongFormCase& c, std::ostream* os)
{
    *os << c.vr << (c.syntax == Syntax::ExplicitBig ? " big endian" : " little endian");
}

class LongLengthVr : public ::testing::TestWithParam<LongFormCase> {};

// PS3.5 7.1.2: these VRs carry 2 reserved bytes and a 32-bit length, in
// either byte order.
TEST_P(LongLengthVr, TakesTheLengthAfterTheReservedField)
{
    const bool big = GetParam().syntax == Syntax::ExplicitBig;
    DicomBytes b;
    b.part10Header(big ? "1.2.840.10008.1.2.2" : "1.2.840.10008.1.2.1");
    b.tag(0x0009, 0x1001)     // private
        .vr(GetParam().vr)    // VR
        .reserved()           // reserved
        .len32(6)             // 32-bit length
        .text("ABCDEF")       // value
        .elementU16(0x0028, 0x0010, "US", 512); // Rows, read after it
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 4u);
    EXPECT_EQ(ds.elements[2].length, 6u);
    EXPECT_EQ(ds.elements[2].text(), "ABCDEF");
    EXPECT_EQ(ds.elements[3].numericValue, 512);
}

INSTANTIATE_TEST_SUITE_P(Vrs, LongLengthVr, ::testing::Values(
    LongFormCase {"OF", Syntax::ExplicitLittle}, LongFormCase {"OD", Syntax::ExplicitLittle},
    LongFormCase {"OL", Syntax::ExplicitLittle}, LongFormCase {"OV", Syntax::ExplicitLittle},
    LongFormCase {"SV", Syntax::ExplicitLittle}, LongFormCase {"UV", Syntax::ExplicitLittle},
    LongFormCase {"UC", Syntax::ExplicitLittle}, LongFormCase {"UR", Syntax::ExplicitLittle},
    LongFormCase {"UT", Syntax::ExplicitLittle}, LongFormCase {"UN", Syntax::ExplicitLittle},
    LongFormCase {"UT", Syntax::ExplicitBig}, LongFormCase {"OW", Syntax::ExplicitBig},
    LongFormCase {"UC", Syntax::ExplicitBig}),
    [](const auto& info) {
        return std::string(info.param.vr) + (info.param.syntax == Syntax::ExplicitBig ? "Big" : "Little");
    });

TEST(ElementDecoder, BigEndianSequencesOfDefinedLength)
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.2");
    b.tag(0x0008, 0x1140)        // Referenced Image Sequence
        .vr("SQ")                // VR
        .reserved()              // reserved
        .len32(2 * (8 + 10))     // two items
        .item(10)                // item 1, big-endian length
        .elementU16(0x0028, 0x0010, "US", 0x0102) // Rows in the item
        .item(10)                // item 2
        .elementU16(0x0028, 0x0011, "US", 0x0304) // Columns in the item
        .elementU16(0x0028, 0x0100, "US", 16);    // Bits Allocated, top level
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 4u);
    ASSERT_EQ(ds.elements[2].childElements.size(), 2u);
    EXPECT_EQ(ds.elements[2].childElements[0].numericValue, 0x0102);
    EXPECT_EQ(ds.elements[2].childElements[1].numericValue, 0x0304);
    EXPECT_EQ(ds.elements[3].numericValue, 16);
}

TEST(ElementDecoder, OddLengthsKeepTheFollowingElementsInStep)
{
    auto b = explicitLittleFile();
    b.tag(0x0010, 0x0010)    // Patient's Name
        .vr("PN")            // VR
        .len16(3)            // odd length
        .text("ABC")         // value
        .tag(0x0010, 0x0020) // Patient ID, at an odd offset
        .vr("LO")            // VR
        .len16(1)            // odd length
        .text("7");          // value
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 4u);
    EXPECT_EQ(ds.elements[2].text(), "ABC");
    EXPECT_EQ(ds.elements[3].text(), "7");
}

TEST(ElementDecoder, SequenceWithoutReservedFieldHoldsOneItem)
{
    auto b = explicitLittleFile();
    b.tag(0x0008, 0x1140)    // Referenced Image Sequence
        .vr("SQ")            // VR
        .u16(0x0001)         // non-zero where the reserved field belongs
        .len32(10)           // taken as the one item's length
        .element(0x0008, 0x1150, "UI", "12") // Referenced SOP Class UID
        .element(0x0010, 0x0020, "LO", "77"); // Patient ID, top level
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 4u);
    ASSERT_EQ(ds.elements[2].childElements.size(), 1u);
    EXPECT_EQ(ds.elements[2].childElements[0].text(), "12");
    EXPECT_EQ(ds.elements[3].text(), "77");
}

TEST(ElementDecoder, UndefinedLengthUnknownTagsNestInsideItems)
{
    DicomBytes b(Syntax::ImplicitLittle);
    b.element(0x0008, 0x0005, "", "ISO_IR 100") // Specific Character Set
        .tag(0x0008, 0x1140)                    // Referenced Image Sequence (SQ)
        .len32(0xFFFFFFFF)                      // undefined length
        .item(0xFFFFFFFF)                       // undefined-length item
        .tag(0x0009, 0x1010)                    // private, unknown: no VR
        .len32(0xFFFFFFFF)                      // undefined length
        .item(0xFFFFFFFF)                       // its item
        .element(0x0010, 0x0020, "", "1234")    // Patient ID inside
        .itemEnd()                              // end of its item
        .sequenceEnd()                          // end of the private sequence
        .itemEnd()                              // end of the outer item
        .sequenceEnd()                          // end of the outer sequence
        .element(0x0010, 0x0010, "", std::string(100, 'N')); // Patient's Name
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 3u);
    ASSERT_EQ(ds.elements[1].childElements.size(), 1u);
    const auto& privateSequence = ds.elements[1].childElements[0];
    ASSERT_EQ(privateSequence.childElements.size(), 1u);
    EXPECT_EQ(privateSequence.childElements[0].text(), "1234");
    EXPECT_EQ(ds.elements[2].length, 100u);
}

TEST(ElementDecoder, UndefinedLengthObOutsideThePixelDataIsASequence)
{
    auto b = explicitLittleFile();
    b.tag(0x0009, 0x1001)    // private
        .vr("OB")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFFF)   // undefined length
        .item(0xFFFFFFFF)    // item
        .element(0x0010, 0x0020, "LO", "12") // Patient ID inside
        .itemEnd()           // end of item
        .sequenceEnd()       // end of sequence
        .element(0x0010, 0x0010, "PN", "AB"); // Patient's Name
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 4u);
    EXPECT_EQ(ds.elements[2].childElements.size(), 1u);
    EXPECT_EQ(ds.elements[3].text(), "AB");
}

// An icon image in an item carries encapsulated pixel data of its own.
DicomBytes iconSequence(std::uint32_t fragmentLength)
{
    auto b = explicitLittleFile();
    b.tag(0x0088, 0x0200)    // Icon Image Sequence
        .vr("SQ")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFFF)   // undefined length
        .item(0xFFFFFFFF)    // item
        .tag(0x7FE0, 0x0010) // Pixel Data inside the item
        .vr("OB")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFFF)   // encapsulated
        .item(0)             // empty offset table
        .item(fragmentLength) // one fragment
        .raw({1, 2, 3, 4})   // fragment bytes
        .sequenceEnd()       // end of fragments
        .itemEnd()           // end of item
        .sequenceEnd()       // end of sequence
        .element(0x0010, 0x0020, "LO", "12"); // Patient ID, top level
    return b;
}

TEST(ElementDecoder, EncapsulatedPixelDataInsideAnItemIsSkipped)
{
    auto ds = readBytes(iconSequence(4).bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 4u);
    ASSERT_EQ(ds.elements[2].childElements.size(), 1u);
    EXPECT_EQ(ds.elements[2].childElements[0].length, 0xFFFFFFFFu);
    EXPECT_EQ(ds.elements[3].text(), "12");

    EXPECT_EQ(readBytes(iconSequence(0xFFFFFFFF).bytes()).lastError(), DicomError::Corrupted);
    EXPECT_EQ(readBytes(iconSequence(0xFFFFFFF0).bytes()).lastError(), DicomError::Corrupted);
}

TEST(ElementDecoder, MetaGroupLongerThanTheFirstChunkIsReadOnDemand)
{
    DicomBytes b;
    b.preamble()
        .element(0x0002, 0x0016, "AE", std::string(6000, 'A')) // Source Application Entity Title
        .element(0x0002, 0x0010, "UI", "1.2.840.10008.1.2.1")  // Transfer Syntax UID
        .element(0x0010, 0x0020, "LO", "12");                  // Patient ID
    auto ds = readBytes(b.bytes(), HeaderOnly::Yes);
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 3u);
    EXPECT_EQ(ds.elements[2].text(), "12");
}

TEST(ElementDecoder, ImplicitMetaGroupKeepsTheWholeFileImplicit)
{
    // The meta group names explicit VR but is written in implicit VR, as the
    // rest of the file is: the pixel group must be read the same way.
    DicomBytes b(Syntax::ImplicitLittle);
    b.preamble()
        .tag(0x0002, 0x0010)     // Transfer Syntax UID, no VR
        .len32(20)               // length
        .text(std::string("1.2.840.10008.1.2.1\0", 20))
        .tag(0x0010, 0x0020)     // Patient ID
        .len32(2)                // length
        .text("12")              // value
        .tag(0x7FE0, 0x0010)     // Pixel Data
        .len32(6)                // length
        .raw({1, 2, 3, 4, 5, 6}); // pixels
    auto ds = readListed(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 3u);
    EXPECT_TRUE(ds.implicitVr);
    EXPECT_EQ(ds.elements[2].length, 6u);
}

TEST(ElementDecoder, HeaderOnlyListsNothingOfThePixelGroup)
{
    auto b = explicitLittleFile();
    b.element(0x0010, 0x0020, "LO", "12") // Patient ID
        .tag(0x7FE0, 0x0010)              // Pixel Data
        .vr("OW")                         // VR
        .reserved()                       // reserved
        .len32(4)                         // length
        .raw({1, 2, 3, 4});               // pixels
    EXPECT_EQ(readListed(b.bytes()).elementCount(), 4u);
    auto header = readListed(b.bytes(), HeaderOnly::Yes);
    ASSERT_EQ(header.lastError(), DicomError::None);
    EXPECT_EQ(header.elementCount(), 3u);
}

TEST(ElementDecoder, GarbledVrShowsEscapedInTheRow)
{
    auto b = explicitLittleFile();
    b.tag(0x0009, 0x1001)    // private
        .raw({'\n', 0})      // VR bytes that are no VR
        .len16(2)            // length
        .text("AB");         // value
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    auto rows = dicom::headerRows(ds);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].vr, "\\x0A\\x00");
}

} // namespace
