// Frames of whole data sets built byte by byte: the attributes as read from
// the elements, extraction of native and RLE pixel data, palettes, and the
// texts other parts take from the data set.

#include "dicom/DicomReader.h"
#include "dicom/PixelAspect.h"
#include "dicom/PixelModule.h"
#include "dicom/Tags.h"
#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace dicom;
using testsupport::DicomBytes;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr const char* ExplicitLittle = "1.2.840.10008.1.2.1";
constexpr const char* ExplicitBig = "1.2.840.10008.1.2.2";
constexpr const char* Rle = "1.2.840.10008.1.2.5";

// The image attributes a test changes; absent ones are not written.
struct Image {
    const char* syntax = ExplicitLittle;
    std::optional<std::string> manufacturer;
    std::optional<std::string> patientName;
    std::uint16_t samples = 1;
    std::string photometric = "MONOCHROME2 ";
    std::optional<std::string> frames;
    std::uint16_t rows = 2;
    std::uint16_t columns = 2;
    std::uint16_t bitsAllocated = 8;
    std::uint16_t bitsStored = 8;
    std::uint16_t pixelRepresentation = 0;
    std::optional<std::string> windowCentre;
    std::optional<std::string> windowWidth;
    std::optional<std::string> intercept;
    std::optional<std::string> slope;
    std::vector<Bytes> palette; // red, green, blue
};

// Elements in ascending tag order, in the syntax the meta group names.
DicomBytes header(const Image& im)
{
    DicomBytes b;
    b.part10Header(im.syntax);
    if (im.manufacturer)
        b.element(0x0008, 0x0070, "LO", *im.manufacturer);   // Manufacturer
    if (im.patientName)
        b.element(0x0010, 0x0010, "PN", *im.patientName);    // Patient's Name
    b.elementU16(0x0028, 0x0002, "US", im.samples);          // Samples per Pixel
    b.element(0x0028, 0x0004, "CS", im.photometric);         // Photometric Interpretation
    if (im.frames)
        b.element(0x0028, 0x0008, "IS", *im.frames);         // Number of Frames
    b.elementU16(0x0028, 0x0010, "US", im.rows);             // Rows
    b.elementU16(0x0028, 0x0011, "US", im.columns);          // Columns
    b.elementU16(0x0028, 0x0100, "US", im.bitsAllocated);    // Bits Allocated
    b.elementU16(0x0028, 0x0101, "US", im.bitsStored);       // Bits Stored
    b.elementU16(0x0028, 0x0102, "US", static_cast<std::uint16_t>(im.bitsStored - 1)); // High Bit
    b.elementU16(0x0028, 0x0103, "US", im.pixelRepresentation); // Pixel Representation
    if (im.windowCentre)
        b.element(0x0028, 0x1050, "DS", *im.windowCentre);   // Window Center
    if (im.windowWidth)
        b.element(0x0028, 0x1051, "DS", *im.windowWidth);    // Window Width
    if (im.intercept)
        b.element(0x0028, 0x1052, "DS", *im.intercept);      // Rescale Intercept
    if (im.slope)
        b.element(0x0028, 0x1053, "DS", *im.slope);          // Rescale Slope
    for (std::size_t c = 0; c < im.palette.size(); ++c) {
        b.tag(0x0028, static_cast<std::uint16_t>(0x1201 + c)); // Red/Green/Blue Palette Color LUT Data
        b.header("OW", static_cast<std::uint32_t>(im.palette[c].size()));
        b.raw(im.palette[c]);
    }
    return b;
}

DicomBytes native(const Image& im, const Bytes& pixels)
{
    DicomBytes b = header(im);
    b.tag(0x7FE0, 0x0010);                                   // Pixel Data
    b.header(im.bitsAllocated == 8 ? "OB" : "OW", static_cast<std::uint32_t>(pixels.size()));
    b.raw(pixels);
    return b;
}

