#include "dicom/DicomDataset.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

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
