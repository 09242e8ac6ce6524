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

} // namespace
