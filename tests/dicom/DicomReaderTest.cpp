#include "ReaderTestSupport.h"

#include "dicom/DicomReader.h"
#include "dicom/Tags.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using dicom::DicomError;
using dicom::HeaderOnly;
using readertest::explicitLittleFile;
using readertest::readBytes;
using testsupport::DicomBytes;
using Syntax = testsupport::DicomBytes::Syntax;

namespace {

// A raw implicit-VR data set long enough (>= 132 bytes) to be read at all.
DicomBytes rawImplicit(std::uint16_t firstGroup, std::uint16_t firstElement)
{
    DicomBytes b(Syntax::ImplicitLittle);
    b.tag(firstGroup, firstElement) // first element
        .len32(4)                   // length
        .text("ABCD")               // value
        .tag(0x0010, 0x0010)        // Patient's Name
        .len32(120)                 // length
        .text(std::string(120, 'N'));
    return b;
}

struct FormatCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    DicomError expected;
};

void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReaderFormat : public ::testing::TestWithParam<FormatCase> {};

// The texts users see, trailing blanks included.
const char* messageOf(DicomError error)
{
    switch (error) {
    case DicomError::None:
        return "No Error";
    case DicomError::FileIo:
        return "File I/O Error   ";
    case DicomError::UnknownFormat:
        return "Unknown file format   ";
    case DicomError::Corrupted:
        return "Corrupted Dicom file   ";
    default:
        return "(not used here)";
    }
}

TEST_P(ReaderFormat, GivesTheExpectedError)
{
    auto ds = readBytes(GetParam().bytes);
    EXPECT_EQ(ds.lastError(), GetParam().expected);
    EXPECT_EQ(ds.errorMessage(), messageOf(GetParam().expected));
    // Reading on demand meets the same fault.
    EXPECT_EQ(readBytes(GetParam().bytes, HeaderOnly::Yes).lastError(), GetParam().expected);
}

