#include "dicom/DicomDataset.h"
#include "document/COrvoDoc.h"
#include "document/LoadedFile.h"
#include "imaging/FrameImage.h"
#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QString>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

namespace {

using testsupport::DicomBytes;

TEST(AspectHeight, StretchesOnlyToAUsableNewHeight)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::int32_t height;
        double ratio;
        std::optional<std::int32_t> expected;
    } cases[] = {
        { 120, 4.0 / 3.0, 160 },
        { 512, 4.0 / 3.0, 683 },       // 682.67 + 0.5, truncated
        { 3, 0.5, 2 },                 // 1.5 + 0.5 = 2 exactly
        { 5, 0.5, 3 },                 // 2.5 + 0.5
        { 512, 1.0, std::nullopt },    // square pixels keep their size
        { 10, 1.04, std::nullopt },    // rounds back to the same height
        { 1, 0.1, std::nullopt },      // 0 rows
        { 40000, 2.0, std::nullopt },  // 80000 rows: beyond 65535
        { 32768, 2.0, std::nullopt },  // 65536 rows
        { 32767, 2.0, 65534 },
        { 100, 0.0, std::nullopt },
        { 100, -2.0, std::nullopt },
        { 100, nan, std::nullopt },
        { 100, inf, std::nullopt },
        { 100, 1e300, std::nullopt },
        { 0, 2.0, std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(document::aspectHeight(c.height, c.ratio), c.expected) << c.height << " x " << c.ratio;
}

// A grey file in explicit VR little endian whose pixels rise by 10 from row
// to row, with the given Pixel Aspect Ratio and Pixel Spacing.
std::filesystem::path writeGreyFile(const std::string& name, std::uint16_t rows, std::uint16_t columns,
                                    const std::string& ratio, const std::string& spacing, std::uint16_t bits = 8)
{
    DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1");
    b.elementU16(0x0028, 0x0002, "US", 1);             // Samples per Pixel
    b.element(0x0028, 0x0004, "CS", "MONOCHROME2 ");   // Photometric Interpretation
    b.elementU16(0x0028, 0x0010, "US", rows);          // Rows
    b.elementU16(0x0028, 0x0011, "US", columns);       // Columns
    b.element(0x0028, 0x0030, "DS", spacing);          // Pixel Spacing (row\column)
    b.element(0x0028, 0x0034, "IS", ratio.size() % 2 ? ratio + " " : ratio); // Pixel Aspect Ratio (vertical\horizontal), even length
    b.elementU16(0x0028, 0x0100, "US", bits);          // Bits Allocated
    b.elementU16(0x0028, 0x0101, "US", bits);          // Bits Stored
    b.elementU16(0x0028, 0x0102, "US", static_cast<std::uint16_t>(bits - 1)); // High Bit
    b.elementU16(0x0028, 0x0103, "US", 0);             // Pixel Representation
    const std::uint32_t count = std::uint32_t { rows } * columns;
    const std::uint32_t size = count * (bits / 8);
    b.tag(0x7FE0, 0x0010).vr(bits == 8 ? "OB" : "OW").reserved().len32(size + size % 2); // Pixel Data
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto value = static_cast<std::uint16_t>((i / columns) * 10 % 250); // row y holds 10 y
        if (bits == 8)
            b.u8(static_cast<std::uint8_t>(value));
        else
            b.u16(value);
    }
    if (size % 2)
        b.u8(0); // pad to even length
    return b.writeTemp(name);
}

std::string elementText(const COrvoDoc& doc, std::uint16_t group, std::uint16_t element)
{
    const dicom::DicomElement* found = doc.dataset()->find(base::Tag { group, element });
    return found ? std::string(found->text()) : std::string();
}

