// How the reader tells the encoding of a data set that has no transfer
// syntax (a raw data set, or a meta group without (0002,0010)), and how it
// reads a transfer syntax with padding.

#include "ReaderTestSupport.h"

#include "dicom/DicomReader.h"
#include "dicom/Tags.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

using dicom::DicomError;
using dicom::Encoding;
using readertest::readBytes;
using testsupport::DicomBytes;
using Syntax = testsupport::DicomBytes::Syntax;

namespace {

// Three elements, the last of them Rows = 512, in the syntax b has now.
std::vector<std::uint8_t> withDataSet(DicomBytes b)
{
    b.element(0x0008, 0x0005, "CS", "ISO_IR 100")             // Specific Character Set
        .element(0x0010, 0x0010, "PN", std::string(120, 'N')) // Patient's Name
        .elementU16(0x0028, 0x0010, "US", 512);               // Rows
    return b.bytes();
}

// Preamble, "DICM" and a meta group whose transfer syntax is uid (written
// as given, no padding added), or that has none when uid is empty.
DicomBytes metaGroup(std::string_view uid, Syntax dataSetSyntax)
{
    DicomBytes b;
    b.preamble().element(0x0002, 0x0002, "UI", "1.2.3.4"); // Media Storage SOP Class UID
    if (!uid.empty())
        b.element(0x0002, 0x0010, "UI", uid); // Transfer Syntax UID
    return b.syntax(dataSetSyntax);
}

struct EncodingCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    dicom::Encoding expected;
};

// Test names stay the same from build to build (CTest lists the parameter).
void PrintTo(const EncodingCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReaderEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(ReaderEncoding, ReadsTheWholeDataSetInItsEncoding)
{
    auto ds = readBytes(GetParam().bytes);
    ASSERT_EQ(ds.lastError(), DicomError::None);
    EXPECT_EQ(ds.implicitVr, GetParam().expected == dicom::Encoding::ImplicitLittle);
    EXPECT_EQ(ds.bigEndian, GetParam().expected == dicom::Encoding::ExplicitBig);
    ASSERT_GE(ds.elementCount(), 3u);
    EXPECT_EQ(ds.elements.back().tag(), dicom::tags::Rows);
    EXPECT_EQ(ds.elements.back().numericValue, 512);
}

INSTANTIATE_TEST_SUITE_P(Detection, ReaderEncoding, ::testing::Values(
    EncodingCase {"RawImplicitLittle", withDataSet(DicomBytes(Syntax::ImplicitLittle)), Encoding::ImplicitLittle},
    EncodingCase {"RawExplicitLittle", withDataSet(DicomBytes(Syntax::ExplicitLittle)), Encoding::ExplicitLittle},
    EncodingCase {"RawExplicitBig", withDataSet(DicomBytes(Syntax::ExplicitBig)), Encoding::ExplicitBig},
    EncodingCase {"NoSyntaxImplicitLittle", withDataSet(metaGroup("", Syntax::ImplicitLittle)), Encoding::ImplicitLittle},
    EncodingCase {"NoSyntaxExplicitLittle", withDataSet(metaGroup("", Syntax::ExplicitLittle)), Encoding::ExplicitLittle},
    EncodingCase {"NoSyntaxExplicitBig", withDataSet(metaGroup("", Syntax::ExplicitBig)), Encoding::ExplicitBig}),
    [](const auto& info) { return std::string(info.param.name); });

// A zero or blank pad after the transfer syntax does not change its meaning.
INSTANTIATE_TEST_SUITE_P(SyntaxPadding, ReaderEncoding, ::testing::Values(
    EncodingCase {"ImplicitZeroPad", withDataSet(metaGroup(std::string_view("1.2.840.10008.1.2\0", 18),
        Syntax::ImplicitLittle)), Encoding::ImplicitLittle},
    EncodingCase {"ImplicitBlank", withDataSet(metaGroup("1.2.840.10008.1.2 ", Syntax::ImplicitLittle)),
        Encoding::ImplicitLittle},
    EncodingCase {"ExplicitLittleBlank", withDataSet(metaGroup("1.2.840.10008.1.2.1 ", Syntax::ExplicitLittle)),
        Encoding::ExplicitLittle},
    EncodingCase {"ExplicitBigBlank", withDataSet(metaGroup("1.2.840.10008.1.2.2 ", Syntax::ExplicitBig)),
        Encoding::ExplicitBig},
    EncodingCase {"ExplicitBigBlankAndZero", withDataSet(metaGroup(std::string_view("1.2.840.10008.1.2.2 \0\0", 22),
        Syntax::ExplicitBig)), Encoding::ExplicitBig}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