std::vector<std::uint8_t> truncated(std::vector<std::uint8_t> bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Recognition, ReaderFormat, ::testing::Values(
    FormatCase {"Empty", {}, DicomError::FileIo},
    FormatCase {"Raw131Bytes", truncated(rawImplicit(0x0008, 0x0005).bytes(), 131), DicomError::UnknownFormat},
    FormatCase {"RawStartsWithCharacterSet", rawImplicit(0x0008, 0x0005).bytes(), DicomError::None},
    FormatCase {"RawStartsWithImageGroup", rawImplicit(0x0028, 0x0010).bytes(), DicomError::None},
    FormatCase {"RawStartsWithPixelData", rawImplicit(0x7FE0, 0x0010).bytes(), DicomError::UnknownFormat},
    FormatCase {"RawStartsAboveImageGroup", rawImplicit(0x0029, 0x0001).bytes(), DicomError::UnknownFormat},
    FormatCase {"RawBigEndianAboveImageGroup", DicomBytes(Syntax::ExplicitBig)
        .element(0x0029, 0x0001, "LO", std::string(130, 'x')).bytes(), DicomError::UnknownFormat},
    FormatCase {"RawBigEndianStartsWithPixelData", DicomBytes(Syntax::ExplicitBig)
        .element(0x7FE0, 0x0010, "OW", std::string(130, 'x')).bytes(), DicomError::UnknownFormat},
    FormatCase {"RawUnknownVrIsImplicit", DicomBytes(Syntax::ImplicitLittle)
        .tag(0x0008, 0x0005) // Specific Character Set
        .text("ZZ")          // not a VR: the low half of an implicit length
        .len16(8)            // high half: a length of 0x00085A5A, past the end
        .text(std::string(130, 'x')).bytes(), DicomError::Corrupted}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Bounds, ReaderFormat, ::testing::Values(
    FormatCase {"ValuePastEnd", explicitLittleFile()
        .tag(0x0010, 0x0010) // Patient's Name
        .vr("PN")            // VR
        .len16(8)            // length: 8, but only 4 bytes follow
        .text("ABCD").bytes(), DicomError::Corrupted},
    FormatCase {"LengthWrapsPosition", explicitLittleFile()
        .tag(0x0009, 0x0010) // private
        .vr("OB")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFF0)   // length that wraps a 32-bit position
        .zeros(16).bytes(), DicomError::Corrupted},
    FormatCase {"TagCutShort", explicitLittleFile()
        .raw({0x08, 0x00}).bytes(), DicomError::Corrupted},
    FormatCase {"DefinedSequencePastEnd", explicitLittleFile()
        .tag(0x0008, 0x1140) // Referenced Image Sequence
        .vr("SQ")            // VR
        .reserved()          // reserved
        .len32(1000)         // sequence length beyond the file
        .item(0).bytes(), DicomError::Corrupted},
    FormatCase {"ItemOvershootsSequence", explicitLittleFile()
        .tag(0x0008, 0x1140) // Referenced Image Sequence
        .vr("SQ")            // VR
        .reserved()          // reserved
        .len32(8)            // sequence length: one empty item
        .item(10)            // item claims 10 bytes, past the sequence end
        .element(0x0008, 0x1150, "UI", "1.2").bytes(), DicomError::Corrupted},
    FormatCase {"LengthOneBelowUndefined", explicitLittleFile()
        .tag(0x0009, 0x1001) // private
        .vr("UN")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFFE)   // largest defined length: length + 1 must not wrap
        .zeros(8).bytes(), DicomError::Corrupted},
    FormatCase {"ElementOvershootsItem", explicitLittleFile()
        .tag(0x0008, 0x1140) // Referenced Image Sequence
        .vr("SQ")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFFF)   // undefined length
        .item(6)             // item of 6 bytes, but its element takes 10
        .element(0x0008, 0x1150, "UI", "12")
        .sequenceEnd().bytes(), DicomError::Corrupted},
    FormatCase {"SequenceWithoutDelimiter", explicitLittleFile()
        .tag(0x0008, 0x1140) // Referenced Image Sequence
        .vr("SQ")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFFF)   // undefined length, never closed
        .item(0).bytes(), DicomError::Corrupted},
    FormatCase {"FragmentsWithoutDelimiter", explicitLittleFile()
        .tag(0x0088, 0x0200) // Icon Image Sequence
        .vr("SQ").reserved().len32(0xFFFFFFFF)
        .item(0xFFFFFFFF)    // item
        .tag(0x7FE0, 0x0010) // Pixel Data
        .vr("OB")            // VR
        .reserved()          // reserved
        .len32(0xFFFFFFFF)   // encapsulated
        .item(0)             // empty offset table, then the file ends
        .bytes(), DicomError::Corrupted},
    FormatCase {"UndefinedItemWithoutDelimiter", explicitLittleFile()
        .tag(0x0008, 0x1140)   // Referenced Image Sequence
        .vr("SQ")              // VR
        .reserved()            // reserved
        .len32(0xFFFFFFFF)     // undefined length
        .item(0xFFFFFFFF)      // undefined-length item, never closed
        .element(0x0008, 0x1150, "UI", "1.2").bytes(), DicomError::Corrupted}),
    [](const auto& info) { return std::string(info.param.name); });

enum class Nesting { Sequences, UnknownTags, WithoutReservedField };

std::vector<std::uint8_t> nestedSequences(int depth, Nesting kind = Nesting::Sequences)
{
    if (kind == Nesting::UnknownTags) {
        DicomBytes b(Syntax::ImplicitLittle);
        b.element(0x0008, 0x0005, "", std::string(124, ' ')); // Specific Character Set
        for (int i = 0; i < depth; ++i) {
            b.tag(0x0009, 0x1010)  // private, no VR in implicit VR
                .len32(0xFFFFFFFF) // undefined length: read as a sequence
                .item(0xFFFFFFFF); // undefined-length item
        }
        for (int i = 0; i < depth; ++i)
            b.itemEnd().sequenceEnd();
        return b.bytes();
    }
    DicomBytes b = explicitLittleFile();
    for (int i = 0; i < depth; ++i) {
        b.tag(0x0040, 0xA730) // Content Sequence
            .vr("SQ");        // VR
        if (kind == Nesting::WithoutReservedField) {
            b.u16(1)                           // no reserved field: one item
                .len32((depth - 1 - i) * 12u); // its length: the levels inside
            continue;
        }
        b.reserved()           // reserved
            .len32(0xFFFFFFFF) // undefined length
            .item(0xFFFFFFFF); // undefined-length item
    }
    for (int i = 0; kind == Nesting::Sequences && i < depth; ++i)
        b.itemEnd().sequenceEnd();
    return b.bytes();
}