TEST(AspectRatio, StretchesRowsAndTheirSpacingWhenTheOptionAsks)
{
    const struct {
        const char* name;
        std::uint16_t rows;
        const char* ratio;
        bool option;
        std::int32_t expectedHeight;
        double expectedRowSpacing;
    } cases[] = {
        { "twice-tall", 3, "2\\1", true, 6, 0.25 },
        { "option-off", 3, "2\\1", false, 3, 0.5 },
        { "square", 3, "1\\1", true, 3, 0.5 },
        { "flat", 4, "1\\2", true, 2, 1.0 },
        { "zero-below", 3, "1\\0", true, 3, 0.5 },   // no ratio: the reader finds none
        { "negative", 3, "-2\\1", true, 3, 0.5 },
        { "one-value", 3, "2", true, 3, 0.5 },
        { "too-tall", 40000, "2\\1", true, 40000, 0.5 }, // 80000 rows would not fit
        { "no-rows-left", 1, "1\\4", true, 1, 0.5 },     // 0.25 + 0.5 truncates to 0
    };
    for (const auto& c : cases) {
        const auto path = writeGreyFile(std::string("aspect-") + c.name + ".dcm", c.rows, 2, c.ratio, "0.5\\0.25");
        document::UserOptions options;
        options.aspectRatio = c.option;
        COrvoDoc doc;
        ASSERT_TRUE(doc.load(QString::fromStdString(path.string()), options)) << c.name;
        std::filesystem::remove(path);
        ASSERT_EQ(doc.frameCount(), 1) << c.name;
        EXPECT_EQ(doc.frame()->width(), 2) << c.name;
        EXPECT_EQ(doc.frame()->height(), c.expectedHeight) << c.name;
        const auto spacing = doc.pixelSpacing();
        EXPECT_DOUBLE_EQ(spacing.first, c.expectedRowSpacing) << c.name;
        EXPECT_DOUBLE_EQ(spacing.second, 0.25) << c.name;
        // The data set keeps what the file says.
        EXPECT_EQ(elementText(doc, 0x0028, 0x0030), "0.5\\0.25") << c.name;
        // Loading is no edit: there is nothing to take back.
        EXPECT_FALSE(doc.frame()->canUndo()) << c.name;
        EXPECT_FALSE(doc.canUndo(0)) << c.name;
    }
}

TEST(AspectRatio, StretchedRowsBlendTheirNeighbours)
{
    for (const std::uint16_t bits : { 8, 16 }) {
        const auto path = writeGreyFile("aspect-blend.dcm", 3, 2, "2\\1", "1\\1", bits);
        COrvoDoc doc;
        ASSERT_TRUE(doc.load(QString::fromStdString(path.string()), {}));
        std::filesystem::remove(path);
        ASSERT_EQ(doc.frame()->height(), 6);
        EXPECT_EQ(doc.frame()->sampleDepth(), bits);
        // Source rows hold 0, 10, 20; row y of 6 samples source row y / 2, and
        // the last row repeats the bottom one.
        const int expected[] = { 0, 5, 10, 15, 20, 20 };
        for (int y = 0; y < 6; ++y) {
            const auto value = doc.frame()->pixelValue(1, y);
            ASSERT_TRUE(value.has_value());
            EXPECT_EQ(value->red, expected[y]) << bits << " bits, row " << y;
        }
        EXPECT_NE(doc.frame()->displayBitmap(), nullptr);
    }
}

// The image object is resampled, not rebuilt from the blended pixels: rows
// 0, 10, 20, 30 halved keep 0 and 20, whose fresh scan would give the range
// 0..20 and the window (10, 21) instead of the loaded 0..30 and (15, 31).
TEST(AspectRatio, StretchedFrameKeepsItsRangeAndWindows)
{
    const auto path = writeGreyFile("aspect-range.dcm", 4, 2, "1\\2", "1\\1", 16);
    document::UserOptions off;
    off.aspectRatio = false;
    COrvoDoc plain;
    COrvoDoc stretched;
    ASSERT_TRUE(plain.load(QString::fromStdString(path.string()), off));
    ASSERT_TRUE(stretched.load(QString::fromStdString(path.string()), {}));
    std::filesystem::remove(path);
    const imaging::FrameImage& before = *plain.frame();
    const imaging::FrameImage& after = *stretched.frame();
    ASSERT_EQ(after.height(), 2);
    EXPECT_EQ(after.pixelValue(0, 1)->red, 20);
    EXPECT_EQ(after.min(), before.min());
    EXPECT_EQ(after.max(), 30);
    EXPECT_EQ(after.window(), (imaging::Window { 15, 31 }));
    EXPECT_EQ(after.window(), before.window());
    EXPECT_EQ(after.asLoadedWindow(), before.asLoadedWindow());
    // One level and no history: nothing of the stretch to take back.
    EXPECT_EQ(after.image16()->levelCount(), 0u);
    EXPECT_TRUE(after.image16()->actions().empty());
}

