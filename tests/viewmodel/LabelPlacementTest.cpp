#include "view/model/LabelPlacement.h"

#include <gtest/gtest.h>

namespace viewmodel {
namespace {

constexpr Size Image { 512, 512 };
constexpr Size Label { 20, 10 };
constexpr Size Wide { 600, 10 };

TEST(LabelPlacement, LengthLabelIsCentredOnTheSegmentAndKeptOnTheImage)
{
    struct Case { const char* name; Point first; Point second; Size text; Rect box; };
    const Case cases[] = {
        { "centred", { 10, 10 }, { 50, 30 }, Label, { 20, 15, 40, 25 } },
        { "either end first", { 50, 30 }, { 10, 10 }, Label, { 20, 15, 40, 25 } },
        { "odd half toward zero", { 0, 0 }, { 9, 0 }, { 4, 2 }, { 3, 0, 7, 2 } },
        { "held off the right edge", { 500, 100 }, { 511, 100 }, { 40, 10 }, { 472, 95, 512, 105 } },
        { "wider than the image, left", { 10, 10 }, { 20, 10 }, Wide, { 0, 5, 600, 15 } },
        { "wider than the image, right", { 500, 10 }, { 510, 10 }, Wide, { 0, 5, 600, 15 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(lengthLabelBox(c.first, c.second, c.text, Image), c.box) << c.name;
}

TEST(LabelPlacement, AngleLabelSitsOffTheVertexAndIsKeptOnTheImage)
{
    struct Case { const char* name; Point vertex; Point first; Point second; Size text; Rect box; };
    const Case cases[] = {
        { "above left", { 100, 100 }, { 150, 120 }, { 150, 80 }, Label, { 77, 87, 97, 97 } },
        { "below right", { 100, 100 }, { 50, 80 }, { 50, 120 }, Label, { 103, 103, 123, 113 } },
        { "held at the origin", { 1, 1 }, { 1, 50 }, { 50, 1 }, Label, { 0, 0, 20, 10 } },
        { "held at the far corner", { 510, 510 }, { 400, 400 }, { 400, 500 }, Label, { 492, 502, 512, 512 } },
        { "wider than the image", { 5, 5 }, { 5, 0 }, { 0, 5 }, Wide, { 0, 8, 600, 18 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(angleLabelBox(c.vertex, c.first, c.second, c.text, Image), c.box) << c.name;
}

} // namespace
} // namespace viewmodel