TEST(DicomReader, NestingDeeperThan64LevelsIsCorrupt)
{
    for (Nesting kind : {Nesting::Sequences, Nesting::UnknownTags, Nesting::WithoutReservedField}) {
        SCOPED_TRACE(static_cast<int>(kind));
        EXPECT_EQ(readBytes(nestedSequences(64, kind)).lastError(), DicomError::None);
        EXPECT_EQ(readBytes(nestedSequences(65, kind)).lastError(), DicomError::Corrupted);
        EXPECT_EQ(readBytes(nestedSequences(100000, kind)).lastError(), DicomError::Corrupted);
    }
}

class HugeSource final : public dicom::ByteSource {
public:
    std::uint64_t size() const override { return 0x100000000ull; }
    std::size_t readAt(std::uint64_t, std::span<std::uint8_t> out) override
    {
        std::fill(out.begin(), out.end(), 0);
        return out.size();
    }
};

// Delivers only the first `limit` bytes of a file it claims is larger.
class ShortSource final : public dicom::ByteSource {
public:
    ShortSource(std::vector<std::uint8_t> bytes, std::size_t limit) : m_bytes(std::move(bytes)), m_limit(limit) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) override
    {
        if (offset >= m_limit)
            return 0;
        std::size_t n = std::min<std::size_t>(out.size(), m_limit - offset);
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
        return n;
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_limit;
};

TEST(DicomReader, RefusesFilesOf4GiBAndShortReads)
{
    HugeSource huge;
    dicom::DicomDataset ds;
    EXPECT_FALSE(dicom::DicomReader().read(huge, ds));
    EXPECT_EQ(ds.lastError(), DicomError::UnknownFormat);

    auto file = explicitLittleFile().element(0x0010, 0x0010, "PN", std::string(6000, 'A')).bytes();
    ShortSource full(file, 1000);
    dicom::DicomDataset whole;
    EXPECT_FALSE(dicom::DicomReader().read(full, whole));
    EXPECT_EQ(whole.lastError(), DicomError::FileIo);

    // On demand, a read that cannot deliver every byte asked for is corrupt.
    ShortSource onDemand(file, 5000);
    dicom::DicomDataset header;
    dicom::DicomReader reader(readertest::options(HeaderOnly::Yes));
    EXPECT_FALSE(reader.read(onDemand, header));
    EXPECT_EQ(header.lastError(), DicomError::Corrupted);
}

TEST(DicomReader, MissingFileIsNotFound)
{
    dicom::DicomDataset ds;
    EXPECT_FALSE(dicom::DicomReader().read("/nonexistent/tv-no-such-file.dcm", ds));
    EXPECT_EQ(ds.lastError(), DicomError::FileNotFound);
    EXPECT_EQ(ds.errorMessage(), "File not fount");
}

TEST(DicomReader, OnlyRegularFilesAreOpened)
{
    // A folder would pass for a huge file, and opening a pipe would wait for
    // a writer forever.
    auto folder = std::filesystem::temp_directory_path() / ("tv-test-folder-" + std::to_string(::getpid()));
    std::filesystem::create_directory(folder);
    auto pipe = folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const auto& path : {folder, pipe}) {
        dicom::DicomDataset ds;
        EXPECT_FALSE(dicom::DicomReader().read(path, ds)) << path;
        EXPECT_EQ(ds.lastError(), DicomError::FileNotFound) << path;
    }
    std::filesystem::remove_all(folder);
}

