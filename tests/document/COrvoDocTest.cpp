#include "dicom/DicomDataset.h"
#include "dicom/DicomReader.h"
#include "document/COrvoDoc.h"
#include "imaging/FrameImage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString testFile(const char* relative) { return QStringLiteral(TV_TESTDATA_DIR "/") + QString::fromLatin1(relative); }

bool haveTestData()
{
    return QFileInfo::exists(testFile("syntax/ct1-ile.dcm"));
}

// Bytes no reader accepts: too short for a preamble and no element header.
QString writeJunk(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("junk.dcm"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("\x01\x02\x03", 3); // three bytes: not even one tag
    return path;
}

TEST(COrvoDoc, LoadsTheFirstFrameOfACtFile)
{
    if (!haveTestData())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    COrvoDoc doc;
    ASSERT_TRUE(doc.load(testFile("syntax/ct1-ile.dcm"), {}));
    EXPECT_EQ(doc.frameCount(), 1);
    EXPECT_EQ(doc.datasetCount(), 1);
    ASSERT_NE(doc.frame(), nullptr);
    EXPECT_EQ(doc.frame()->width(), 512);
    EXPECT_EQ(doc.frame()->height(), 512);
    EXPECT_EQ(doc.fileSize(), QFileInfo(testFile("syntax/ct1-ile.dcm")).size());
    EXPECT_EQ(doc.fileTitle(), QStringLiteral("ct1-ile.dcm"));
    EXPECT_EQ(doc.fileDate().size(), 10);
    EXPECT_FLOAT_EQ(doc.zoom(), 1.0F);
    // Indexes out of range give the current frame and data set.
    EXPECT_EQ(doc.frame(-1), doc.frame(0));
    EXPECT_EQ(doc.frame(7), doc.frame(0));
    EXPECT_EQ(doc.dataset(3), doc.dataset(0));
    // One frame: nothing to step to, nothing to apply to all.
    EXPECT_FALSE(doc.nextFrame());
    EXPECT_FALSE(doc.firstFrame());
    EXPECT_EQ(doc.toggleApplyToAll(), COrvoDoc::ApplyToAllResult::Unchanged);
    const auto spacing = doc.pixelSpacing();
    EXPECT_NEAR(spacing.first, 0.661468, 1e-6);
}

TEST(COrvoDoc, ChangedVoxelSizeKeepsTheHeaderValues)
{
    if (!haveTestData())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    COrvoDoc doc;
    ASSERT_TRUE(doc.load(testFile("syntax/ct1-ile.dcm"), {}));
    doc.setVoxelSize({ 0.25, 0.75 }, 3.0);
    EXPECT_EQ(doc.pixelSpacing(), (std::pair { 0.25, 0.75 }));
    EXPECT_EQ(doc.sliceThickness(), 3.0);
    EXPECT_NEAR(doc.headerPixelSpacing().second, 0.661468, 1e-6);
}

TEST(COrvoDoc, RejectedFileLeavesTheReadersMessage)
{
    QTemporaryDir dir;
    const QString path = writeJunk(dir);
    dicom::DicomDataset expected;
    dicom::ReadOptions headerOnly;
    headerOnly.headerOnly = dicom::HeaderOnly::Yes;
    ASSERT_FALSE(dicom::DicomReader(headerOnly).read(path.toStdString(), expected));

    COrvoDoc doc;
    EXPECT_FALSE(doc.load(path, {}));
    EXPECT_EQ(doc.frameCount(), 0);
    EXPECT_EQ(doc.frame(), nullptr);
    EXPECT_EQ(doc.dataset(), nullptr);
    EXPECT_EQ(doc.loadError().toStdString(), expected.errorMessage(64));
}

TEST(COrvoDoc, MultiFileDocumentKeepsFramesInListOrderAndSkipsFailures)
{
    if (!haveTestData())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    QTemporaryDir dir;
    const QString junk = writeJunk(dir);
    COrvoDoc doc;
    const QStringList files { testFile("grey/ct-8bit-ile.dcm"), junk, testFile("multiframe/emri-10f-ele.dcm") };
    ASSERT_TRUE(doc.loadFiles(files, QStringLiteral("(Multiple files)"), {}));
    EXPECT_EQ(doc.datasetCount(), 2);
    ASSERT_EQ(doc.frameCount(), 11);
    EXPECT_EQ(doc.frame(0)->sourceIndex(), 0);
    EXPECT_EQ(doc.frame(1)->sourceIndex(), 1);
    EXPECT_EQ(doc.frame(10)->sourceIndex(), 1);
    EXPECT_EQ(doc.fileTitle(), QStringLiteral("(Multiple files)"));

    EXPECT_TRUE(doc.lastFrame());
    EXPECT_EQ(doc.currentDatasetIndex(), 1);
    EXPECT_FALSE(doc.nextFrame());
    doc.setCurrentDataset(0);
    EXPECT_EQ(doc.currentFrameIndex(), 0);
    // Frames of two sizes never agree, so "Apply to all" refuses.
    EXPECT_FALSE(doc.allFramesAgree());
    EXPECT_EQ(doc.toggleApplyToAll(), COrvoDoc::ApplyToAllResult::FramesDiffer);
    EXPECT_FALSE(doc.applyToAll());
}

TEST(COrvoDoc, NoReadableFileMakesNoDocument)
{
    QTemporaryDir dir;
    COrvoDoc doc;
    EXPECT_FALSE(doc.loadFiles({ writeJunk(dir), dir.filePath(QStringLiteral("missing")) }, QStringLiteral("t"), {}));
    EXPECT_EQ(doc.frameCount(), 0);
    EXPECT_FALSE(doc.loadOk());
}

// A document object reused for another load reports that load's failure,
// not a message left from an earlier one.
TEST(COrvoDoc, FailureMessageBelongsToTheLastLoad)
{
    QTemporaryDir dir;
    const QString junk = writeJunk(dir);
    const QString missing = dir.filePath(QStringLiteral("missing"));
    const QString unknown = QStringLiteral("Error: Unknown or Unsupported format!");
    COrvoDoc doc;
    EXPECT_EQ(doc.loadError(), unknown);
    EXPECT_FALSE(doc.load(junk, {}));
    ASSERT_NE(doc.loadError(), unknown);
    EXPECT_FALSE(doc.loadFiles({ missing }, QStringLiteral("t"), {}));
    EXPECT_EQ(doc.loadError(), unknown);
    EXPECT_FALSE(doc.load(junk, {}));
    EXPECT_FALSE(doc.load(missing, {}));
    EXPECT_NE(doc.loadError(), QString());
    EXPECT_EQ(doc.frame(), nullptr);
}

TEST(COrvoDoc, PicturePathsLoseTheirLastExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        { "/data/scan.jpg.dcm", "/data/scan.jpg.dcm" },
        { "/data/photo.BMP", "/data/photo" },
        { "/data/x.jpeg", "/data/x" },
        { "/data/my.jpegs/IMG1", "/data/my.jpegs/IMG1" },
        { "/data/.bmp", "/data/.bmp" },
        { "/data/ct.dcm", "/data/ct.dcm" },
        { ".jpg", ".jpg" }, // nothing would remain before the dot
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(COrvoDoc::documentPath(QString::fromLatin1(path)).toStdString(), expected) << path;
}

TEST(EditHistory, RecordingAfterUndoDropsTheRedoSteps)
{
    document::EditHistory history;
    history.record(document::StepKind::Overlay);
    history.record(document::StepKind::Pixel);
    EXPECT_EQ(history.undoKind(), document::StepKind::Pixel);
    history.stepBack();
    EXPECT_TRUE(history.hasRedo());
    EXPECT_EQ(history.redoKind(), document::StepKind::Pixel);
    history.record(document::StepKind::Overlay);
    EXPECT_EQ(history.length(), 2U);
    EXPECT_EQ(history.position(), 2U);
    EXPECT_FALSE(history.hasRedo());
}

// Each case runs its moves from a saved history and says whether the frame
// differs from its file afterwards.
TEST(EditHistory, IsModifiedRelativeToTheSavedPosition)
{
    enum Move { Record, Undo, Redo, Save };
    struct Case {
        const char* name;
        std::vector<Move> moves;
        bool modified;
    };
    const Case cases[] = {
        { "fresh", {}, false },
        { "one edit", { Record }, true },
        { "edit undone", { Record, Undo }, false },
        { "edit undone and redone", { Record, Undo, Redo }, true },
        { "saved after edits", { Record, Record, Save }, false },
        { "undo past the save", { Record, Save, Undo }, true },
        { "back to the save by redo", { Record, Save, Undo, Redo }, false },
        { "new edit on the save", { Record, Save, Record, Undo }, false },
        // The saved state's step is dropped: no undo reaches it again.
        { "saved state dropped", { Record, Save, Undo, Record, Undo }, true },
        { "dropped, then undone to the start", { Record, Record, Save, Undo, Undo, Record, Undo }, true },
    };
    for (const Case& c : cases) {
        document::EditHistory history;
        for (const Move move : c.moves) {
            switch (move) {
            case Record: history.record(document::StepKind::Pixel); break;
            case Undo: history.stepBack(); break;
            case Redo: history.stepForward(); break;
            case Save: history.markSaved(); break;
            }
        }
        EXPECT_EQ(history.isModified(), c.modified) << c.name;
    }
}

} // namespace

