#include "imaging/FrameImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace imaging {
namespace {

// Little-endian helpers for building packed bitmaps field by field.
void put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

struct HeaderFields {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint32_t planes = 1;
    std::uint32_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
};

std::vector<std::uint8_t> header(const HeaderFields& f)
{
    std::vector<std::uint8_t> out;
    put32(out, f.headerSize);                          // header size
    put32(out, static_cast<std::uint32_t>(f.width));   // width
    put32(out, static_cast<std::uint32_t>(f.height));  // height (positive: bottom-up)
    put16(out, f.planes);                              // planes
    put16(out, f.bitCount);                            // bits per pixel
    put32(out, f.compression);                         // compression
    put32(out, 0);                                     // image size (may be 0)
    put32(out, 0);                                     // horizontal resolution
    put32(out, 0);                                     // vertical resolution
    put32(out, f.coloursUsed);                         // colours used
    put32(out, 0);                                     // important colours
    return out;
}

TEST(PackedBitmap, MalformedBlocksGiveExactErrors)
{
    struct Case {
        const char* name;
        HeaderFields fields;
        std::size_t extraBytes; // after the header
        ImagingError expected;
    };
    const Case cases[] = {
        {"header size 12", {.headerSize = 12}, 1024 + 4, ImagingError::InvalidBitmapFormat},
        {"bit count 16", {.bitCount = 16}, 1024 + 4, ImagingError::UnknownBitmapFormat},
        {"bit count 4", {.bitCount = 4}, 1024 + 4, ImagingError::UnknownBitmapFormat},
        {"run-length compressed", {.compression = 1}, 1024 + 4, ImagingError::UnknownBitmapFormat},
        {"zero width", {.width = 0}, 1024 + 4, ImagingError::InvalidBitmapFormat},
        {"negative width", {.width = -3}, 1024 + 4, ImagingError::InvalidBitmapFormat},
        {"two planes", {.planes = 2}, 1024 + 4, ImagingError::InvalidBitmapFormat},
        {"table cut short", {}, 1000, ImagingError::InvalidBitmapFormat},
        {"last row missing", {.height = 2}, 1024 + 4, ImagingError::InvalidBitmapFormat},
        {"huge height", {.height = 0x7FFFFFFF}, 1024 + 4, ImagingError::InvalidBitmapFormat},
        {"24-bit rows short", {.width = 2, .bitCount = 24}, 7, ImagingError::InvalidBitmapFormat},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> block = header(c.fields);
        block.resize(block.size() + c.extraBytes, 0);
        auto frame = FrameImage::fromPackedBitmap(block);
        ASSERT_FALSE(frame) << c.name;
        EXPECT_EQ(frame.error().code, c.expected) << c.name;
    }
    auto tooShort = FrameImage::fromPackedBitmap(std::vector<std::uint8_t>(39, 0));
    ASSERT_FALSE(tooShort);
    EXPECT_EQ(tooShort.error().code, ImagingError::InvalidBitmapFormat);
}

TEST(PackedBitmap, PalettizedWithShortTableAndIndicesBeyondIt)
{
    // 3 x 1, 8 bits, 2 colours: index 5 is past the table and takes the last colour.
    std::vector<std::uint8_t> block = header({.width = 3, .height = 1, .coloursUsed = 2});
    for (std::uint8_t b : {10, 20, 30, 0, /* entry 1 */ 40, 50, 60, 0}) // blue, green, red, 0
        block.push_back(b);
    for (std::uint8_t b : {0, 1, 5, 0}) // indices, then one padding byte
        block.push_back(b);
    auto frame = FrameImage::fromPackedBitmap(block);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->kind(), SampleKind::Rgb);
    EXPECT_EQ(frame->image8()->topLevel().pixels,
              (std::vector<std::uint8_t>{30, 20, 10, 60, 50, 40, 60, 50, 40}));
}

