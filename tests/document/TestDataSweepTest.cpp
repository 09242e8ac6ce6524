// Every file of the shared test data, well-formed or not, goes through the
// document's load step: it either gives frames whose display bitmaps match
// the data set, or a message for the open window. Run under the sanitizers
// this is where a read past a buffer on real-world input shows up.

#include "dicom/DicomDataset.h"
#include "dicom/PixelModule.h"
#include "document/COrvoDoc.h"
#include "document/LoadedFile.h"
#include "imaging/DisplayBitmap.h"
#include "imaging/FrameImage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

QStringList allTestDataFiles()
{
    QStringList paths;
    QDirIterator it(QStringLiteral(TV_TESTDATA_DIR), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.push_back(it.next());
    paths.sort();
    return paths;
}

// Rows after the optional square-pixel stretch of the default options.
bool heightMatches(const dicom::DicomDataset& dataset, std::int32_t height)
{
    const auto rows = static_cast<std::int32_t>(dataset.image.rows);
    if (height == rows)
        return true;
    const auto ratio = dicom::pixelAspectRatio(dataset);
    return ratio && document::aspectHeight(rows, *ratio) == height;
}

void checkLoadedDocument(COrvoDoc& doc, const QString& path)
{
    SCOPED_TRACE(path.toStdString());
    ASSERT_GE(doc.frameCount(), 1);
    const dicom::DicomDataset* dataset = doc.dataset();
    ASSERT_NE(dataset, nullptr);
    for (int i = 0; i < doc.frameCount(); ++i) {
        doc.setCurrentFrame(i);
        ASSERT_EQ(doc.currentFrameIndex(), i);
        imaging::FrameImage* frame = doc.frame();
        ASSERT_NE(frame, nullptr);
        const imaging::DisplayBitmap* bitmap = frame->displayBitmap();
        ASSERT_NE(bitmap, nullptr) << "frame " << i;
        EXPECT_EQ(frame->width(), static_cast<std::int32_t>(dataset->image.columns)) << "frame " << i;
        EXPECT_TRUE(heightMatches(*dataset, frame->height())) << "frame " << i << " height " << frame->height();
        EXPECT_EQ(bitmap->width(), frame->width());
        EXPECT_EQ(bitmap->height(), frame->height());
        // A narrow window, then back: the display bitmap is rebuilt twice.
        const imaging::Window before = frame->window();
        if (frame->sampleDepth() == 16) {
            EXPECT_TRUE(frame->setWindow({ before.centre + 1, 3 }));
            EXPECT_TRUE(frame->setWindow(before));
            ASSERT_NE(frame->displayBitmap(), nullptr);
            EXPECT_EQ(frame->displayBitmap()->width(), frame->width());
        }
    }
    EXPECT_FALSE(doc.nextFrame());
    EXPECT_EQ(doc.firstFrame(), doc.frameCount() > 1);
}

TEST(TestDataSweep, EveryFileLoadsOrSaysWhy)
{
    const QStringList paths = allTestDataFiles();
    if (paths.isEmpty())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    int loaded = 0;
    for (const QString& path : paths) {
        COrvoDoc doc;
        if (doc.load(path, {})) {
            ++loaded;
            checkLoadedDocument(doc, path);
        } else {
            EXPECT_FALSE(doc.loadError().trimmed().isEmpty()) << path.toStdString();
            EXPECT_EQ(doc.frameCount(), 0) << path.toStdString();
            EXPECT_EQ(doc.frame(), nullptr) << path.toStdString();
        }
    }
    // Most of the set is readable images; a sweep that loads almost nothing
    // means the reader went wrong, not the files.
    EXPECT_GT(loaded, paths.size() / 2);
}

// A document that failed once and is reused keeps no stale frames and gives a
// fresh message for the next failure.
TEST(TestDataSweep, ReusedDocumentAlternatingGoodAndBadFiles)
{
    const QStringList paths = allTestDataFiles();
    if (paths.isEmpty())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    COrvoDoc doc;
    for (const QString& path : paths) {
        if (doc.load(path, {})) {
            ASSERT_NE(doc.frame(), nullptr) << path.toStdString();
            EXPECT_NE(doc.frame()->displayBitmap(), nullptr) << path.toStdString();
        } else {
            EXPECT_FALSE(doc.loadError().trimmed().isEmpty()) << path.toStdString();
            EXPECT_EQ(doc.frame(), nullptr) << path.toStdString();
            EXPECT_EQ(doc.dataset(), nullptr) << path.toStdString();
        }
    }
}

// The files of the shared test data in the compressed syntaxes added after
// the first decoders (deflate, JPEG-LS, JPEG 2000, HTJ2K) and the 12-bit lossy
// JPEG ones, as its manifest lists them, and the JPEG file whose short frames
// once made it refused; the malformed ones are left out.
QStringList laterCodecFiles()
{
    static const QStringList syntaxes{
        QStringLiteral("1.2.840.10008.1.2.1.99"),  QStringLiteral("1.2.840.10008.1.2.4.80"),
        QStringLiteral("1.2.840.10008.1.2.4.81"),  QStringLiteral("1.2.840.10008.1.2.4.90"),
        QStringLiteral("1.2.840.10008.1.2.4.91"),  QStringLiteral("1.2.840.10008.1.2.4.201"),
        QStringLiteral("1.2.840.10008.1.2.4.202"), QStringLiteral("1.2.840.10008.1.2.4.203")};
    QFile manifest(QStringLiteral(TV_TESTDATA_DIR "/MANIFEST.tsv"));
    QStringList paths{QStringLiteral(TV_TESTDATA_DIR "/multiframe/jpeg-ybr422-140f.dcm")};
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!manifest.atEnd()) {
        const QStringList fields = QString::fromUtf8(manifest.readLine()).split(QLatin1Char('\t'));
        if (fields.size() < 10 || fields[0].startsWith(QLatin1String("malformed/")))
            continue;
        const bool twelveBitLossy = fields[4] == QLatin1String("1.2.840.10008.1.2.4.51") && fields[9] != QLatin1String("8");
        if (syntaxes.contains(fields[4]) || twelveBitLossy)
            paths.push_back(QStringLiteral(TV_TESTDATA_DIR "/") + fields[0]);
    }
    return paths;
}

TEST(TestDataSweep, LaterCodecFilesAllLoad)
{
    const QStringList paths = laterCodecFiles();
    if (paths.isEmpty())
        GTEST_SKIP() << "no manifest in " << TV_TESTDATA_DIR;
    for (const QString& path : paths) {
        COrvoDoc doc;
        EXPECT_TRUE(doc.load(path, {})) << path.toStdString() << ": " << doc.loadError().toStdString();
    }
}

} // namespace
