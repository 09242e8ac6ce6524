#include "imaging/FrameImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace imaging {
namespace {

// Small stand-ins for the geometry and intensity operations: each makes a new
// level from the top one, as those operations do.
template<typename Level>
imaging::Result<Level> rotate90(const Level& src)
{
    Level dst = src.withSize(src.height, src.width, src.kind);
    const int c = src.channels();
    for (std::int32_t y = 0; y < dst.height; ++y)
        for (std::int32_t x = 0; x < dst.width; ++x)
            for (int k = 0; k < c; ++k)
                dst.pixels[(static_cast<std::size_t>(y) * dst.width + x) * c + k]
                    = src.pixels[(static_cast<std::size_t>(src.height - 1 - x) * src.width + y) * c + k];
    return dst;
}

template<typename Level>
imaging::Result<Level> flip(const Level& src)
{
    Level dst = src.withSize(src.width, src.height, src.kind);
    const std::size_t row = static_cast<std::size_t>(src.width) * src.channels();
    for (std::int32_t y = 0; y < src.height; ++y)
        std::copy_n(src.pixels.begin() + static_cast<std::ptrdiff_t>(y * row), row,
                    dst.pixels.begin() + static_cast<std::ptrdiff_t>((src.height - 1 - y) * row));
    return dst;
}

template<typename Level>
imaging::Result<Level> invert(const Level& src)
{
    Level dst = src.withSize(src.width, src.height, src.kind);
    for (std::size_t i = 0; i < src.pixels.size(); ++i)
        dst.pixels[i] = static_cast<typename decltype(dst.pixels)::value_type>(src.max + src.min - src.pixels[i]);
    return dst;
}

template<typename Level>
imaging::Result<Level> crop(const Level& src)
{
    Level dst = src.withSize(std::max(1, src.width - 1), src.height, src.kind);
    for (std::int32_t y = 0; y < dst.height; ++y)
        for (std::int32_t x = 0; x < dst.width * dst.channels(); ++x)
            dst.pixels[static_cast<std::size_t>(y) * dst.width * dst.channels() + x]
                = src.pixels[static_cast<std::size_t>(y) * src.width * src.channels() + x];
    return dst;
}

auto rotateOp = [](const auto& level) { return rotate90(level); };
auto flipOp = [](const auto& level) { return flip(level); };
auto invertOp = [](const auto& level) { return invert(level); };
auto cropOp = [](const auto& level) { return crop(level); };

FrameImage ctImage(std::int32_t width = 4, std::int32_t height = 3)
{
    std::vector<std::int16_t> samples(static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(i * 100);
    return std::move(FrameImage::fromSamples16(samples, width, height, Window{})).value();
}

TEST(UndoLevels, WindowComesBackBeforeThePixels)
{
    FrameImage frame = ctImage();
    const auto original = frame.image16()->topLevel().pixels;
    const Window initial = frame.window();
    ASSERT_TRUE(frame.applyPixelOperation(rotateOp));
    ASSERT_TRUE(frame.setWindow(Window{300, 200}));
    ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.window(), initial);
    EXPECT_EQ(frame.width(), 3); // still rotated
    ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.width(), 4);
    EXPECT_EQ(frame.image16()->topLevel().pixels, original);
    EXPECT_FALSE(frame.canUndo());
    EXPECT_FALSE(frame.undo());
}

TEST(UndoLevels, NewOperationDropsRedoLevels)
{
    FrameImage frame = ctImage();
    ASSERT_TRUE(frame.applyPixelOperation(rotateOp));
    ASSERT_TRUE(frame.applyPixelOperation(rotateOp));
    ASSERT_TRUE(frame.undo());
    EXPECT_TRUE(frame.canRedo());
    ASSERT_TRUE(frame.applyPixelOperation(invertOp));
    EXPECT_FALSE(frame.canRedo());
    EXPECT_EQ(frame.image16()->levelCount(), 2u);
    EXPECT_FALSE(frame.redo());
}

TEST(UndoLevels, WindowRedoEntryIsGoneAfterAPaletteChange)
{
    FrameImage frame = ctImage();
    ASSERT_TRUE(frame.setWindow(Window{300, 200}));
    ASSERT_TRUE(frame.undo());
    ASSERT_TRUE(frame.setPalette(0, PaletteTable{}));
    const Image16& image = *frame.image16();
    EXPECT_EQ(std::vector<ActionKind>(image.actions().begin(), image.actions().end()),
              std::vector<ActionKind>{ActionKind::Palette});
    EXPECT_FALSE(frame.canRedo());
    EXPECT_EQ(image.windowHistory().size(), 2u); // kept beyond the position
    EXPECT_EQ(image.windowPosition(), 1u);
    ASSERT_TRUE(frame.setWindow(Window{100, 50}));
    EXPECT_EQ(image.windowHistory().size(), 2u);
    EXPECT_EQ(image.windowHistory()[1], (Window{100, 50}));
}