TEST(COrvoDoc, IsModifiedByEditsUntilUndoneOrSaved)
{
    if (!haveTestData())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    COrvoDoc doc;
    ASSERT_TRUE(doc.load(testFile("syntax/ct1-ile.dcm"), {}));
    EXPECT_FALSE(doc.isModified());
    viewmodel::LengthMeasurement length;
    length.second = { 9, 0 };
    doc.editOverlays([&](std::span<viewmodel::FrameOverlays> frames) { frames[0].lengths.add(length); });
    EXPECT_TRUE(doc.isModified());
    ASSERT_TRUE(doc.undo(0));
    EXPECT_FALSE(doc.isModified());
    doc.changeFrames([](imaging::FrameImage& frame, int) { return frame.setWindow({ 100, 200 }); });
    EXPECT_TRUE(doc.isModified());
    doc.markSaved();
    EXPECT_FALSE(doc.isModified());
    ASSERT_TRUE(doc.undo(0));
    EXPECT_TRUE(doc.isModified());
    // A new load starts from the file again.
    ASSERT_TRUE(doc.load(testFile("syntax/ct1-ile.dcm"), {}));
    EXPECT_FALSE(doc.isModified());
}

TEST(COrvoDoc, UndoTakesBackAPixelStepThenTheOverlayEditBeforeIt)
{
    if (!haveTestData())
        GTEST_SKIP() << "test data folder not found: " << TV_TESTDATA_DIR;
    COrvoDoc doc;
    ASSERT_TRUE(doc.load(testFile("syntax/ct1-ile.dcm"), {}));
    viewmodel::LengthMeasurement length;
    length.second = { 9, 0 };
    EXPECT_EQ(doc.editOverlays([&](std::span<viewmodel::FrameOverlays> frames) { frames[0].lengths.add(length); }), 1);
    EXPECT_EQ(doc.changeFrames([](imaging::FrameImage& frame, int) { return frame.selectRectangle(0, 0, 9, 9); }), 1);
    ASSERT_TRUE(doc.undo(0));
    EXPECT_FALSE(doc.frame()->hasSelection());
    EXPECT_EQ(doc.overlays().lengths.count(), 1U);
    ASSERT_TRUE(doc.undo(0));
    EXPECT_EQ(doc.overlays().lengths.count(), 0U);
    EXPECT_FALSE(doc.canUndo(0));
    ASSERT_TRUE(doc.redo(0));
    EXPECT_EQ(doc.overlays().lengths.count(), 1U);
}