TEST(PackedBitmap, ColoursUsedZeroOrTooLargeReadsAll256Entries)
{
    for (std::uint32_t coloursUsed : {0u, 100000u}) {
        std::vector<std::uint8_t> block = header({.width = 1, .height = 1, .coloursUsed = coloursUsed});
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(255 - i);
            for (std::uint8_t b : {v, v, v, std::uint8_t{0}})
                block.push_back(b);
        }
        for (std::uint8_t b : {255, 0, 0, 0})
            block.push_back(b);
        auto frame = FrameImage::fromPackedBitmap(block);
        ASSERT_TRUE(frame) << coloursUsed;
        EXPECT_EQ(frame->image8()->topLevel().pixels, (std::vector<std::uint8_t>{0, 0, 0})) << coloursUsed;
    }
}

TEST(PackedBitmap, DisplayBitmapOfAnotherFrameRoundTrips)
{
    // A 5-pixel-wide RGB image: the 24-bit stride is 16; bottom-up rows and BGR
    // order must both be undone.
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < 5 * 3 * 3; ++i)
        rgb.push_back(static_cast<std::uint8_t>(i * 5));
    auto source = FrameImage::fromSamples8(rgb, SampleKind::Rgb, 5, 3);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->displayBitmap()->stride(), 16u);
    auto copy = FrameImage::fromPackedBitmap(source->displayBitmap()->bytes());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->image8()->topLevel().pixels, rgb);

    // A grey 1-pixel-wide image: stride 4, and the copy is RGB.
    auto grey = FrameImage::fromSamples8(std::vector<std::uint8_t>{7, 9}, SampleKind::Grey, 1, 2);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->displayBitmap()->stride(), 4u);
    EXPECT_EQ(grey->displayBitmap()->byteSize(), 40u + 1024u + 8u);
    auto greyCopy = FrameImage::fromPackedBitmap(grey->displayBitmap()->bytes());
    ASSERT_TRUE(greyCopy);
    EXPECT_EQ(greyCopy->image8()->topLevel().pixels, (std::vector<std::uint8_t>{7, 7, 7, 9, 9, 9}));
}

