#include "view/model/OverlayRecords.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace viewmodel {
namespace {

TEST(OverlayRecords, TextIsCutAtTheLimitOnACharacterBoundary)
{
    using namespace std::string_literals;
    struct Case { const char* name; std::string text; std::size_t limit; std::string kept; };
    const Case cases[] = {
        { "fits", "abc", 5, "abc" },
        { "plain cut", "abcdef", 3, "abc" },
        { "two-byte character across the limit", "ab\xC3\xA9", 3, "ab" },
        { "two-byte character at the limit", "ab\xC3\xA9", 4, "ab\xC3\xA9" },
        { "three-byte character, one byte in", "a\xE2\x82\xAC", 2, "a" },
        { "three-byte character, two bytes in", "a\xE2\x82\xAC", 3, "a" },
        { "zero byte ends the text", "ab\0cd"s, 10, "ab" },
        { "not UTF-8: cut where it stands", "a\x80\x80\x80\x80\x80", 4, "a\x80\x80\x80" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(boundedUtf8(c.text, c.limit), c.kept) << c.name;
}

TEST(OverlayRecords, EqualOnlyWhenEveryFieldIsEqual)
{
    TextAnnotation base;
    base.text = "Left";
    base.position = { 10, 20 };
    base.boxSize = { 30, 12 };
    struct Case { const char* name; void (*change)(TextAnnotation&); bool equal; };
    const Case cases[] = {
        { "unchanged", [](TextAnnotation&) {}, true },
        { "same text set again", [](TextAnnotation& a) { a.text.set(std::string("Left\0junk", 9)); }, true },
        { "text", [](TextAnnotation& a) { a.text = "Right"; }, false },
        { "colour", [](TextAnnotation& a) { a.colour = 0x0000FF; }, false },
        { "position", [](TextAnnotation& a) { a.position.x += 1; }, false },
        { "face", [](TextAnnotation& a) { a.font.face = "Courier"; }, false },
        { "character set", [](TextAnnotation& a) { a.charSet = 0; }, false },
        { "hidden", [](TextAnnotation& a) { a.hidden = true; }, false },
    };
    for (const Case& c : cases) {
        TextAnnotation other = base;
        c.change(other);
        EXPECT_EQ(other == base, c.equal) << c.name;
    }
    // Texts and faces differing only past their limits are the same.
    TextAnnotation longer = base;
    TextAnnotation longest = base;
    longer.text.set(std::string(AnnotationTextLimit, 'y') + "1");
    longest.text.set(std::string(AnnotationTextLimit, 'y') + "2");
    longer.font.face = std::string(FaceNameLimit, 'f') + "1";
    longest.font.face = std::string(FaceNameLimit, 'f') + "2";
    EXPECT_EQ(longer, longest);
    EXPECT_EQ(longer.text.str().size(), AnnotationTextLimit);
}

TEST(OverlayRecords, HitTestsUseTheTextBoxOrTheLabelBox)
{
    constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
    TextAnnotation annotation;
    annotation.position = { 10, 20 };
    annotation.boxSize = { 30, 12 };
    TextAnnotation farOut;
    farOut.position = { IntMax - 5, 0 };
    farOut.boxSize = { 30, 12 };
    LengthMeasurement length;
    length.labelBox = { 5, 5, 15, 10 };
    AngleMeasurement angle;
    angle.labelBox = { 5, 5, 15, 10 };
    struct Case { const char* name; bool hit; bool expected; };
    const Case cases[] = {
        { "annotation corner", annotation.isHitAt({ 10, 20 }), true },
        { "annotation last pixel", annotation.isHitAt({ 39, 31 }), true },
        { "annotation right of box", annotation.isHitAt({ 40, 20 }), false },
        { "box at the coordinate end", farOut.isHitAt({ IntMax, 3 }), true },
        { "length label", length.isHitAt({ 14, 9 }), true },
        { "length label right edge", length.isHitAt({ 15, 5 }), false },
        { "angle label", angle.isHitAt({ 5, 5 }), true },
        { "angle below label", angle.isHitAt({ 5, 10 }), false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.hit, c.expected) << c.name;
}

} // namespace
} // namespace viewmodel
