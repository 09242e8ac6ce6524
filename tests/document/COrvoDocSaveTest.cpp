#include "dicom/DicomDataset.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"
#include "tests/support/DicomBytes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <optional>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A 4 x 2 grey frame of 8 bits, samples 0, 10, 20, ..., at 0.5 mm a pixel
// in slices of 2 mm.
void writeSmallDicom(const QString& path)
{
    testsupport::DicomBytes b;
    b.part10Header("1.2.840.10008.1.2.1")
        .element(0x0018, 0x0050, "DS", "2 ")           // Slice Thickness
        .elementU16(0x0028, 0x0002, "US", 1)          // Samples per Pixel
        .element(0x0028, 0x0004, "CS", "MONOCHROME2 ") // Photometric Interpretation
        .elementU16(0x0028, 0x0010, "US", 2)          // Rows
        .elementU16(0x0028, 0x0011, "US", 4)          // Columns
        .element(0x0028, 0x0030, "DS", "0.5\\0.5 ")    // Pixel Spacing
        .elementU16(0x0028, 0x0100, "US", 8)          // Bits Allocated
        .elementU16(0x0028, 0x0101, "US", 8)          // Bits Stored
        .elementU16(0x0028, 0x0102, "US", 7)          // High Bit
        .elementU16(0x0028, 0x0103, "US", 0)          // Pixel Representation
        .tag(0x7FE0, 0x0010)                          // Pixel Data
        .vr("OB")                                     // VR
        .reserved()                                   // reserved
        .len32(8)                                     // 4 x 2 bytes
        .raw({ 0, 10, 20, 30, 40, 50, 60, 70 });
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(b.bytes().data()), static_cast<qint64>(b.bytes().size()));
}

// Every way into a document keeps a picture from being saved over: the
// path Save writes to is the picture's without its extension.
TEST(COrvoDocSave, PictureIsNeverTheSaveTarget)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("b.bmp"));
    QImage image(4, 2, QImage::Format_Grayscale8);
    image.fill(90);
    ASSERT_TRUE(image.save(picture, "BMP"));
    const QByteArray before = contents(picture);
    struct Case {
        const char* name;
        std::function<bool(COrvoDoc&)> open;
    };
    const Case cases[] = {
        { "opened", [&](COrvoDoc& doc) { return doc.load(picture, {}); } },
        { "pending list of one", [&](COrvoDoc& doc) { return doc.loadFiles({ picture }, QStringLiteral("b.bmp"), {}); } },
    };
    for (const Case& c : cases) {
        COrvoDoc doc;
        ASSERT_TRUE(c.open(doc)) << c.name;
        EXPECT_FALSE(doc.saveNeedsName()) << c.name;
        EXPECT_EQ(doc.filePath(), dir.filePath(QStringLiteral("b"))) << c.name;
        ASSERT_EQ(doc.save(doc.filePath()), COrvoDoc::SaveResult::Saved) << c.name;
        EXPECT_EQ(contents(picture), before) << c.name;
    }
}

// What Save writes is DICOM whatever its name: it reads back as such, and
// the document shows the written frames under that name.
TEST(COrvoDocSave, SavedUnderAPictureNameReloadsAsDicom)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("a.dcm"));
    writeSmallDicom(source);
    COrvoDoc doc;
    ASSERT_TRUE(doc.load(source, {}));
    const auto shown = doc.frame(0)->image8()->topLevel().pixels;
    for (const char* name : { "c.bmp", "c.jpg" }) {
        const QString target = dir.filePath(QString::fromLatin1(name));
        ASSERT_EQ(doc.save(target), COrvoDoc::SaveResult::Saved) << name;
        EXPECT_TRUE(doc.saveError().isEmpty()) << name;
        ASSERT_EQ(doc.frameCount(), 1) << name;
        EXPECT_EQ(doc.frame(0)->image8()->topLevel().pixels, shown) << name;
        EXPECT_EQ(doc.filePath(), target) << name;
        EXPECT_EQ(doc.sourcePaths(), QStringList { target }) << name;
        EXPECT_TRUE(COrvoDoc::mayOverwrite(target)) << name;
    }
}