TEST(DicomReader, MetaGroupInImplicitVrIsReadAsImplicit)
{
    DicomBytes b(Syntax::ImplicitLittle);
    b.preamble()
        .tag(0x0002, 0x0010)                 // Transfer Syntax UID, no VR
        .len32(18)                           // length
        .text(std::string("1.2.840.10008.1.2\0", 18))
        .tag(0x0010, 0x0020)                 // Patient ID
        .len32(4)                            // length
        .text("1234");                       // value
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 2u);
    EXPECT_TRUE(ds.implicitVr);
    EXPECT_EQ(ds.elements[1].text(), "1234");
    EXPECT_EQ(ds.elements[1].vr, "LO");
}

TEST(DicomReader, ExplicitLengthForms)
{
    auto b = explicitLittleFile();
    b.tag(0x0009, 0x1001)   // private
        .vr("OB")           // VR
        .len16(0)           // reserved field 0
        .len32(3)           // 32-bit length
        .raw({1, 2, 3})     // value
        .tag(0x0010, 0x0020) // Patient ID
        .vr("LO")           // VR
        .len16(0)           // empty value: no 32-bit length follows
        .tag(0x0018, 0x0015) // Body Part Examined
        .vr("UT")           // VR with a reserved field and a 32-bit length
        .reserved()         // reserved
        .len32(4)           // length
        .text("HEAD")       // value
        .tag(0x0009, 0x1002) // private
        .vr("LT")           // VR
        .len16(0x8002)      // 16-bit length above 32767
        .text(std::string(0x8002, 'x'));
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 6u);
    EXPECT_EQ(ds.elements[2].length, 3u);
    EXPECT_EQ(ds.elements[3].length, 0u);
    EXPECT_EQ(ds.elements[4].text(), "HEAD");
    EXPECT_EQ(ds.elements[5].length, 0x8002u);
}

TEST(DicomReader, SequencesKeepTheirItemsElements)
{
    auto b = explicitLittleFile();
    b.tag(0x0008, 0x1140)   // Referenced Image Sequence
        .vr("SQ")           // VR
        .reserved()         // reserved
        .len32(3 * (8 + 14)) // defined length: three items
        .item(14).element(0x0008, 0x1150, "UI", "1.2.3a")  // item 1
        .item(14).element(0x0008, 0x1150, "UI", "1.2.3b")  // item 2
        .item(14).element(0x0008, 0x1150, "UI", "1.2.3c")  // item 3
        .tag(0x0008, 0x1115) // Referenced Series Sequence
        .vr("SQ")           // VR
        .reserved()         // reserved
        .len32(0)           // empty sequence
        .tag(0x0040, 0xA730) // Content Sequence
        .vr("SQ")           // VR
        .reserved()         // reserved
        .len32(0xFFFFFFFF)  // undefined length
        .item(0xFFFFFFFF)   // undefined-length item
        .tag(0x0040, 0xA730) // nested Content Sequence
        .vr("SQ").reserved().len32(0xFFFFFFFF)
        .item(0xFFFFFFFF).element(0x0040, 0xA160, "UT", "deep").itemEnd()
        .sequenceEnd()
        .itemEnd()
        .sequenceEnd()
        .element(0x0010, 0x0020, "LO", "1234"); // back at the top level
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 6u);
    ASSERT_EQ(ds.elements[2].childElements.size(), 3u);
    EXPECT_EQ(ds.elements[2].childElements[2].text(), "1.2.3c");
    EXPECT_EQ(ds.elements[2].length, 0u);
    EXPECT_TRUE(ds.elements[3].childElements.empty());
    ASSERT_EQ(ds.elements[4].childElements.size(), 1u);
    ASSERT_EQ(ds.elements[4].childElements[0].childElements.size(), 1u);
    EXPECT_EQ(ds.elements[4].childElements[0].childElements[0].text(), "deep");
    EXPECT_EQ(ds.elements[5].text(), "1234");
}