QString testFile(const char* relative) { return QStringLiteral(TV_TESTDATA_DIR "/") + QString::fromLatin1(relative); }

TEST(AspectRatio, ColourFileOfFourToThreePixels)
{
    const QString path = testFile("colour/rgb-planar0-par4-3.dcm");
    if (!QFileInfo::exists(path))
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    COrvoDoc plain;
    document::UserOptions off;
    off.aspectRatio = false;
    ASSERT_TRUE(plain.load(path, off));
    ASSERT_EQ(plain.frame()->height(), 120);

    COrvoDoc stretched;
    ASSERT_TRUE(stretched.load(path, {}));
    EXPECT_EQ(stretched.frame()->width(), 256);
    EXPECT_EQ(stretched.frame()->height(), 160);
    EXPECT_EQ(stretched.frame()->kind(), imaging::SampleKind::Rgb);
    // The top row is sampled without blending.
    for (int x = 0; x < 256; x += 17) {
        const auto top = stretched.frame()->pixelValue(x, 0);
        const auto source = plain.frame()->pixelValue(x, 0);
        ASSERT_TRUE(top && source);
        EXPECT_EQ(top->red, source->red);
        EXPECT_EQ(top->green, source->green);
        EXPECT_EQ(top->blue, source->blue);
    }
    // Two files as one document: each file's frames are stretched.
    COrvoDoc both;
    ASSERT_TRUE(both.loadFiles({ path, testFile("colour/rgb-planar1-par4-3.dcm") }, QStringLiteral("t"), {}));
    ASSERT_EQ(both.frameCount(), 2);
    EXPECT_EQ(both.frame(0)->height(), 160);
    EXPECT_EQ(both.frame(1)->height(), 160);
}


TEST(PictureFiles, OpenAsSecondaryCaptureDocuments)
{
    if (!QFileInfo::exists(testFile("bmp/rgb24-6x6.bmp")))
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    struct Case {
        const char* file;
        int width, height;
        imaging::SampleKind kind;
    };
    const Case cases[] = {
        { "bmp/rgb24-6x6.bmp", 6, 6, imaging::SampleKind::Rgb },
        { "jpeg-files/jfif-grey-baseline.jpg", 320, 240, imaging::SampleKind::Grey },
        { "jpeg-files/jfif-colour-baseline.jpg", -1, -1, imaging::SampleKind::Rgb },
    };
    for (const auto& c : cases) {
        COrvoDoc doc;
        ASSERT_TRUE(doc.load(testFile(c.file), {})) << c.file << ": " << doc.loadError().toStdString();
        ASSERT_EQ(doc.frameCount(), 1) << c.file;
        EXPECT_EQ(doc.frame()->kind(), c.kind) << c.file;
        if (c.width > 0) {
            EXPECT_EQ(doc.frame()->width(), c.width) << c.file;
            EXPECT_EQ(doc.frame()->height(), c.height) << c.file;
        }
    }
    // A picture cut short gives the reader's message, not a document.
    COrvoDoc bad;
    EXPECT_FALSE(bad.load(testFile("bmp/bad-short-file.bmp"), {}));
    EXPECT_FALSE(bad.loadError().isEmpty());
}

} // namespace
