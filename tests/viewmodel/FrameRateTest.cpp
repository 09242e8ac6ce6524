#include "view/model/FrameRate.h"

#include <gtest/gtest.h>

#include <limits>

namespace viewmodel {
namespace {

TEST(FrameRate, EachIsAThousandOverTheOtherAndNothingBelowOrAtZero)
{
    struct Case {
        double value;
        const char* other;
    };
    for (const Case& c : { Case { 40.0, "25.00" }, Case { 25.0, "40.00" }, Case { 66.67, "15.00" }, Case { 0.0, "0.00" },
                           Case { -5.0, "0.00" }, Case { std::numeric_limits<double>::quiet_NaN(), "0.00" } })
        EXPECT_EQ(frameRateText(otherFrameRate(c.value)), c.other) << c.value;
}

} // namespace
} // namespace viewmodel
