#include "view/model/Measurement.h"
#include "view/model/OverlayFont.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace viewmodel {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();

TEST(Measurement, SpacingThatCannotMeasureCountsAsOneMillimetre)
{
    struct Case { const char* name; std::optional<double> value; double usable; };
    const Case cases[] = {
        { "missing", std::nullopt, 1.0 }, { "zero", 0.0, 1.0 }, { "negative", -0.5, 1.0 },
        { "NaN", NaN, 1.0 }, { "infinite", Inf, 1.0 }, { "minus infinite", -Inf, 1.0 },
        { "valid", 0.7, 0.7 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(usableSpacing(c.value), c.usable) << c.name;
}

TEST(Measurement, PixelSpacingTextGivesRowThenColumn)
{
    struct Case { const char* text; PixelSpacing spacing; };
    const Case cases[] = {
        { "0.5\\0.25", { 0.5, 0.25 } }, { " 0.5 \\ +0.25 ", { 0.5, 0.25 } }, { "0.7", { 0.7, 1.0 } },
{ "abc\\0", { 1.0, 1.0 } }, { "", { 1.0, 1.0 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(pixelSpacingFromText(c.text), c.spacing) << '"' << c.text << '"';
}

TEST(Measurement, LengthIsBetweenPixelCentresWhicheverEndComesFirst)
{
    const PixelSpacing half { 0.5, 0.5 };
    const PixelSpacing rowHalfColumnQuarter { 0.5, 0.25 };
    struct Case { const char* name; Point a; Point b; PixelSpacing spacing; const char* label; };
    const Case cases[] = {
        { "4.5 mm truncated", { 0, 0 }, { 9, 0 }, half, "4mm" },
        { "4.5 mm backwards", { 9, 0 }, { 0, 0 }, half, "4mm" },
        { "one pixel to itself", { 3, 3 }, { 3, 3 }, half, "0mm" },
        { "no spacing", { 0, 0 }, { 9, 0 }, {}, "9mm" },
        { "x in column spacing", { 0, 0 }, { 8, 0 }, rowHalfColumnQuarter, "2mm" },
        { "y in row spacing", { 0, 0 }, { 0, 8 }, rowHalfColumnQuarter, "4mm" },
        { "3-4-5 anisotropic", { 16, 6 }, { 0, 0 }, rowHalfColumnQuarter, "5mm" },
        { "invalid spacing as 1", { 0, 0 }, { 3, 4 }, { -1.0, NaN }, "5mm" },
        { "no overflow", { IntMin, 0 }, { IntMax, 0 }, {}, "2147483647mm" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(lengthLabel(c.a, c.b, c.spacing), c.label) << c.name;
    EXPECT_DOUBLE_EQ(lengthMillimetres({ 9, 0 }, { 0, 0 }, half), 4.5);
}

TEST(Measurement, AngleLabelsInDegreesFromZeroTo180)
{
    struct Case { const char* name; Point vertex; Point first; Point second; const char* label; };
    const Case cases[] = {
        { "half a right angle", { 0, 0 }, { 10, 0 }, { 10, 10 }, "45.00\u00B0" },
        { "right angle, u = 0", { 0, 0 }, { 10, 0 }, { 0, 10 }, "90.00\u00B0" },
        { "second arm of length 0", { 5, 5 }, { 10, 5 }, { 5, 5 }, "90.00\u00B0" },
        { "straight", { 0, 0 }, { 10, 0 }, { -10, 0 }, "180.00\u00B0" },
        { "arms on one line", { 0, 0 }, { 10, 0 }, { 20, 0 }, "0.00\u00B0" },
        { "first arm straight up", { 0, 0 }, { 0, -10 }, { 10, 0 }, "90.00\u00B0" },
        { "first arm straight down", { 0, 0 }, { 0, 10 }, { 10, 10 }, "45.00\u00B0" },
        { "obtuse", { 0, 0 }, { 10, 0 }, { -10, 10 }, "135.00\u00B0" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(angleLabel(angleDegrees(c.vertex, c.first, c.second)), c.label) << c.name;
}

TEST(Measurement, FontPixelHeightScalesWithZoomAndNeverVanishes)
{
    struct Case { const char* name; std::int32_t points; std::int32_t pixelsPerInch; double zoom; std::int32_t pixels; };
    const Case cases[] = {
        { "8 pt at 96 dpi rounds up", 8, 96, 1.0, 11 },
        { "zoom 2 doubles", 8, 96, 2.0, 22 },
        { "zoom 0.1", 8, 96, 0.1, 1 },
        { "tiny at zoom 0.1", 1, 72, 0.1, 1 },
        { "zoom NaN", 8, 96, NaN, 1 },
        { "huge", IntMax, 96, 8.0, MaxFontPixelHeight },
    };
    for (const Case& c : cases)
        EXPECT_EQ(fontPixelHeight(c.points, c.pixelsPerInch, c.zoom), c.pixels) << c.name;
}

} // namespace
} // namespace viewmodel