TEST(DicomReader, UndefinedLengthNonSequencesAreReadAsSequences)
{
    // PS3.5 6.2.2: an undefined-length UN holds implicit VR little endian
    // items, even in a big-endian data set.
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.2");
    b.tag(0x0009, 0x1010)   // private
        .vr("UN")           // VR
        .reserved()         // reserved
        .len32(0xFFFFFFFF); // undefined length
    b.syntax(Syntax::ImplicitLittle)
        .item(0xFFFFFFFF)                 // item
        .element(0x0008, 0x0100, "", "C1") // Code Value, implicit VR
        .itemEnd()
        .sequenceEnd();
    b.syntax(Syntax::ExplicitBig).elementU16(0x0028, 0x0010, "US", 40000); // Rows
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 4u);
    ASSERT_EQ(ds.elements[2].childElements.size(), 1u);
    EXPECT_EQ(ds.elements[2].childElements[0].vr, "SH");
    EXPECT_EQ(ds.elements[2].childElements[0].text(), "C1");
    EXPECT_EQ(ds.elements[3].numericValue, 40000);

    DicomBytes raw(Syntax::ImplicitLittle);
    raw.element(0x0008, 0x0005, "", "ISO_IR 100") // Specific Character Set
        .tag(0x0009, 0x1010)                      // private, unknown to the dictionary
        .len32(0xFFFFFFFF)                        // undefined length
        .item(0xFFFFFFFF).element(0x0010, 0x0020, "", "1234").itemEnd()
        .sequenceEnd()
        .element(0x0010, 0x0010, "", std::string(120, 'N'));
    auto rawDs = readBytes(raw.bytes());
    ASSERT_EQ(rawDs.lastError(), DicomError::None);
    ASSERT_EQ(rawDs.elementCount(), 3u);
    EXPECT_EQ(rawDs.elements[1].childElements.size(), 1u);
}

TEST(DicomReader, NumbersFollowTheByteOrderAndSignOfTheVr)
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.2");
    b.tag(0x0028, 0x0010)   // Rows
        .vr("US")           // VR
        .len16(2)           // length
        .raw({0x01, 0x00})  // 256 in big endian
        .tag(0x0028, 0x0011) // Columns
        .vr("US").len16(2).raw({0x9C, 0x40}) // 40000
        .tag(0x0028, 0x1041) // Pixel Intensity Relationship Sign
        .vr("SS").len16(2).raw({0xFF, 0xFE}); // -2
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 5u);
    EXPECT_EQ(ds.elements[2].numericValue, 256);
    EXPECT_EQ(ds.elements[2].value, (std::vector<std::uint8_t> {0x01, 0x00, 0x00}));
    EXPECT_EQ(ds.elements[3].numericValue, 40000);
    EXPECT_EQ(ds.elements[4].numericValue, -2);
}

TEST(DicomReader, ImplicitNumbersParseACopyOfTheText)
{
    DicomBytes b(Syntax::ImplicitLittle);
    b.element(0x0028, 0x0030, "", "0.5\\0.7")   // Pixel Spacing (DS)
        .element(0x0028, 0x1050, "", "40\\400") // Window Center (DS)
        .element(0x0009, 0x0010, "", "PRIV")    // private creator, unknown
        .element(0x0028, 0x1050, "", "-10 ")    // Window Center again
        .element(0x0028, 0x1054, "", std::string(100, 'U'));
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    EXPECT_EQ(ds.elements[0].text(), "0.5\\0.7");
    EXPECT_EQ(ds.elements[1].numericValue, 40);
    EXPECT_EQ(ds.elements[1].text(), "40\\400");
    // A copy of an unknown tag shows two blanks as its VR; the first of
    // duplicates wins.
    EXPECT_EQ(ds.getElementAt(2)->vr, "  ");
    EXPECT_EQ(ds.elements[2].vr, "");
    constexpr base::Tag centre = dicom::tags::WindowCenter;
    EXPECT_EQ(ds.findElement(centre.group, centre.element)->numericValue, 40);
    EXPECT_EQ(ds.copyElement(centre.group, centre.element)->text(), "40\\400");
    constexpr base::Tag absent = dicom::tags::WindowWidth;
    EXPECT_FALSE(ds.findElement(absent.group, absent.element).has_value());
}