TEST(UndoLevels, FirstPaletteUndoGivesGrayscale)
{
    FrameImage frame = ctImage();
    PaletteTable red;
    for (auto& e : red.entries)
        e = PaletteEntry{255, 0, 0, 0};
    ASSERT_TRUE(frame.setPalette(8, red));
    EXPECT_EQ(frame.displayBitmap()->colourTable(), red);
    ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.paletteNumber(), kGrayscalePalette);
    EXPECT_EQ(frame.displayBitmap()->colourTable(), PaletteTable::grayscale());
    ASSERT_TRUE(frame.redo());
    EXPECT_EQ(frame.paletteNumber(), 8);
    EXPECT_EQ(frame.displayBitmap()->colourTable(), red);
}

TEST(UndoLevels, CanUndoAfterTheFirstWindowChange)
{
    FrameImage frame = ctImage();
    EXPECT_FALSE(frame.canUndo());
    EXPECT_FALSE(frame.canRedo());
    ASSERT_TRUE(frame.setWindow(Window{500, 300}));
    EXPECT_TRUE(frame.canUndo());
    EXPECT_EQ(frame.image16()->topLevelIndex(), 0u);
    ASSERT_TRUE(frame.undo());
    EXPECT_TRUE(frame.canRedo());
    ASSERT_TRUE(frame.redo());
    EXPECT_FALSE(frame.canRedo());
    EXPECT_EQ(frame.window(), (Window{500, 300}));
}

TEST(UndoLevels, SizeChangeDropsSelectionEntriesButFlipKeepsThem)
{
    FrameImage frame = ctImage(6, 4);
    ASSERT_TRUE(frame.selectRectangle(1, 1, 3, 3));
    ASSERT_TRUE(frame.applyPixelOperation(flipOp));
    EXPECT_TRUE(frame.hasSelection());
    EXPECT_EQ(frame.image16()->actions().size(), 2u);

    ASSERT_TRUE(frame.applyPixelOperation(rotateOp));
    EXPECT_FALSE(frame.hasSelection());
    EXPECT_EQ(frame.region()->width(), 4);
    const Image16& image = *frame.image16();
    EXPECT_EQ(std::vector<ActionKind>(image.actions().begin(), image.actions().end()),
              (std::vector<ActionKind>{ActionKind::Pixel, ActionKind::Pixel}));
    EXPECT_EQ(image.actionPosition(), 2u);
}

TEST(UndoLevels, AfterACropUndoSkipsStraightToTheCrop)
{
    FrameImage frame = ctImage(6, 4);
    ASSERT_TRUE(frame.selectRectangle(0, 0, 2, 2));
    ASSERT_TRUE(frame.applyPixelOperation(cropOp));
    EXPECT_FALSE(frame.hasSelection());
    ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.width(), 6);
    EXPECT_FALSE(frame.hasSelection());
    EXPECT_FALSE(frame.canUndo());
}

TEST(UndoLevels, WindowDragLeavesOneEntry)
{
    FrameImage frame = ctImage();
    const Window before = frame.window();
    ASSERT_TRUE(frame.beginWindowChange());
    for (int i = 1; i <= 20; ++i)
        ASSERT_TRUE(frame.setWindow(Window{100 + i, 50 + i}));
    ASSERT_TRUE(frame.endWindowChange(WindowChangeEnd::Restore));
    EXPECT_EQ(frame.window(), before);
    ASSERT_TRUE(frame.setWindow(Window{120, 70}));
    ASSERT_TRUE(frame.rebuildDisplay());
    const Image16& image = *frame.image16();
    EXPECT_EQ(image.actions().size(), 1u);
    EXPECT_EQ(image.windowHistory().size(), 2u);
    ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.window(), before);
    EXPECT_FALSE(frame.canUndo());
}

// A drag given up (Escape, or the button released outside) must not leave
// the bitmap showing a window the image no longer has.
TEST(UndoLevels, RestoredWindowDragShowsTheOldWindowAgain)
{
    FrameImage frame = ctImage();
    const auto before = frame.copyDisplayBitmap();
    ASSERT_TRUE(before.has_value());
    ASSERT_TRUE(frame.beginWindowChange());
    ASSERT_TRUE(frame.setWindow(Window{100, 50}));
    ASSERT_TRUE(frame.rebuildDisplay());
    ASSERT_TRUE(frame.endWindowChange(WindowChangeEnd::Restore));
    const auto bytes = frame.displayBitmap()->bytes();
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), before->bytes().begin(), before->bytes().end()));
}

