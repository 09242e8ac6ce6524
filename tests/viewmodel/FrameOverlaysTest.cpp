#include "view/model/FrameOverlays.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace viewmodel {
namespace {

TextAnnotation annotation(const char* text, Point position)
{
    TextAnnotation record;
    record.text = text;
    record.position = position;
    record.boxSize = { 30, 12 };
    return record;
}

const TextAnnotation A = annotation("A", { 10, 10 });
const TextAnnotation B = annotation("B", { 50, 50 });

// Frames 0 and 2 hold A, frame 1 holds B only.
std::vector<FrameOverlays> threeFrames()
{
    std::vector<FrameOverlays> frames(3);
    frames[0].annotations.add(A);
    frames[1].annotations.add(B);
    frames[2].annotations.add(B);
    frames[2].annotations.add(A);
    return frames;
}

std::vector<std::size_t> annotationCounts(const std::vector<FrameOverlays>& frames)
{
    std::vector<std::size_t> counts;
    for (const FrameOverlays& frame : frames)
        counts.push_back(frame.annotations.count());
    return counts;
}

TEST(FrameOverlays, ListFindsTheFirstEqualAndTheFirstHitRecord)
{
    const std::vector<FrameOverlays> frames = threeFrames();
    const OverlayList<TextAnnotation>& list = frames[2].annotations;
    EXPECT_EQ(list.findEqual(A), 1U);
    EXPECT_EQ(list.findEqual(annotation("A", { 11, 10 })), std::nullopt);
    EXPECT_EQ(list.hitTest({ 55, 55 }), 0U);
    EXPECT_EQ(list.hitTest({ 5, 5 }), std::nullopt);
    std::vector<FrameOverlays> copy = frames;
    EXPECT_FALSE(copy[0].annotations.remove(1)); // past the end: nothing changes
    EXPECT_FALSE(copy[0].moveAnnotation(1, { 1, 1 }));
    EXPECT_EQ(annotationCounts(copy), (std::vector<std::size_t> { 1, 1, 2 }));
}

TEST(FrameOverlays, EditsReachingSeveralFrames)
{
    const TextAnnotation edited = annotation("A2", { 10, 10 });
    struct Case { const char* name; std::size_t (*edit)(std::span<FrameOverlays>); std::size_t changed;
        std::vector<std::size_t> counts; std::vector<bool> holdsA; };
    const Case cases[] = {
        { "add to every frame", [](std::span<FrameOverlays> f) { return addToEveryFrame(f, B); }, 3, { 2, 2, 3 },
            { true, false, true } },
        { "add to all but the current, twice",
            [](std::span<FrameOverlays> f) { return addToOtherFrames(f, 0, A) + addToOtherFrames(f, 0, A); }, 4,
            { 1, 3, 4 }, { true, true, true } },
        { "remove where equal", [](std::span<FrameOverlays> f) { return removeEqualFromEveryFrame(f, A); }, 2,
            { 0, 1, 1 }, { false, false, false } },
        { "replace or add",
            [](std::span<FrameOverlays> f) { return replaceEqualInEveryFrame(f, A, annotation("A2", { 10, 10 })); },
            3, { 1, 2, 2 }, { false, false, false } },
        { "move where equal", [](std::span<FrameOverlays> f) { return moveEqualAnnotations(f, A, { 3, -2 }); }, 2,
            { 1, 1, 2 }, { false, false, false } },
    };
    for (const Case& c : cases) {
        std::vector<FrameOverlays> frames = threeFrames();
        EXPECT_EQ(c.edit(frames), c.changed) << c.name;
        EXPECT_EQ(annotationCounts(frames), c.counts) << c.name;
        std::vector<bool> holdsA;
        for (const FrameOverlays& frame : frames)
            holdsA.push_back(frame.annotations.findEqual(A).has_value());
        EXPECT_EQ(holdsA, c.holdsA) << c.name;
    }
    std::vector<FrameOverlays> frames = threeFrames();
    replaceEqualInEveryFrame<TextAnnotation>(frames, A, edited);
    EXPECT_EQ(frames[2].annotations.findEqual(edited), 1U); // in place, not appended
    moveEqualAnnotations(frames, edited, { 3, -2 });
    EXPECT_EQ(frames[1].annotations.at(1)->position, (Point { 13, 8 }));
}

TEST(FrameOverlays, EachKindHasItsOwnList)
{
    std::vector<FrameOverlays> frames(2);
    LengthMeasurement length;
    length.second = { 9, 0 };
    addToEveryFrame(std::span(frames), length);
    frames[1].annotations.add(A);
    EXPECT_EQ(removeEqualFromEveryFrame(std::span(frames), length), 2U);
    EXPECT_EQ(frames[1].lengths.count(), 0U);
    EXPECT_EQ(frames[1].annotations.count(), 1U);
}

TEST(FrameOverlays, MoveOffsetIsTheDragOverTheZoomTruncated)
{
    constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
    struct Case { const char* name; Point press; Point release; double zoom; MoveLock lock; Point offset; };
    const Case cases[] = {
        { "zoom 2", { 10, 10 }, { 25, 4 }, 2.0, {}, { 7, -3 } },
        { "shift keeps x", { 10, 10 }, { 25, 4 }, 2.0, { true, false }, { 0, -3 } },
        { "control keeps y", { 10, 10 }, { 25, 4 }, 2.0, { false, true }, { 7, 0 } },
        { "zoom 0", { 10, 10 }, { 25, 4 }, 0.0, {}, { 0, 0 } },
        { "no overflow", { IntMin, IntMax }, { IntMax, IntMin }, 0.001, {}, { IntMax, IntMin } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(annotationMoveOffset(c.press, c.release, c.zoom, c.lock), c.offset) << c.name;

    FrameOverlays frame;
    frame.annotations.add(annotation("edge", { IntMax - 1, 0 }));
    frame.moveAnnotation(0, { 5, 0 });
    EXPECT_EQ(frame.annotations.at(0)->position.x, IntMax); // held at the end, not wrapped
}

} // namespace
} // namespace viewmodel