TEST(DicomReader, UidNamesNeedAnExactValue)
{
    auto b = explicitLittleFile();
    b.element(0x0008, 0x0016, "UI", std::string("1.2.840.10008.5.1.4.1.1.7\0", 26)) // SOP Class UID
        .element(0x0008, 0x1150, "UI", "1.2.840.10008.5.1.4.1.1.7 ");              // trailing blank
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    EXPECT_EQ(ds.elements[2].uidName, "Secondary Capture Image Storage ");
    EXPECT_FALSE(ds.elements[3].uidName.has_value());
    EXPECT_EQ(ds.elements[1].uidName, "Explicit VR Little Endian");
}

TEST(DicomReader, StopsAtAnyElementOfThePixelGroup)
{
    auto b = explicitLittleFile();
    b.element(0x0028, 0x0010, "US", "\x02\x00") // Rows
        .tag(0x7FE0, 0x0000)                    // pixel group length
        .vr("UL").len16(4).u32(12)
        .tag(0x7FE0, 0x0010)                    // Pixel Data
        .vr("OW").reserved().len32(4).raw({1, 2, 3, 4});
    auto ds = readBytes(b.bytes());
    ASSERT_EQ(ds.lastError(), DicomError::None);
    EXPECT_EQ(ds.elementCount(), 3u);

    dicom::MemorySource source(b.bytes());
    dicom::DicomDataset listed;
    dicom::DicomReader reader(readertest::options(HeaderOnly::No, dicom::PixelData::AsElements));
    ASSERT_TRUE(reader.read(source, listed));
    ASSERT_EQ(listed.elementCount(), 5u);
    EXPECT_EQ(listed.elements[4].length, 4u);
    EXPECT_FALSE(listed.elements[4].hasValue());
}

TEST(DicomReader, HeaderOnlyReadsPastAnElementEndingOnAChunkBoundary)
{
    auto b = explicitLittleFile();
    const std::size_t fill = dicom::DecodeBuffer::ChunkSize - b.size() - 8;
    b.tag(0x0010, 0x4000)   // Patient Comments
        .vr("LT").len16(static_cast<std::uint16_t>(fill)) // ends exactly at 4096
        .text(std::string(fill, 'c'))
        .element(0x0010, 0x0020, "LO", "1234");
    ASSERT_EQ(b.size(), dicom::DecodeBuffer::ChunkSize + 12);
    auto ds = readBytes(b.bytes(), HeaderOnly::Yes);
    ASSERT_EQ(ds.lastError(), DicomError::None);
    ASSERT_EQ(ds.elementCount(), 4u);
    EXPECT_EQ(ds.elements[3].text(), "1234");
}

TEST(DicomReader, HeaderOnlyOf50MBFileReadsOnlyUpToThePixelData)
{
    auto b = explicitLittleFile();
    b.element(0x0010, 0x0010, "PN", std::string(5000, 'P')) // Patient's Name
        .tag(0x7FE0, 0x0010)                                 // Pixel Data
        .vr("OW").reserved().len32(50'000'000);
    const std::size_t pixelStart = b.size() - 12;
    auto path = b.writeTemp("large.dcm");
    std::filesystem::resize_file(path, b.size() + 50'000'000); // sparse, reads as zeros

    dicom::DicomReader reader(readertest::options(HeaderOnly::Yes));
    dicom::DicomDataset ds;
    EXPECT_TRUE(reader.read(path, ds));
    EXPECT_EQ(ds.elementCount(), 3u);
    // Whole 4096-byte steps up to the pixel data's tag, nothing of its value.
    EXPECT_LT(reader.bytesRead(), pixelStart + dicom::DecodeBuffer::ChunkSize);
    EXPECT_GE(reader.bytesRead(), pixelStart + 4);
    std::filesystem::remove(path);
}

} // namespace