TEST(BufferCreation, Layouts)
{
    struct Case {
        const char* name;
        PixelLayout layout;
        std::vector<std::uint8_t> buffer;
        std::vector<std::uint8_t> rgb;
    };
    const Case cases[] = {
        {"grey", PixelLayout::Grey8, {0, 200}, {0, 0, 0, 200, 200, 200}},
        {"555 white and black", PixelLayout::Rgb555, {0xFF, 0x7F, 0x00, 0x00}, {248, 248, 248, 0, 0, 0}},
        {"555 channels, bit 15 ignored", PixelLayout::Rgb555, {0x1F, 0x80, 0xE0, 0x03}, {0, 0, 248, 0, 248, 0}},
        {"rgb", PixelLayout::Rgb24, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
        {"rgbx", PixelLayout::Rgbx32, {1, 2, 3, 99, 4, 5, 6, 99}, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        auto frame = FrameImage::fromBuffer(c.buffer, BufferLayout{2, 1, c.layout});
        ASSERT_TRUE(frame) << c.name;
        EXPECT_EQ(frame->image8()->topLevel().pixels, c.rgb) << c.name;
    }
    auto bad = FrameImage::fromBuffer(std::vector<std::uint8_t>(8), BufferLayout{2, 1, static_cast<PixelLayout>(5)});
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().code, ImagingError::InvalidParameters);
}

TEST(Creation, RejectsShortBuffersAndOversizedFrames)
{
    const std::vector<std::uint8_t> three(3);
    struct Case {
        const char* name;
        imaging::Result<FrameImage> result;
    };
    Case cases[] = {
        {"grey short", FrameImage::fromSamples8(three, SampleKind::Grey, 2, 2)},
        {"rgb short", FrameImage::fromSamples8(std::vector<std::uint8_t>(11), SampleKind::Rgb, 2, 2)},
        {"zero rows", FrameImage::fromSamples8(three, SampleKind::Grey, 3, 0)},
        {"negative columns", FrameImage::fromSamples8(three, SampleKind::Grey, -1, 3)},
        {"over the cap", FrameImage::fromSamples8(three, SampleKind::Rgb, 40000, 40000)},
        {"16-bit over the cap", FrameImage::fromSamples16(std::vector<std::int16_t>(4), 50000, 50000, Window{})},
        {"16-bit frame short", FrameImage::fromFrame(FrameInput{{FrameFormat::Grey16, {}, {1, 2, 3}}, 2, 2, {}, GivenWindow::Clamp})},
        {"unknown kind", FrameImage::adoptSamples8(std::vector<std::uint8_t>(4), static_cast<SampleKind>(7), 2, 2)},
        // Products that wrap to 0 in 32 bits.
        {"2^16 x 2^16 bytes", FrameImage::fromSamples8(three, SampleKind::Grey, 65536, 65536)},
        {"2^16 x 2^15 samples of 2 bytes", FrameImage::adoptSamples16(std::vector<std::int16_t>(4), 65536, 32768, Window{})},
        {"int max x int max", FrameImage::fromSamples8(three, SampleKind::Grey, 0x7FFFFFFF, 0x7FFFFFFF)},
    };
    for (Case& c : cases) {
        ASSERT_FALSE(c.result) << c.name;
        EXPECT_EQ(c.result.error().code, ImagingError::InvalidParameters) << c.name;
    }
}

// A bitmap's header and every size handed on from it are 32-bit signed: one
// byte past 2^31 - 1, padding and header included, is refused before any
// allocation.
TEST(DisplayBitmapSize, TheWholeBlockStaysUnderTheCap)
{
    struct Case {
        const char* name;
        std::int32_t width, height;
        int bits;
        bool fits;
    };
    const Case cases[] = {
        {"row padded past the cap", 0x7FFFFFFF, 1, 8, false},
        {"24-bit row past the cap", 0x2AAAAAAB, 1, 24, false},
        {"rows past the cap", 65536, 32768, 8, false},
        {"table and rows one byte over", 4, (0x7FFFFFFF - 1064) / 4 + 1, 8, false},
        {"empty selection copy", 0, 0, 24, true},
        {"small", 5, 3, 24, true},
    };
    for (const Case& c : cases) {
        const auto bitmap = DisplayBitmap::create(c.width, c.height, c.bits);
        EXPECT_EQ(bitmap.has_value(), c.fits) << c.name;
        if (!bitmap.has_value()) {
            EXPECT_EQ(bitmap.error().code, ImagingError::MemoryAllocation) << c.name;
        }
    }
}

TEST(Creation, AReleasedDisplayBitmapComesBackTheSame)
{
    for (FrameFormat format : {FrameFormat::Grey8, FrameFormat::Grey16}) {
        base::Frame frame{format, {}, {}};
        if (format == FrameFormat::Grey8)
            frame.bytes = {0, 40, 80, 255};
        else
            frame.samples = {-1000, 0, 40, 3000};
        auto image = FrameImage::fromFrame(FrameInput{std::move(frame), 2, 2, Window{40, 400}, GivenWindow::Clamp});
        ASSERT_TRUE(image);
        ASSERT_TRUE(image->setWindow(Window{30, 100}) && image->rebuildDisplay());
        const auto before = image->copyDisplayBitmap();
        ASSERT_TRUE(before);
        image->releaseDisplayBitmap();
        const auto after = image->copyDisplayBitmap();
        ASSERT_TRUE(after);
        EXPECT_TRUE(std::equal(before->bytes().begin(), before->bytes().end(), after->bytes().begin(), after->bytes().end()));
    }
}

TEST(Creation, FrameInputsBecomeTheRightImages)
{
    // 16-bit samples 1000 and -20 in host order, with a file window that
    // lies wholly above the data.
    auto ct = FrameImage::fromFrame(FrameInput{{FrameFormat::Grey16, {}, {1000, -20}}, 2, 1, Window{1300, 400}, GivenWindow::Clamp});
    ASSERT_TRUE(ct);
    EXPECT_EQ(ct->sampleDepth(), 16);
    EXPECT_EQ(ct->window(), (Window{490, 400})); // -20 + 1020 / 2
    EXPECT_EQ(ct->asLoadedWindow(), ct->window());
    EXPECT_TRUE(ct->image16()->topLevel().isSigned);
    EXPECT_EQ(ct->image16()->windowHistory().size(), 1u);

    auto grey = FrameImage::fromFrame(FrameInput{{FrameFormat::Grey8, {232}, {}}, 1, 1, Window{}, GivenWindow::Clamp});
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->sampleDepth(), 8);
    EXPECT_EQ(grey->window(), (Window{128, 256})); // without a window 8-bit frames start at the identity
    EXPECT_EQ(grey->max(), 255);
    EXPECT_EQ(grey->min(), 0);

    auto rgb = FrameImage::fromFrame(FrameInput{{FrameFormat::Rgb8, {1, 2, 3}, {}}, 1, 1, Window{64, 128}, GivenWindow::Clamp});
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->window(), (Window{128, 256})); // colour frames always do

    FrameImage none;
    EXPECT_EQ(none.sampleDepth(), 0);
    EXPECT_EQ(none.width(), 0);
    EXPECT_EQ(none.displayBitmap(), nullptr);
    EXPECT_FALSE(none.undo());
}

