#include "imaging/RegionMask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "imaging/FrameImage.h"

namespace imaging {
namespace {

TEST(RegionMask, RectangleOutlinesAndCounts)
{
    struct Case {
        const char* name;
        RegionBox requested;
        bool selected;
        RegionBox box;
        std::size_t outlinePoints;
        std::uint64_t pixels;
    };
    const Case cases[] = {
        {"3 x 3", {10, 10, 12, 12}, true, {10, 10, 12, 12}, 12, 9},
        {"2 x 2 stays", {0, 0, 1, 1}, true, {0, 0, 1, 1}, 8, 4},
        {"right and bottom clamped", {15, 16, 50, 90}, true, {15, 16, 19, 19}, 18, 20},
        {"left and top clamped", {-5, -7, 2, 1}, true, {0, 0, 2, 1}, 10, 6},
        {"reversed pairs ordered", {12, 12, 10, 10}, true, {10, 10, 12, 12}, 12, 9},
        {"degenerate column", {4, 2, 4, 9}, false, {0, 0, 19, 19}, 0, 400},
        {"outside clamps to a line", {30, 2, 40, 9}, false, {0, 0, 19, 19}, 0, 400},
    };
    for (const Case& c : cases) {
        RegionMask mask(20, 20);
        mask.selectRectangle(c.requested.left, c.requested.top, c.requested.right, c.requested.bottom);
        EXPECT_EQ(mask.hasSelection(), c.selected) << c.name;
        EXPECT_EQ(mask.box(), c.box) << c.name;
        EXPECT_EQ(mask.outline().size(), c.outlinePoints) << c.name;
        EXPECT_EQ(mask.pixelCount(), c.pixels) << c.name;
        EXPECT_EQ(mask.historyCount(), 1u) << c.name; // a degenerate rectangle records a state too
    }
}

TEST(RegionMask, ThreeByThreeMarksOneInsidePixel)
{
    RegionMask mask(20, 20);
    mask.selectRectangle(10, 10, 12, 12);
    int inside = 0, border = 0;
    for (std::int32_t y = 0; y < 20; ++y)
        for (std::int32_t x = 0; x < 20; ++x) {
            inside += mask.valueAt(x, y) == RegionMask::kInside;
            border += mask.valueAt(x, y) == RegionMask::kOutline;
        }
    EXPECT_EQ(inside, 1);
    EXPECT_EQ(border, 8);
    EXPECT_TRUE(mask.isSelected(11, 11));
    EXPECT_FALSE(mask.isSelected(13, 11));
    EXPECT_FALSE(mask.isSelected(-1, 11));
    EXPECT_FALSE(mask.isSelected(11, 20));
    EXPECT_EQ(mask.boxExclusive(), (RegionBox{10, 10, 13, 13}));
}

TEST(RegionMask, InversionOfTheWholeImageIsEmpty)
{
    RegionMask mask(5, 4);
    mask.selectRectangle(0, 0, 4, 3);
    mask.invertSelection();
    EXPECT_FALSE(mask.hasSelection());
    EXPECT_EQ(mask.pixelCount(), 20u);
    EXPECT_EQ(mask.box(), (RegionBox{0, 0, 4, 3}));
}

TEST(RegionMask, InversionOutlinesTheRestOnce)
{
    RegionMask mask(6, 5);
    mask.selectRectangle(1, 1, 3, 3);
    mask.invertSelection();
    ASSERT_TRUE(mask.hasSelection());
    EXPECT_EQ(mask.pixelCount(), 30u - 9u);
    EXPECT_EQ(mask.box(), (RegionBox{0, 0, 5, 4}));
    std::set<std::pair<int, int>> points;
    for (const OutlinePoint& p : mask.outline())
        EXPECT_TRUE(points.insert({p.x, p.y}).second) << p.x << "," << p.y;
    for (const auto& [x, y] : points)
        EXPECT_EQ(mask.valueAt(x, y), RegionMask::kOutline);
    EXPECT_TRUE(points.count({4, 2}));  // right of the hole
    EXPECT_FALSE(points.count({1, 1})); // inside the hole
    EXPECT_FALSE(mask.isSelected(2, 2));
}

TEST(RegionMask, ZoomedOutline)
{
    RegionMask mask(10, 10);
    mask.selectRectangle(2, 2, 5, 5);
    const auto doubled = mask.outline(2.0);
    ASSERT_FALSE(doubled.empty());
    // Source column of scaled column j is trunc(j / 2 + 0.5): columns 3..10.
    EXPECT_EQ(mask.boxExclusive(2.0), (RegionBox{3, 3, 11, 11}));
    EXPECT_EQ(doubled.size(), 28u); // the border of an 8 x 8 square
    EXPECT_TRUE(mask.outline(0.0).empty());
    EXPECT_TRUE(mask.outline(-1.0).empty());
    EXPECT_TRUE(mask.outline(0.01).empty() || mask.outline(0.01).size() == 1);
    EXPECT_EQ(mask.outline(1.0).size(), 16u);

    // A selection on the far edge scaled up stays within the scaled image.
    RegionMask edge(3, 3);
    edge.selectRectangle(1, 1, 2, 2);
    const auto scaled = edge.outline(2.0);
    for (const OutlinePoint& p : scaled) {
        EXPECT_LT(p.x, 6);
        EXPECT_LT(p.y, 6);
    }
    // A huge zoom must not allocate the whole scaled image.
    RegionMask big(4000, 4000);
    big.selectRectangle(10, 10, 12, 12);
    EXPECT_EQ(big.outline(50.0).size(), 4u * 150u - 4u);
}

// The zoomed outline by its definition: every scaled pixel takes the mask byte
// of source (trunc(W / W' j + 0.5), trunc(H / H' i + 0.5)) inside the bounding
// box; selected pixels on the scaled image's edge or next to an unselected one
// are the outline, in row order.
std::vector<OutlinePoint> zoomedOutlineByDefinition(const RegionMask& mask, double scale)
{
    const auto w = static_cast<std::int32_t>(std::trunc(scale * mask.width() + 0.5));
    const auto h = static_cast<std::int32_t>(std::trunc(scale * mask.height() + 0.5));
    const RegionBox box = mask.boxExclusive(1.0);
    auto selected = [&](std::int32_t i, std::int32_t j) {
        if (i < 0 || j < 0 || i >= h || j >= w)
            return false;
        const auto r = static_cast<std::int32_t>(std::trunc(static_cast<double>(mask.height()) / h * i + 0.5));
        const auto c = static_cast<std::int32_t>(std::trunc(static_cast<double>(mask.width()) / w * j + 0.5));
        return r >= box.top && r < box.bottom && c >= box.left && c < box.right && mask.isSelected(c, r);
    };
    std::vector<OutlinePoint> points;
    for (std::int32_t i = 0; i < h; ++i)
        for (std::int32_t j = 0; j < w; ++j)
            if (selected(i, j)
                && (i == 0 || j == 0 || i == h - 1 || j == w - 1 || !selected(i - 1, j) || !selected(i + 1, j)
                    || !selected(i, j - 1) || !selected(i, j + 1)))
                points.push_back({j, i});
    return points;
}

TEST(RegionMask, ZoomedOutlinesFollowTheirDefinition)
{
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const std::int32_t width = 1 + static_cast<std::int32_t>(random() % 23);
        const std::int32_t height = 1 + static_cast<std::int32_t>(random() % 23);
        RegionMask mask(width, height);
        auto coordinate = [&](std::int32_t size) { return static_cast<std::int32_t>(random() % (size + 4)) - 2; };
        mask.selectRectangle(coordinate(width), coordinate(height), coordinate(width), coordinate(height));
        if (round % 2 == 1)
            mask.invertSelection();
        for (const double scale : {0.2, 0.37, 0.5, 0.75, 1.5, 2.0, 3.3, 8.0}) {
            const auto outline = mask.outline(scale);
            const std::vector<OutlinePoint> expected = zoomedOutlineByDefinition(mask, scale);
            ASSERT_EQ(std::vector<OutlinePoint>(outline.begin(), outline.end()), expected)
                << width << " x " << height << " at " << scale << ", round " << round;
            if (expected.empty())
                continue;
            RegionBox box{expected[0].x, expected[0].y, expected[0].x + 1, expected[0].y + 1};
            for (const OutlinePoint& p : expected)
                box = RegionBox{std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x + 1),
                                std::max(box.bottom, p.y + 1)};
            EXPECT_EQ(mask.boxExclusive(scale), box);
        }
    }
}

