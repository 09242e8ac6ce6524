#include "dicom/Normalisation.h"

#include "dicom/DicomError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace dicom;
using Bytes = std::vector<std::uint8_t>;
using Samples = std::vector<std::int16_t>;

namespace {

PixelAttributes grey(std::uint32_t rows, std::uint32_t columns, std::int16_t bits, std::int16_t stored)
{
    PixelAttributes a;
    a.photometric = "MONOCHROME2 ";
    a.rows = rows;
    a.columns = columns;
    a.bitsAllocated = bits;
    a.bitsStored = stored;
    a.highBit = static_cast<std::int16_t>(stored - 1);
    return a;
}

PixelAttributes colour(const char* photometric, std::uint32_t rows, std::uint32_t columns)
{
    PixelAttributes a = grey(rows, columns, 8, 8);
    a.photometric = photometric;
    a.samplesPerPixel = 3;
    return a;
}

Bytes le16(std::initializer_list<std::uint16_t> values)
{
    Bytes out;
    for (auto v : values) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return out;
}

struct Grey16Case {
    const char* name;
    PixelAttributes attrs;
    Bytes raw;
    Samples expected;
};

void PrintTo(const Grey16Case& c, std::ostream* os)
{
    *os << c.name;
}

PixelAttributes with(PixelAttributes a, auto change)
{
    change(a);
    return a;
}

class Grey16 : public testing::TestWithParam<Grey16Case> {};

TEST_P(Grey16, Normalises)
{
    const auto& c = GetParam();
    const auto frame = normaliseFrame(c.raw, c.attrs, SampleLayout::Interleaved);
    ASSERT_TRUE(frame) << frame.error().detail;
    ASSERT_EQ(frame->format, FrameFormat::Grey16);
    EXPECT_EQ(frame->samples, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Grey16,
    testing::Values(
        Grey16Case{"ctInterceptMinus1024",
                   with(grey(1, 3, 16, 16), [](auto& a) { a.pixelRepresentation = 1; a.rescaleIntercept = -1024; a.rescalePresent = true; }),
                   le16({0, 1024, 3000}), {-1024, 0, 1976}},
        Grey16Case{"wholeInterceptSaturatesHigh",
                   with(grey(1, 2, 16, 16), [](auto& a) { a.rescaleIntercept = -1000; a.rescalePresent = true; }),
                   le16({0, 65535}), {-1000, 32767}},
        Grey16Case{"wholeInterceptSaturatesLow",
                   with(grey(1, 2, 16, 16), [](auto& a) { a.pixelRepresentation = 1; a.rescaleIntercept = -1000; a.rescalePresent = true; }),
                   le16({0x8000, 0x0000}), {-32768, -1000}},
        Grey16Case{"eightBitInterceptTen",
                   with(grey(1, 3, 8, 8), [](auto& a) { a.rescaleIntercept = 10; a.rescalePresent = true; }),
                   {0, 100, 255}, {10, 110, 265}},
        Grey16Case{"monochrome1ExchangesExtremes",
                   with(grey(1, 3, 16, 16), [](auto& a) { a.photometric = "MONOCHROME1"; }),
                   le16({100, 500, 900}), {900, 500, 100}},
        Grey16Case{"overlayBitsAboveStoredCleared", grey(1, 2, 16, 12), le16({0xF123, 0x1FFF}), {0x0123, 0x0FFF}},
        Grey16Case{"signedTwelveBitKeepsSign",
                   with(grey(1, 3, 16, 12), [](auto& a) { a.pixelRepresentation = 1; }),
                   le16({0x0FFF, 0x0800, 0xF7FF}), {-1, -2048, 2047}},
        Grey16Case{"unsignedAboveInt16Saturates", grey(1, 2, 16, 16), le16({32767, 65535}), {32767, 32767}},
        Grey16Case{"signedSixteenBitAsIs",
                   with(grey(1, 2, 16, 16), [](auto& a) { a.pixelRepresentation = 1; }),
                   le16({0x8000, 0x7FFF}), {-32768, 32767}},
        Grey16Case{"rescaleClampsAndTruncates",
                   with(grey(1, 3, 16, 16), [](auto& a) { a.rescaleSlope = 2.5; a.rescaleIntercept = -0.5; a.rescalePresent = true; }),
                   le16({3, 40000, 0}), {7, 32767, 0}},
        Grey16Case{"negativeRescaleClampsLow",
                   with(grey(1, 1, 16, 16), [](auto& a) { a.rescaleSlope = -2; a.rescalePresent = true; }),
                   le16({60000}), {-32768}},
        Grey16Case{"twelveBitsAllocatedUnpacked", grey(1, 3, 12, 12), {0x21, 0x43, 0x65, 0x87, 0x09}, {0x321, 0x654, 0x987}},
        Grey16Case{"signedEightBitGoesWide",
                   with(grey(1, 2, 8, 8), [](auto& a) { a.pixelRepresentation = 1; }),
                   {0xFF, 0x7F}, {-1, 127}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Grey16, LookupTablePathEqualsDirectPath)
{
    // 2 x 4096 pixels of 12-bit data take the table path; one pixel does not.
    auto attrs = with(grey(2, 4096, 16, 12), [](auto& a) {
        a.pixelRepresentation = 1;
        a.rescaleSlope = 1.5;
        a.rescaleIntercept = -7;
        a.rescalePresent = true;
    });
    Bytes raw;
    for (std::uint32_t i = 0; i < 8192; ++i) {
        raw.push_back(static_cast<std::uint8_t>(i * 7));
        raw.push_back(static_cast<std::uint8_t>((i * 7) >> 8));
    }
    const auto big = normaliseFrame(raw, attrs, SampleLayout::Interleaved);
    ASSERT_TRUE(big);
    auto one = attrs;
    one.rows = 1;
    one.columns = 1;
    for (std::size_t i = 0; i < 8192; i += 997) {
        const auto single = normaliseFrame(std::span(raw).subspan(2 * i, 2), one, SampleLayout::Interleaved);
        ASSERT_TRUE(single);
        EXPECT_EQ(single->samples[0], big->samples[i]) << i;
    }
}

struct ByteCase {
    const char* name;
    PixelAttributes attrs;
    SampleLayout layout;
    Bytes raw;
    FrameFormat format;
    Bytes expected;
};

void PrintTo(const ByteCase& c, std::ostream* os)
{
    *os << c.name;
}

class EightBit : public testing::TestWithParam<ByteCase> {};

PaletteTables testPalette()
{
    PaletteTables p;
    for (int i = 0; i < 256; ++i) {
        p.red[i] = static_cast<std::uint8_t>(i);
        p.green[i] = static_cast<std::uint8_t>(255 - i);
        p.blue[i] = static_cast<std::uint8_t>(i / 2);
    }
    return p;
}

TEST_P(EightBit, Normalises)
{
    const auto& c = GetParam();
    const auto palette = testPalette();
    const auto frame = normaliseFrame(c.raw, c.attrs, c.layout, &palette);
    ASSERT_TRUE(frame) << frame.error().detail;
    EXPECT_EQ(frame->format, c.format);
    EXPECT_EQ(frame->bytes, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EightBit,
    testing::Values(
        ByteCase{"monochrome2Copied", grey(1, 3, 8, 8), SampleLayout::Interleaved, {0, 7, 255}, FrameFormat::Grey8, {0, 7, 255}},
        ByteCase{"monochrome1Inverted", with(grey(1, 2, 8, 8), [](auto& a) { a.photometric = "MONOCHROME1 "; }),
                 SampleLayout::Interleaved, {0, 200}, FrameFormat::Grey8, {255, 55}},
        ByteCase{"bitsStoredMasked", grey(1, 2, 8, 6), SampleLayout::Interleaved, {0xFF, 0x41}, FrameFormat::Grey8, {0x3F, 0x01}},
        ByteCase{"monochrome1InvertedInItsStoredRange", with(grey(1, 3, 8, 7), [](auto& a) { a.photometric = "MONOCHROME1"; }),
                 SampleLayout::Interleaved, {0, 100, 0xFF}, FrameFormat::Grey8, {127, 27, 0}},
        ByteCase{"rgbInterleavedCopied", colour("RGB ", 1, 2), SampleLayout::Interleaved, {1, 2, 3, 4, 5, 6}, FrameFormat::Rgb8, {1, 2, 3, 4, 5, 6}},
        ByteCase{"rgbPlanarInterleaved", colour("RGB", 1, 2), SampleLayout::Planar, {1, 4, 2, 5, 3, 6}, FrameFormat::Rgb8, {1, 2, 3, 4, 5, 6}},
        ByteCase{"rgbIgnoresRescale", with(colour("RGB", 1, 1), [](auto& a) { a.rescaleIntercept = 5; a.rescalePresent = true; }),
                 SampleLayout::Interleaved, {1, 2, 3}, FrameFormat::Rgb8, {1, 2, 3}},
        // Y 100, Cb 128 + 10, Cr 128 - 20: R = 100 - 28.04, G = 100 - 3.44 + 14.28, B = 100 + 17.72.
        ByteCase{"ybrFullInterleaved", colour("YBR_FULL", 1, 1), SampleLayout::Interleaved, {100, 138, 108}, FrameFormat::Rgb8, {71, 110, 117}},
        ByteCase{"ybrFullPlanar", colour("YBR_FULL", 1, 2), SampleLayout::Planar, {100, 255, 138, 128, 108, 255}, FrameFormat::Rgb8, {71, 110, 117, 255, 164, 255}},
        ByteCase{"jpegRgbNotConvertedAgain", colour("YBR_FULL", 1, 1), SampleLayout::DecodedRgb, {100, 138, 108}, FrameFormat::Rgb8, {100, 138, 108}},
        ByteCase{"paletteLooksUp", with(grey(1, 2, 8, 8), [](auto& a) { a.photometric = "PALETTE COLOR "; }),
                 SampleLayout::Interleaved, {0, 200}, FrameFormat::Rgb8, {0, 255, 0, 200, 55, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NormalisedAttributes, EightBitFormsGetFullWindowAndWidenedEightBitReportsSixteen)
{
    auto mono = grey(4, 4, 8, 8);
    mono.windowCentre = 40;
    mono.windowWidth = 400;
    const auto eight = normalisedAttributes(mono);
    EXPECT_EQ(eight.windowCentre, 128);
    EXPECT_EQ(eight.windowWidth, 256);

    mono.rescaleIntercept = 10;
    mono.rescalePresent = true;
    const auto wide = normalisedAttributes(mono);
    EXPECT_EQ(wide.windowCentre, 40);
    EXPECT_EQ(wide.windowWidth, 400);
    EXPECT_EQ(wide.bitsAllocated, 16);
    EXPECT_EQ(wide.bitsStored, 16);
    EXPECT_EQ(wide.highBit, 15);
}

// 8-bit grey opens at the window of its stored range, so that the largest
// stored value shows white however few bits are stored.
TEST(NormalisedAttributes, EightBitGreyWindowSpansTheStoredRange)
{
    const struct {
        std::int16_t bitsStored;
        std::int16_t centre, width;
    } cases[] = {{1, 1, 2}, {2, 2, 4}, {3, 4, 8}, {4, 8, 16}, {5, 16, 32}, {6, 32, 64}, {7, 64, 128}, {8, 128, 256},
                 {0, 128, 256} /* absent: bits allocated */};
    for (const auto& c : cases) {
        const auto out = normalisedAttributes(grey(4, 4, 8, c.bitsStored));
        EXPECT_EQ(out.windowCentre, c.centre) << "bits stored " << c.bitsStored;
        EXPECT_EQ(out.windowWidth, c.width) << "bits stored " << c.bitsStored;
    }
    // Colour keeps the identity window whatever its bits stored.
    auto rgb = colour("RGB", 4, 4);
    rgb.bitsStored = 7;
    EXPECT_EQ(normalisedAttributes(rgb).windowCentre, 128);
    EXPECT_EQ(normalisedAttributes(rgb).windowWidth, 256);
}

struct FailCase {
    const char* name;
    PixelAttributes attrs;
    Bytes raw;
    bool withPalette;
    DicomError error;
};

void PrintTo(const FailCase& c, std::ostream* os)
{
    *os << c.name;
}

class NormaliseFails : public testing::TestWithParam<FailCase> {};

TEST_P(NormaliseFails, WithExactCode)
{
    const auto& c = GetParam();
    const auto palette = testPalette();
    const auto frame = normaliseFrame(c.raw, c.attrs, SampleLayout::Interleaved, c.withPalette ? &palette : nullptr);
    ASSERT_FALSE(frame);
    EXPECT_EQ(frame.error().code, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormaliseFails,
    testing::Values(
        FailCase{"shorterThanFrame", grey(2, 2, 16, 16), Bytes(7), false, DicomError::Corrupted},
        FailCase{"paletteMissing", with(grey(1, 1, 8, 8), [](auto& a) { a.photometric = "PALETTE COLOR"; }), Bytes(1), false,
                 DicomError::Corrupted},
        FailCase{"zeroRows", grey(0, 2, 8, 8), Bytes(2), false, DicomError::Corrupted},
        FailCase{"oneBitAllocated", grey(8, 8, 1, 1), Bytes(64), false, DicomError::UnsupportedFormat},
        FailCase{"colourSixteenBit", with(colour("RGB", 1, 1), [](auto& a) { a.bitsAllocated = 16; }), Bytes(6), false,
                 DicomError::UnsupportedFormat}),
    [](const auto& info) { return std::string(info.param.name); });

Frame grey16Frame(Samples samples)
{
    Frame f;
    f.format = FrameFormat::Grey16;
    f.samples = std::move(samples);
    return f;
}

TEST(Render8, ZeroWindowIsReplacedByFrameRange)
{
    Window window{0, 0};
    const auto out = renderFrame8(grey16Frame({-100, 0, 100}), window);
    EXPECT_EQ(out, (Bytes{0, 127, 255}));
    EXPECT_EQ(window.centre, 0);
    EXPECT_EQ(window.width, 200);
}

TEST(Render8, WindowInsideRangeIsKept)
{
    Window window{100, 100}; // lower 50, upper 150
    const auto out = renderFrame8(grey16Frame({0, 50, 100, 150, 300}), window);
    EXPECT_EQ(out, (Bytes{0, 0, 127, 255, 255}));
    EXPECT_EQ(window.centre, 100);
    EXPECT_EQ(window.width, 100);
}

TEST(Render8, FlatFrameDoesNotDivideByZero)
{
    Window window{0, 0};
    const auto out = renderFrame8(grey16Frame({7, 7}), window);
    EXPECT_EQ(out, (Bytes{0, 0}));
    EXPECT_EQ(window.width, 0);
}

TEST(Render8, FullRangeWidthIsClampedToField)
{
    Window window{0, 0};
    const auto out = renderFrame8(grey16Frame({-32768, 32767}), window);
    EXPECT_EQ(out, (Bytes{0, 255}));
    EXPECT_EQ(window.width, 32767);
}

TEST(Render8, EightBitFramesAreCopiedWithFullWindow)
{
    Frame f;
    f.format = FrameFormat::Rgb8;
    f.bytes = {1, 2, 3};
    Window window{40, 400};
    EXPECT_EQ(renderFrame8(f, window), f.bytes);
    EXPECT_EQ(window.centre, 128);
    EXPECT_EQ(window.width, 256);
}

TEST(Unrescale, UndoesSlopeAndInterceptTruncating)
{
    auto attrs = grey(1, 3, 16, 16);
    attrs.rescaleSlope = 2;
    attrs.rescaleIntercept = -1024;
    attrs.rescalePresent = true;
    EXPECT_EQ(unrescaledSamples(grey16Frame({-1024, -1019, 32767}), attrs), (Samples{0, 2, 16895}));
}

} // namespace