// 8-bit grey frames start at the window of their stored range, as the reader
// gives it (centre 2^(bits stored - 1), width 2^bits stored), and "Default"
// returns there: a 7-bit frame's top value shows near white, not mid-grey.
TEST(Creation, EightBitGreyStartsAtTheStoredRange)
{
    const struct {
        int bitsStored;
        std::uint8_t topIndex; // where the largest stored value lands in the display bitmap
    } cases[] = {{1, 128}, {2, 191}, {3, 223}, {4, 239}, {5, 247}, {6, 251}, {7, 253}, {8, 255}};
    for (const auto& c : cases) {
        const std::uint8_t top = static_cast<std::uint8_t>((1 << c.bitsStored) - 1);
        const Window stored{1 << (c.bitsStored - 1), 1 << c.bitsStored};
        auto image = FrameImage::fromFrame(FrameInput{{FrameFormat::Grey8, {0, top}, {}}, 2, 1, stored, GivenWindow::Clamp});
        ASSERT_TRUE(image);
        EXPECT_EQ(image->window(), stored) << "bits stored " << c.bitsStored;
        EXPECT_EQ(image->asLoadedWindow(), stored) << "bits stored " << c.bitsStored;
        const auto row = image->displayBitmap()->pixelRows();
        EXPECT_EQ(row[0], 0) << "bits stored " << c.bitsStored;
        EXPECT_EQ(row[1], c.topIndex) << "bits stored " << c.bitsStored;
    }
}

TEST(Creation, AdoptedBuffersAreOwnedByTheImage)
{
    std::vector<std::int16_t> samples{1, 2, 3, 4};
    auto frame = FrameImage::adoptSamples16(std::move(samples), 2, 2, Window{});
    samples.assign(4, 99); // the caller reuses its variable
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->image16()->topLevel().pixels, (std::vector<std::int16_t>{1, 2, 3, 4}));
}

TEST(Creation, SourceNameIsCut)
{
    FrameImage frame;
    frame.setSourceName(std::string(600, 'a'));
    EXPECT_EQ(frame.sourceName(), std::string(515, 'a'));
    EXPECT_EQ(frame.sourceIndex(), -1);
}

PaletteTable colourTable()
{
    PaletteTable table = PaletteTable::grayscale();
    table.entries[3] = PaletteEntry{200, 100, 50, 0};
    return table;
}

PaletteTable invertedGreyTable()
{
    PaletteTable table;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(255 - i);
        table.entries[static_cast<std::size_t>(i)] = PaletteEntry{v, v, v, 0};
    }
    return table;
}