// An inverted selection spans the whole image; at the largest zoom its outline
// is the border of the scaled selection plus the pixels beside the scaled hole.
// This must not build a scaled mask of the selection's box (256 MB here).
TEST(RegionMask, ZoomedOutlineOfAWholeImageSelection)
{
    RegionMask mask(2000, 2000);
    mask.selectRectangle(10, 10, 12, 12);
    mask.invertSelection();
    // Scaled rows and columns from 15996 on round to source 2000, past the
    // image; scaled columns 76..99 come from source columns 10..12, so the
    // hole is 24 x 24 with 4 x 24 pixels beside it.
    EXPECT_EQ(mask.outline(8.0).size(), (4u * 15996u - 4u) + 4u * 24u);
    EXPECT_EQ(mask.boxExclusive(8.0), (RegionBox{0, 0, 15996, 15996}));
    // A zoom no view offers gives no outline instead of exhausting memory.
    EXPECT_TRUE(mask.outline(1e6).empty());
    EXPECT_TRUE(mask.outline(std::numeric_limits<double>::max()).empty());
}

TEST(RegionMask, ImageUndoStepsThroughSelections)
{
    auto frame = std::move(FrameImage::fromSamples8(std::vector<std::uint8_t>(64, 1), SampleKind::Grey, 8, 8)).value();
    ASSERT_TRUE(frame.selectRectangle(1, 1, 4, 4));
    ASSERT_TRUE(frame.invertSelection());
    EXPECT_EQ(frame.selectionPixelCount(), 64u - 16u);
    ASSERT_TRUE(frame.undo());
    EXPECT_EQ(frame.selectionPixelCount(), 16u);
    EXPECT_EQ(frame.selectionBox(1.0), (RegionBox{1, 1, 5, 5}));
    ASSERT_TRUE(frame.undo());
    EXPECT_FALSE(frame.hasSelection());
    EXPECT_EQ(frame.selectionPixelCount(), 64u);
    ASSERT_TRUE(frame.redo());
    ASSERT_TRUE(frame.redo());
    EXPECT_EQ(frame.selectionPixelCount(), 48u);
    ASSERT_TRUE(frame.removeSelection());
    EXPECT_FALSE(frame.invertSelection()); // nothing selected: nothing recorded
    EXPECT_EQ(frame.image8()->actions().size(), 3u);
}

TEST(RegionMask, CopySelectionBlacksOutTheRest)
{
    std::vector<std::uint8_t> samples(36);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(10 + i);
    auto frame = std::move(FrameImage::fromSamples8(samples, SampleKind::Grey, 6, 6)).value();
    auto empty = frame.copySelection();
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->width(), 0);
    EXPECT_EQ(empty->height(), 0);

    ASSERT_TRUE(frame.selectRectangle(0, 0, 3, 3));
    ASSERT_TRUE(frame.invertSelection()); // an L shape whose box is the whole image
    auto copy = frame.copySelection();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->width(), 6);
    EXPECT_EQ(copy->imageRow(0)[0], 0);   // in the hole
    EXPECT_EQ(copy->imageRow(0)[5], 15);  // selected, identity window
    EXPECT_EQ(copy->imageRow(5)[0], 40);
}

} // namespace
} // namespace imaging