struct Opened {
    DicomError error = DicomError::None;
    std::string detail;
    DicomDataset dataset;
    std::optional<PixelFrames> image;
};

Opened open(const DicomBytes& b, HeaderOnly headerOnly = HeaderOnly::No)
{
    Opened out;
    ReadOptions options;
    options.headerOnly = headerOnly;
    options.pixelStage = [&out](DicomDataset& dataset, ElementDecoder& decoder) {
        auto image = readPixelFrames(dataset, decoder);
        if (!image) {
            out.detail = image.error().detail;
            return image.error().code;
        }
        out.image = std::move(*image);
        return DicomError::None;
    };
    DicomReader reader(options);
    MemorySource source(b.bytes());
    reader.read(source, out.dataset);
    out.error = out.dataset.error;
    return out;
}

template<typename Change>
Image image(Change change)
{
    Image im;
    change(im);
    return im;
}

TEST(PixelAttributesRead, SlopeZeroMeansOneAndNoRescale)
{
    const auto opened = open(native(image([](Image& im) { im.slope = "0 "; }), {1, 2, 3, 4}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->attributes.rescaleSlope, 1.0);
    EXPECT_FALSE(opened.image->attributes.rescalePresent);
    EXPECT_EQ(opened.image->frames.at(0).format, FrameFormat::Grey8);
}

TEST(PixelAttributesRead, EightBitMonochromeGetsFullWindowWhateverTheFileSays)
{
    const auto opened = open(native(image([](Image& im) { im.windowCentre = "40"; im.windowWidth = "400 "; }), {1, 2, 3, 4}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->attributes.windowCentre, 128);
    EXPECT_EQ(opened.image->attributes.windowWidth, 256);
    EXPECT_EQ(opened.image->frames.at(0).bytes, (Bytes{1, 2, 3, 4}));
}

TEST(PixelAttributesRead, WindowOutsideSixteenBitsIsClamped)
{
    const auto opened = open(native(image([](Image& im) {
        im.bitsAllocated = 16;
        im.bitsStored = 16;
        im.windowCentre = "-40000";
        im.windowWidth = "70000 ";
    }), Bytes(8, 0)));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->attributes.windowCentre, -32768);
    EXPECT_EQ(opened.image->attributes.windowWidth, 32767);
}

TEST(PixelAttributesRead, CtInterceptShiftsSamples)
{
    const auto opened = open(native(image([](Image& im) {
        im.rows = 1;
        im.bitsAllocated = 16;
        im.bitsStored = 16;
        im.pixelRepresentation = 1;
        im.intercept = "-1024 ";
        im.slope = "1 ";
    }), {0x00, 0x00, 0x00, 0x04}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->frames.at(0).samples, (std::vector<std::int16_t>{-1024, 0}));
}

struct OutcomeCase {
    const char* name;
    Image image;
    Bytes pixels;
    DicomError error;
    std::size_t frames; // when it opens
};

void PrintTo(const OutcomeCase& c, std::ostream* os)
{
    *os << c.name;
}

class PixelOutcome : public testing::TestWithParam<OutcomeCase> {};

TEST_P(PixelOutcome, OpensWithFramesOrFailsWithCode)
{
    const auto& c = GetParam();
    const auto opened = open(native(c.image, c.pixels));
    ASSERT_EQ(opened.error, c.error) << opened.detail;
    if (c.error == DicomError::None) {
        EXPECT_EQ(opened.image->frames.size(), c.frames);
        EXPECT_EQ(opened.image->attributes.numberOfFrames, static_cast<std::int32_t>(c.frames));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PixelOutcome,
    testing::Values(
        OutcomeCase{"photometricWithoutBlank", image([](Image& im) { im.photometric = "MONOCHROME2"; }), Bytes(4), DicomError::None, 1},
        OutcomeCase{"photometricTwoBlanks", image([](Image& im) { im.photometric = "MONOCHROME2  "; }), Bytes(4),
                    DicomError::UnsupportedFormat, 0},
        OutcomeCase{"framesZeroCountsAsOne", image([](Image& im) { im.frames = "0 "; }), Bytes(4), DicomError::None, 1},
        OutcomeCase{"framesNegativeCountsAsOne", image([](Image& im) { im.frames = "-5"; }), Bytes(4), DicomError::None, 1},
        OutcomeCase{"shortDataKeepsWholeFrames", image([](Image& im) { im.frames = "3 "; }), Bytes(9), DicomError::None, 2},
        OutcomeCase{"shorterThanOneFrame", image([](Image&) {}), Bytes(3), DicomError::Corrupted, 0},
        OutcomeCase{"zeroRows", image([](Image& im) { im.rows = 0; }), Bytes(4), DicomError::Corrupted, 0},
        OutcomeCase{"hugeRowsAndColumns", image([](Image& im) { im.rows = 65535; im.columns = 65535; im.bitsAllocated = 16; im.bitsStored = 16; }),
                    Bytes(8), DicomError::Corrupted, 0},
        OutcomeCase{"greyWithThreeSamples", image([](Image& im) { im.samples = 3; }), Bytes(12), DicomError::UnsupportedFormat, 0},
        OutcomeCase{"rgbWithOneSample", image([](Image& im) { im.photometric = "RGB "; }), Bytes(4), DicomError::UnsupportedFormat, 0},
        OutcomeCase{"thirtyTwoBitsAllocated", image([](Image& im) { im.bitsAllocated = 32; im.bitsStored = 32; }), Bytes(16),
                    DicomError::UnsupportedFormat, 0},
        OutcomeCase{"unknownPhotometric", image([](Image& im) { im.photometric = "HSV "; }), Bytes(4), DicomError::UnsupportedFormat, 0},
        OutcomeCase{"paletteWithoutTables", image([](Image& im) { im.photometric = "PALETTE COLOR "; }), Bytes(4), DicomError::Corrupted, 0},
        OutcomeCase{"paletteTablesDiffer", image([](Image& im) {
                        im.photometric = "PALETTE COLOR ";
                        im.palette = {Bytes(256), Bytes(256), Bytes(254)};
                    }), Bytes(4), DicomError::Corrupted, 0},
        // A table of length 0 fails like an allocation, a missing one is corrupt.
        OutcomeCase{"paletteTablesEmpty", image([](Image& im) {
                        im.photometric = "PALETTE COLOR ";
                        im.palette = {Bytes{}, Bytes{}, Bytes{}};
                    }), Bytes(4), DicomError::OutOfMemory, 0},
        // JPEG data must come as fragments; a plain 4-byte value is corrupt.
        OutcomeCase{"jpegNotEncapsulated", image([](Image& im) { im.syntax = "1.2.840.10008.1.2.4.50"; }), Bytes(4),
                    DicomError::Corrupted, 0},
        OutcomeCase{"jpegLsNotEncapsulated", image([](Image& im) { im.syntax = "1.2.840.10008.1.2.4.81"; }), Bytes(4),
                    DicomError::Corrupted, 0},
        OutcomeCase{"jpeg2000NotEncapsulated", image([](Image& im) { im.syntax = "1.2.840.10008.1.2.4.91"; }), Bytes(4),
                    DicomError::Corrupted, 0},
        OutcomeCase{"htj2kNotEncapsulated", image([](Image& im) { im.syntax = "1.2.840.10008.1.2.4.203"; }), Bytes(4),
                    DicomError::Corrupted, 0},
        OutcomeCase{"ybrRctOutsideJpeg2000", image([](Image& im) { im.photometric = "YBR_RCT "; im.samples = 3; }),
                    Bytes(12), DicomError::UnsupportedFormat, 0},
        OutcomeCase{"unknownSyntax", image([](Image& im) { im.syntax = "1.2.840.10008.1.2.4.100"; }), Bytes(4),
                    DicomError::UnknownCompression, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NativeFrames, OddLengthGivesTwoWholeFramesAtFrameStride)
{
    const auto opened = open(native(image([](Image& im) { im.frames = "2 "; }), {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    ASSERT_EQ(opened.image->frames.size(), 2u);
    EXPECT_EQ(opened.image->frames[1].bytes, (Bytes{5, 6, 7, 8}));
}

TEST(NativeFrames, BigEndianSixteenBitIsSwapped)
{
    const auto opened = open(native(image([](Image& im) {
        im.syntax = ExplicitBig;
        im.rows = 1;
        im.bitsAllocated = 16;
        im.bitsStored = 16;
        im.pixelRepresentation = 1;
    }), {0x01, 0x02, 0xFF, 0xFE}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->frames.at(0).samples, (std::vector<std::int16_t>{0x0102, -2}));
}

TEST(NativeFrames, BigEndianOddByteSamplesInOwSwapTheWholeValue)
{
    DicomBytes b = header(image([](Image& im) { im.syntax = ExplicitBig; im.rows = 1; im.columns = 3; }));
    b.tag(0x7FE0, 0x0010).vr("OW").reserved().len32(4); // Pixel Data: three samples and a pad byte
    b.raw({20, 10, 0, 30});                              // words (10 20) (30 pad), most significant byte first
    const auto opened = open(b);
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->frames.at(0).bytes, (Bytes{10, 20, 30}));
}

TEST(NativeFrames, SixteenBitPaletteIndicesStayGreyValues)
{
    const auto opened = open(native(image([](Image& im) {
        im.photometric = "PALETTE COLOR ";
        im.rows = 1;
        im.bitsAllocated = 16;
        im.bitsStored = 16;
        im.palette = {Bytes(512), Bytes(512), Bytes(512)};
    }), {0x34, 0x12, 0x02, 0x00}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->frames.at(0).format, FrameFormat::Grey16);
    EXPECT_EQ(opened.image->frames.at(0).samples, (std::vector<std::int16_t>{0x1234, 2}));
}

TEST(NativeFrames, PaletteOf512ByteTablesUsesHighBytes)
{
    auto table = [](std::uint8_t base) {
        Bytes t;
        for (int i = 0; i < 256; ++i) {
            t.push_back(0x77);                                  // low byte, dropped
            t.push_back(static_cast<std::uint8_t>(base + i));   // high byte
        }
        return t;
    };
    const auto opened = open(native(image([&](Image& im) {
        im.photometric = "PALETTE COLOR ";
        im.palette = {table(0), table(10), table(20)};
    }), {0, 1, 2, 255}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->frames.at(0).bytes, (Bytes{0, 10, 20, 1, 11, 21, 2, 12, 22, 255, 9, 19}));
}

TEST(NativeFrames, HeaderOnlyChecksWithoutFrames)
{
    const auto opened = open(header(Image{}), HeaderOnly::Yes);
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_TRUE(opened.image->frames.empty());
}

TEST(NativeFrames, MissingPixelDataIsCorrupted)
{
    const auto opened = open(header(Image{}));
    EXPECT_EQ(opened.error, DicomError::Corrupted);
}

TEST(NativeFrames, PixelStageFillsTheDataSet)
{
    ReadOptions options;
    options.pixelStage = readPixelStage;
    DicomReader reader(options);
    const auto bytes = native(image([](Image& im) { im.rows = 1; im.bitsAllocated = 16; im.bitsStored = 12; }), {0x34, 0xF2, 0, 0});
    MemorySource source(bytes.bytes());
    DicomDataset dataset;
    ASSERT_TRUE(reader.read(source, dataset));
    EXPECT_EQ(dataset.compressionName, "NONE");
    ASSERT_EQ(dataset.frames.size(), 1u);
    EXPECT_EQ(dataset.frames[0].samples, (std::vector<std::int16_t>{0x0234, 0})); // overlay bits cleared
    EXPECT_EQ(dataset.image.frameSize, 4u);
}

// RLE: the pixel data element of undefined length, the offset table item,
// fragments, the sequence delimiter.
DicomBytes rle(const Image& im, const std::vector<std::uint32_t>& offsetTable, const std::vector<Bytes>& fragments)
{
    DicomBytes b = header(im);
    b.tag(0x7FE0, 0x0010).vr("OB").reserved().len32(0xFFFFFFFF); // Pixel Data, undefined length
    b.item(static_cast<std::uint32_t>(offsetTable.size() * 4));  // basic offset table
    for (auto offset : offsetTable)
        b.u32(offset);
    for (const auto& fragment : fragments) {
        b.item(static_cast<std::uint32_t>(fragment.size()));     // fragment
        b.raw(fragment);
    }
    b.sequenceEnd();
    return b;
}

// A 64-byte RLE header and its segments, each padded to even length.
Bytes rleFrame(const std::vector<Bytes>& segments)
{
    Bytes out(64, 0);
    auto put32 = [&out](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            out[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    put32(0, static_cast<std::uint32_t>(segments.size()));
    for (std::size_t k = 0; k < segments.size(); ++k) {
        put32(4 + 4 * k, static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), segments[k].begin(), segments[k].end());
        if (out.size() % 2)
            out.push_back(0);
    }
    return out;
}

const Image rleGrey = [] {
    Image im;
    im.syntax = Rle;
    im.rows = 1;
    return im;
}();

TEST(RleFrames, EmptyOffsetTableFallsBackToNumberOfFrames)
{
    Image im = rleGrey;
    im.frames = "2 ";
    const auto opened = open(rle(im, {}, {rleFrame({{0xFF, 1}}), rleFrame({{0x01, 2, 3}})}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    ASSERT_EQ(opened.image->frames.size(), 2u);
    EXPECT_EQ(opened.image->frames[0].bytes, (Bytes{1, 1}));
    EXPECT_EQ(opened.image->frames[1].bytes, (Bytes{2, 3}));
}

TEST(RleFrames, FewerFragmentsThanFramesGivesThoseThere)
{
    Image im = rleGrey;
    im.frames = "5";
    const auto opened = open(rle(im, {}, {rleFrame({{0xFF, 1}}), rleFrame({{0xFF, 2}})}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->frames.size(), 2u);
}

TEST(RleFrames, OffsetTableGroupsFragmentsIntoFrames)
{
    Image im = rleGrey;
    im.frames = "2";
    const Bytes first = rleFrame({{0x01, 4, 5}});
    // Frame 1 is split after 40 bytes; its second fragment starts 8 + 40 bytes later.
    const Bytes second = rleFrame({{0xFF, 6}});
    const Bytes secondHead(second.begin(), second.begin() + 40), secondTail(second.begin() + 40, second.end());
    const auto secondStart = static_cast<std::uint32_t>(8 + first.size());
    const auto opened = open(rle(im, {0, secondStart}, {first, secondHead, secondTail}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    ASSERT_EQ(opened.image->frames.size(), 2u);
    EXPECT_EQ(opened.image->frames[1].bytes, (Bytes{6, 6}));
}

TEST(RleFrames, SixteenBitDecodes)
{
    Image im = rleGrey;
    im.bitsAllocated = 16;
    im.bitsStored = 16;
    im.pixelRepresentation = 1;
    const auto opened = open(rle(im, {0}, {rleFrame({{0x01, 0xFF, 0x01}, {0x01, 0xFE, 0x02}})}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->frames.at(0).samples, (std::vector<std::int16_t>{-2, 0x0102}));
}

TEST(RleFrames, RgbIsPlanarWhateverPlanarConfigurationSays)
{
    Image im = rleGrey;
    im.samples = 3;
    im.photometric = "RGB ";
    const auto opened = open(rle(im, {0}, {rleFrame({{0x01, 1, 4}, {0x01, 2, 5}, {0x01, 3, 6}})}));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    EXPECT_EQ(opened.image->frames.at(0).bytes, (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(RleFrames, DefinedLengthIsCorrupted)
{
    DicomBytes b = header(rleGrey);
    b.tag(0x7FE0, 0x0010).vr("OB").reserved().len32(2); // Pixel Data with a defined length
    b.raw({1, 2});
    EXPECT_EQ(open(b).error, DicomError::Corrupted);
}

TEST(RleFrames, FragmentPastEndOfFileIsCorrupted)
{
    DicomBytes b = header(rleGrey);
    b.tag(0x7FE0, 0x0010).vr("OB").reserved().len32(0xFFFFFFFF); // Pixel Data, undefined length
    b.item(0);                                                   // empty offset table
    b.item(1000);                                                // fragment longer than the file
    b.raw({1, 2, 3});
    EXPECT_EQ(open(b).error, DicomError::Corrupted);
}

// After extraction the pixel group joins the element list without its values,
// so the header listing shows it.
struct PixelGroupCase {
    const char* name;
    DicomBytes file;
    std::uint32_t pixelOffset;  // valueOffset of (7FE0,0010)
    std::uint32_t pixelLength;  // as listed
    const char* pixelVr;
    bool groupLength;           // (7FE0,0000) listed before it
};

void PrintTo(const PixelGroupCase& c, std::ostream* os)
{
    *os << c.name;
}

class PixelGroupListed : public testing::TestWithParam<PixelGroupCase> {};

TEST_P(PixelGroupListed, AfterTheOtherElements)
{
    const PixelGroupCase& c = GetParam();
    ReadOptions options;
    options.pixelStage = readPixelStage;
    MemorySource source(c.file.bytes());
    DicomDataset dataset;
    ASSERT_TRUE(DicomReader(options).read(source, dataset)) << dataset.errorMessage();
    const std::size_t count = dataset.elementCount();
    ASSERT_GE(count, 2u);
    const DicomElement& pixels = dataset.elements.back();
    EXPECT_EQ(pixels.tag(), tags::PixelData);
    EXPECT_EQ(pixels.name, "Frame Data");
    EXPECT_EQ(pixels.vr, c.pixelVr);
    EXPECT_EQ(pixels.length, c.pixelLength);
    EXPECT_EQ(pixels.valueOffset, c.pixelOffset);
    EXPECT_FALSE(pixels.hasValue());
    const DicomElement& before = dataset.elements[count - 2];
    if (c.groupLength) {
        EXPECT_EQ(before.tag(), tags::GroupLength7FE0);
        EXPECT_EQ(before.vr, "UL");
        EXPECT_EQ(before.length, 4u);
        EXPECT_EQ(before.numericValue, static_cast<std::int32_t>(c.pixelLength + 12));
    } else {
        EXPECT_EQ(before.group, tags::ImagePresentationGroup);
    }
    EXPECT_TRUE(dataset.findElement(tags::PixelData.group, tags::PixelData.element).has_value());
}

DicomBytes withGroupLength(const Image& im, const Bytes& pixels)
{
    DicomBytes b = header(im);
    b.tag(0x7FE0, 0x0000).vr("UL").len16(4).u32(static_cast<std::uint32_t>(12 + pixels.size())); // Group Length
    b.tag(0x7FE0, 0x0010);                                                                       // Pixel Data
    b.header("OB", static_cast<std::uint32_t>(pixels.size()));
    b.raw(pixels);
    return b;
}

DicomBytes bigEndianGroupLength()
{
    Image im;
    im.syntax = ExplicitBig;
    im.bitsAllocated = 16;
    im.bitsStored = 16;
    DicomBytes b = header(im);
    b.tag(0x7FE0, 0x0000).vr("UL").len16(4).u32(12 + 8); // Group Length, in the data set's order
    b.tag(0x7FE0, 0x0010).vr("OW").reserved().len32(8);  // Pixel Data
    b.zeros(8);
    return b;
}

std::vector<PixelGroupCase> pixelGroupCases()
{
    std::vector<PixelGroupCase> cases;
    const Bytes four {1, 2, 3, 4};
    const DicomBytes plain = native(Image{}, four);
    cases.push_back({"Native", plain, static_cast<std::uint32_t>(plain.size() - 4), 4, "OB", false});
    const DicomBytes grouped = withGroupLength(Image{}, four);
    cases.push_back({"NativeWithGroupLength", grouped, static_cast<std::uint32_t>(grouped.size() - 4), 4, "OB", true});
    const DicomBytes big = bigEndianGroupLength();
    cases.push_back({"BigEndianGroupLength", big, static_cast<std::uint32_t>(big.size() - 8), 8, "OW", true});
    // Two RLE frames of 1 x 2 bytes: listed as the 4 bytes they hold uncompressed.
    Image im = rleGrey;
    im.frames = "2";
    const DicomBytes head = header(im);
    const DicomBytes encapsulated = rle(im, {}, {rleFrame({{0xFF, 1}}), rleFrame({{0xFF, 2}})});
    cases.push_back({"RleTakesTheDecodedLength", encapsulated, static_cast<std::uint32_t>(head.size() + 12), 4, "OB", false});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Compressions, PixelGroupListed, testing::ValuesIn(pixelGroupCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PaletteExtraction, NameFromManufacturerOrNewPalette)
{
    auto tables = [](std::optional<std::string> maker) {
        Image im;
        im.photometric = "PALETTE COLOR ";
        im.manufacturer = std::move(maker);
        im.palette = {Bytes(256, 9), Bytes(256, 8), Bytes(256, 7)};
        return native(im, Bytes(4));
    };
    struct Case {
        std::optional<std::string> maker;
        const char* name;
    };
    for (const Case& c : {Case{std::nullopt, "NewPalette"}, Case{"", "NewPalette"}, Case{"  ", "NewPalette"},
                          Case{"ACME CORP ", "ACME_CORP"}, Case{"ACME", "ACME"}}) {
        const auto opened = open(tables(c.maker));
        ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
        const auto record = extractPalette(opened.dataset, *opened.image);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->name, c.name);
        EXPECT_EQ(record->blue[255], 7u);
    }
    const auto grey = open(native(Image{}, Bytes(4)));
    EXPECT_FALSE(extractPalette(grey.dataset, *grey.image));
}

TEST(Captions, NamesLoseCaretsAndValuesAreCut)
{
    const auto opened = open(native(image([](Image& im) { im.patientName = "Doe^John" + std::string(200, 'x'); }), Bytes(4)));
    ASSERT_EQ(opened.error, DicomError::None) << opened.detail;
    const auto name = captionText(opened.dataset, CaptionField::PatientName);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->size(), 126u);
    EXPECT_EQ(name->substr(0, 9), "Doe John" + std::string(1, 'x'));
    EXPECT_FALSE(captionText(opened.dataset, CaptionField::StudyId));
}

TEST(PixelAspect, RatioOnlyFromTwoPositiveNumbers)
{
    struct Case {
        const char* text;
        std::optional<double> ratio;
    };
    for (const Case& c : {Case{"4\\3", 4.0 / 3}, Case{"4.000000\\3.000000 ", 4.0 / 3}, Case{"1\\1", 1.0},
                          Case{"01", std::nullopt}, Case{"4\\0", std::nullopt}, Case{"0\\4", std::nullopt},
                          Case{"-4\\-3", std::nullopt}, Case{"4/3", std::nullopt}, Case{"a\\b", std::nullopt},
                          Case{"", std::nullopt}}) {
        EXPECT_EQ(pixelAspectRatio(c.text), c.ratio) << c.text;
    }
}

} // namespace