TEST(PixelExport, ChannelsFollowTheColourTable)
{
    struct Case {
        const char* name;
        PaletteTable table;
        int channels;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"grayscale gives the indices", PaletteTable::grayscale(), 1, {3, 4}},
        {"colour palette gives rgb", colourTable(), 3, {200, 100, 50, 4, 4, 4}},
        {"grey non-identity gives the table's grey", invertedGreyTable(), 1, {252, 251}},
    };
    for (const Case& c : cases) {
        auto frame = FrameImage::fromSamples8(std::vector<std::uint8_t>{3, 4}, SampleKind::Grey, 1, 2);
        ASSERT_TRUE(frame);
        ASSERT_TRUE(frame->setPalette(kFirstCustomPalette, c.table));
        auto pixels = frame->exportPixels();
        ASSERT_TRUE(pixels) << c.name;
        EXPECT_EQ(pixels->channels, c.channels) << c.name;
        EXPECT_EQ(pixels->bytes, c.bytes) << c.name;
    }
    auto rgb = FrameImage::fromSamples8(std::vector<std::uint8_t>{1, 2, 3}, SampleKind::Rgb, 1, 1);
    ASSERT_TRUE(rgb);
    auto pixels = rgb->exportPixels();
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->bytes, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(ColourConversion, GreyAndRgb)
{
    auto frame = FrameImage::fromSamples8(std::vector<std::uint8_t>{255, 0, 0, 10, 20, 30}, SampleKind::Rgb, 2, 1);
    ASSERT_TRUE(frame);
    EXPECT_FALSE(frame->convertToRgb());
    EXPECT_EQ(frame->lastError(), ImagingError::NotAllowedInColour);
    EXPECT_EQ(frame->image8()->levelCount(), 0u);

    ASSERT_TRUE(frame->convertToGrey());
    // 0.299 * 255 + 0.5 = 76.7; 0.299 * 10 + 0.587 * 20 + 0.114 * 30 + 0.5 = 18.63
    EXPECT_EQ(frame->image8()->topLevel().pixels, (std::vector<std::uint8_t>{76, 18}));
    EXPECT_EQ(frame->displayBitmap()->bitsPerPixel(), 8);
    EXPECT_FALSE(frame->convertToGrey());
    EXPECT_EQ(frame->lastError(), ImagingError::NotAllowedInMonochrome);

    ASSERT_TRUE(frame->convertToRgb());
    EXPECT_EQ(frame->image8()->topLevel().pixels, (std::vector<std::uint8_t>{76, 76, 76, 18, 18, 18}));
    ASSERT_TRUE(frame->undo());
    ASSERT_TRUE(frame->undo());
    EXPECT_EQ(frame->image8()->topLevel().pixels, (std::vector<std::uint8_t>{255, 0, 0, 10, 20, 30}));
    EXPECT_EQ(frame->lastError(), ImagingError::None);

    auto ct = FrameImage::fromSamples16(std::vector<std::int16_t>{1}, 1, 1, Window{});
    ASSERT_TRUE(ct);
    EXPECT_FALSE(ct->convertToGrey());
    EXPECT_FALSE(ct->convertToRgb());
    EXPECT_FALSE(ct->canUndo());
}

TEST(PixelValue, ChecksCoordinates)
{
    auto frame = FrameImage::fromSamples16(std::vector<std::int16_t>{5, -6}, 2, 1, Window{});
    ASSERT_TRUE(frame);
    const auto value = frame->pixelValue(1, 0);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->red, -6);
    EXPECT_EQ(value->blue, -6);
    for (auto [x, y] : {std::pair{2, 0}, {0, 1}, {-1, 0}, {0, -1}})
        EXPECT_FALSE(frame->pixelValue(x, y)) << x << "," << y;
}

TEST(ImagingErrors, Texts)
{
    EXPECT_EQ(imagingErrorText(ImagingError::None), "No Error\n");
    EXPECT_EQ(imagingErrorText(ImagingError::NoUndoLevel), "There is no other undo level\n");
    EXPECT_EQ(imagingErrorText(ImagingError::NotAllowedInColour), "Operation not allowed in color image\n");
    EXPECT_EQ(imagingErrorText(ImagingError::InvalidBitmapFormat), "Invalid Bitmap Format\n");
}

} // namespace
} // namespace imaging