// Stepping over a size change inside a drag empties the selection history;
// restoring the drag's snapshot must not bring back selection entries that
// then have no state to step to.
TEST(UndoLevels, WindowDragAcrossASizeChangeKeepsEveryOfferedStepWorking)
{
    FrameImage frame = ctImage(4, 3);
    ASSERT_TRUE(frame.applyPixelOperation(cropOp));
    ASSERT_TRUE(frame.selectRectangle(0, 0, 2, 2));
    ASSERT_TRUE(frame.undo()); // the selection can be redone
    ASSERT_TRUE(frame.beginWindowChange());
    ASSERT_TRUE(frame.undo()); // back to 4 x 3: the selection history goes
    ASSERT_TRUE(frame.redo());
    frame.endWindowChange(WindowChangeEnd::Restore);
    int steps = 0;
    while (frame.canRedo() && steps++ < 10)
        ASSERT_TRUE(frame.redo());
    while (frame.canUndo() && steps++ < 20)
        ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.width(), 4);
}

// A selection change after an undo ends the redo history like any other
// change, so the level that could have been redone is freed with it rather
// than held (a full copy of the pixels) until the next pixel operation.
TEST(UndoLevels, SelectionAfterUndoFreesTheLevelThatCanNoLongerBeRedone)
{
    FrameImage frame = ctImage();
    ASSERT_TRUE(frame.applyPixelOperation(invertOp));
    ASSERT_TRUE(frame.undo());
    ASSERT_TRUE(frame.selectRectangle(0, 0, 2, 2));
    EXPECT_FALSE(frame.canRedo());
    EXPECT_EQ(frame.image16()->levelCount(), 0u);
    ASSERT_TRUE(frame.undo());
    EXPECT_FALSE(frame.hasSelection());
    ASSERT_TRUE(frame.redo());
    EXPECT_TRUE(frame.hasSelection());
}

TEST(UndoLevels, WindowDragOverRedoLevelsLeavesNothingToRedo)
{
    FrameImage frame = ctImage();
    ASSERT_TRUE(frame.applyPixelOperation(invertOp));
    ASSERT_TRUE(frame.undo());
    ASSERT_TRUE(frame.beginWindowChange());
    ASSERT_TRUE(frame.setWindow(Window{100, 50}));
    ASSERT_TRUE(frame.endWindowChange(WindowChangeEnd::Restore));
    // The drag dropped the inverted level, so redo must not be offered.
    EXPECT_FALSE(frame.canRedo());
    EXPECT_FALSE(frame.canUndo());
    EXPECT_TRUE(frame.image16()->actions().empty());
}

TEST(UndoLevels, PreviewRestoreBringsBackEverything)
{
    FrameImage frame = ctImage();
    ASSERT_TRUE(frame.setWindow(Window{200, 100}));
    const auto pixels = frame.image16()->topLevel().pixels;
    ASSERT_TRUE(frame.beginPreview());
    ASSERT_TRUE(frame.applyPixelOperation(rotateOp));
    ASSERT_TRUE(frame.setWindow(Window{1, 1}));
    ASSERT_TRUE(frame.endPreview(PreviewEnd::Restore));
    EXPECT_EQ(frame.image16()->topLevel().pixels, pixels);
    EXPECT_EQ(frame.window(), (Window{200, 100}));
    EXPECT_EQ(frame.image16()->actions().size(), 1u);
    EXPECT_FALSE(frame.canRedo());
    EXPECT_FALSE(frame.endPreview(PreviewEnd::Discard)); // no snapshot left
}

TEST(UndoLevels, InconsistentLevelIsRefusedWithoutATrace)
{
    FrameImage frame = ctImage();
    const bool added = frame.applyPixelOperation([](const auto& level) {
        auto broken = level.withSize(level.width, level.height, level.kind);
        broken.pixels.pop_back();
        return imaging::Result<std::decay_t<decltype(broken)>>(std::move(broken));
    });
    EXPECT_FALSE(added);
    EXPECT_EQ(frame.lastError(), ImagingError::InvalidParameters);
    EXPECT_FALSE(frame.canUndo());
    EXPECT_EQ(frame.image16()->levelCount(), 0u);

    const bool failed = frame.applyPixelOperation([](const auto& level) {
        return imaging::Result<std::decay_t<decltype(level)>>(makeError(ImagingError::MemoryAllocation));
    });
    EXPECT_FALSE(failed);
    EXPECT_EQ(frame.lastError(), ImagingError::MemoryAllocation);
    EXPECT_TRUE(frame.image16()->actions().empty());
}

