#include "view/model/DefaultAnnotations.h"

#include <gtest/gtest.h>

using namespace viewmodel;

namespace {

// Every byte 6 pixels wide and every text 10 high.
Size fixedWidth(std::string_view text) { return { static_cast<std::int32_t>(text.size()) * 6, 10 }; }

} // namespace

TEST(DefaultAnnotations, RowsCarryTheirSeparatorsPrefixesAndRunOnFromEachOther)
{
    CaptionValues values;
    values.patientName = "DOE JOHN";
    values.patientSex = "M";
    values.birthDate = "19700101";
    values.patientId = "123";
    values.studyDate = "20240102";
    const std::vector<PlacedText> expected {
        { " DOE JOHN", { 31, 29 } },
        { " , M", { 31 + 9 * 6, 29 } },
        { ", 19700101", { 31 + 13 * 6, 29 } },
        { " PID:123", { 31, 39 } },
        { " , SD:20240102", { 31 + 8 * 6, 39 } },
    };
    EXPECT_EQ(defaultAnnotationLayout(values, fixedWidth), expected);
}

TEST(DefaultAnnotations, EmptyValuesAddNothingAndTheFirstShownTakesTheLeadingBlank)
{
    CaptionValues values;
    values.patientName = "";
    values.patientSex = "F";
    values.studyId = "7";
    const std::vector<PlacedText> expected {
        { " F", { 31, 29 } },
        { " SID:7", { 31, 39 } },
    };
    EXPECT_EQ(defaultAnnotationLayout(values, fixedWidth), expected);
    EXPECT_TRUE(defaultAnnotationLayout({}, fixedWidth).empty());
}