// Lengths measured on the saved file are those measured before saving: the
// file's spacing, or the one the user set instead.
TEST(COrvoDocSave, SavedFileMeasuresAsTheDocumentDid)
{
    struct Case {
        const char* name;
        std::optional<std::pair<double, double>> setSpacing;
        double setThickness;
        std::pair<double, double> spacing;
        double thickness;
    };
    const Case cases[] = {
        { "as the file said", std::nullopt, 0.0, { 0.5, 0.5 }, 2.0 },
        { "as the user set", std::make_pair(0.7, 0.25), 3.0, { 0.7, 0.25 }, 3.0 },
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("a.dcm"));
        writeSmallDicom(source);
        COrvoDoc doc;
        ASSERT_TRUE(doc.load(source, {})) << c.name;
        if (c.setSpacing)
            doc.setVoxelSize(*c.setSpacing, c.setThickness);
        ASSERT_EQ(doc.save(dir.filePath(QStringLiteral("saved.dcm"))), COrvoDoc::SaveResult::Saved) << c.name;
        EXPECT_EQ(doc.pixelSpacing(), c.spacing) << c.name;
        EXPECT_EQ(doc.sliceThickness(), c.thickness) << c.name;
    }
}

// A document shown from a private copy asks for a name; once saved under
// one, the file is its own.
TEST(COrvoDocSave, PrivateCopyAsksForANameUntilSaved)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("cached"));
    writeSmallDicom(copy);
    COrvoDoc doc;
    ASSERT_TRUE(doc.loadFiles({ copy }, QStringLiteral("http://example.invalid/a.dcm"), {}));
    EXPECT_FALSE(doc.saveNeedsName());
    doc.setSourceIsPrivateCopy(true);
    EXPECT_TRUE(doc.saveNeedsName());
    ASSERT_EQ(doc.save(dir.filePath(QStringLiteral("mine.dcm"))), COrvoDoc::SaveResult::Saved);
    EXPECT_FALSE(doc.saveNeedsName());
}

QString testFile(const char* relative) { return QStringLiteral(TV_TESTDATA_DIR "/") + QString::fromLatin1(relative); }

bool haveTestData() { return QFileInfo::exists(testFile("grey/mr-rescale-neg-intercept.dcm")); }

TEST(COrvoDocSave, FramesOfTwoSizesAreRefusedAndNothingIsWritten)
{
    if (!haveTestData())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    QTemporaryDir dir;
    COrvoDoc doc;
    ASSERT_TRUE(doc.loadFiles({ testFile("grey/ct-8bit-ile.dcm"), testFile("grey/buggie-8bit.dcm") },
                              QStringLiteral("(Multiple files)"), {}));
    EXPECT_TRUE(doc.saveNeedsName());
    const QString target = dir.filePath(QStringLiteral("two.dcm"));
    EXPECT_EQ(doc.save(target), COrvoDoc::SaveResult::FramesDiffer);
    EXPECT_FALSE(QFileInfo::exists(target));
}

// Reopened, a saved file shows the same values and rescale as the file it came from.
TEST(COrvoDocSave, RoundTripKeepsTheShownValuesAndTheRescale)
{
    if (!haveTestData())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    const char* files[] = { "grey/mr-rescale-neg-intercept.dcm", "syntax/ct1-ele.dcm", "multiframe/emri-10f-ele.dcm",
        "colour/rgb-100x100.dcm" };
    for (const char* file : files) {
        QTemporaryDir dir;
        COrvoDoc doc;
        ASSERT_TRUE(doc.load(testFile(file), {})) << file;
        EXPECT_FALSE(doc.saveNeedsName()) << file;
        std::vector<std::vector<std::int16_t>> shown16;
        std::vector<std::vector<std::uint8_t>> shown8;
        for (int f = 0; f < doc.frameCount(); ++f) {
            if (doc.frame(f)->image16())
                shown16.push_back(doc.frame(f)->image16()->topLevel().pixels);
            else
                shown8.push_back(doc.frame(f)->image8()->topLevel().pixels);
        }
        const QString target = dir.filePath(QStringLiteral("saved.dcm"));
        ASSERT_EQ(doc.save(target), COrvoDoc::SaveResult::Saved) << file;
        ASSERT_EQ(doc.filePath(), target);
        for (int f = 0; f < doc.frameCount(); ++f) {
            if (doc.frame(f)->image16())
                EXPECT_EQ(doc.frame(f)->image16()->topLevel().pixels, shown16.at(static_cast<std::size_t>(f))) << file;
            else
                EXPECT_EQ(doc.frame(f)->image8()->topLevel().pixels, shown8.at(static_cast<std::size_t>(f))) << file;
        }
        EXPECT_TRUE(COrvoDoc::mayOverwrite(target)) << file;
        EXPECT_FALSE(COrvoDoc::mayOverwrite(testFile(file))) << file;
    }
}

} // namespace