// Random images under random sequences of pixel, window, selection and palette
// changes: undoing everything restores the original exactly and redoing
// everything restores the last state.
struct Snapshot {
    std::vector<std::uint8_t> pixels8;
    std::vector<std::int16_t> pixels16;
    std::int32_t width, height;
    Window window;
    int palette;
    bool selection;
    std::vector<std::uint8_t> bitmap;

    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot snapshotOf(const FrameImage& frame)
{
    Snapshot s{};
    if (frame.image8())
        s.pixels8 = frame.image8()->topLevel().pixels;
    if (frame.image16())
        s.pixels16 = frame.image16()->topLevel().pixels;
    s.width = frame.width();
    s.height = frame.height();
    s.window = frame.window();
    s.palette = frame.paletteNumber();
    s.selection = frame.hasSelection();
    const auto bytes = frame.displayBitmap()->bytes();
    s.bitmap.assign(bytes.begin(), bytes.end());
    return s;
}

FrameImage randomImage(std::mt19937& random)
{
    std::uniform_int_distribution<int> side(1, 9);
    const int width = side(random), height = side(random);
    const int pixels = width * height;
    switch (random() % 3) {
    case 0: {
        std::vector<std::int16_t> samples(static_cast<std::size_t>(pixels));
        std::uniform_int_distribution<int> value(-2000, 5000);
        for (auto& v : samples)
            v = static_cast<std::int16_t>(value(random));
        return std::move(FrameImage::fromSamples16(samples, width, height, Window{})).value();
    }
    case 1: {
        std::vector<std::uint8_t> samples(static_cast<std::size_t>(pixels));
        for (auto& v : samples)
            v = static_cast<std::uint8_t>(random());
        return std::move(FrameImage::fromSamples8(samples, SampleKind::Grey, width, height)).value();
    }
    default: {
        std::vector<std::uint8_t> samples(static_cast<std::size_t>(pixels * 3));
        for (auto& v : samples)
            v = static_cast<std::uint8_t>(random());
        return std::move(FrameImage::fromSamples8(samples, SampleKind::Rgb, width, height)).value();
    }
    }
}

TEST(UndoLevels, PropertyUndoToTheStartAndRedoToTheEnd)
{
    std::mt19937 random(20240601);
    for (int trial = 0; trial < 300; ++trial) {
        FrameImage frame = randomImage(random);
        const Snapshot original = snapshotOf(frame);
        const int steps = static_cast<int>(random() % 25);
        for (int i = 0; i < steps; ++i) {
            switch (random() % 9) {
            case 0: frame.applyPixelOperation(rotateOp); break;
            case 1: frame.applyPixelOperation(flipOp); break;
            case 2: frame.applyPixelOperation(invertOp); break;
            case 3: frame.applyPixelOperation(cropOp); break;
            case 4:
                frame.setWindow(Window{static_cast<std::int32_t>(random() % 600) - 100,
                                       static_cast<std::int32_t>(random() % 900)});
                frame.rebuildDisplay();
                break;
            case 5:
                frame.selectRectangle(static_cast<std::int32_t>(random() % 12) - 2, static_cast<std::int32_t>(random() % 12) - 2,
                                      static_cast<std::int32_t>(random() % 12), static_cast<std::int32_t>(random() % 12));
                break;
            case 6: frame.invertSelection(); break;
            case 7: frame.setPalette(static_cast<int>(random() % 11), PaletteTable{}); break;
            default:
                // Some undo and redo in the middle of the sequence.
                if (random() % 2)
                    frame.undo();
                else
                    frame.redo();
                break;
            }
        }
        // Close the redo tail so that "the end" is the state reached.
        while (frame.canRedo())
            ASSERT_TRUE(frame.redo()) << "trial " << trial;
        const Snapshot last = snapshotOf(frame);
        while (frame.canUndo())
            ASSERT_TRUE(frame.undo()) << "trial " << trial;
        EXPECT_EQ(snapshotOf(frame), original) << "trial " << trial;
        while (frame.canRedo())
            ASSERT_TRUE(frame.redo()) << "trial " << trial;
        const Snapshot redone = snapshotOf(frame);
        EXPECT_EQ(redone.pixels8, last.pixels8) << "trial " << trial;
        EXPECT_EQ(redone.pixels16, last.pixels16) << "trial " << trial;
        EXPECT_EQ(redone.window, last.window) << "trial " << trial;
        EXPECT_EQ(redone.palette, last.palette) << "trial " << trial;
        EXPECT_EQ(redone.bitmap, last.bitmap) << "trial " << trial;
    }
}

} // namespace
} // namespace imaging
