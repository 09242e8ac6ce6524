#include "dicom/TagDictionary.h"
#include "dicom/UidDictionary.h"

#include <gtest/gtest.h>

namespace TagDictionary = dicom::TagDictionary;
namespace UidDictionary = dicom::UidDictionary;

TEST(TagDictionary, LooksUpTheFirstEntryOfATag)
{
    struct Case {
        base::Tag tag;
        const char* name;
        const char* vr;
    };
    const Case cases[] = {
        {{0x0008, 0x0010}, "Recognition Code", "CS"}, // listed twice, the second without VR
        {{0x0002, 0x0000}, "Group Length", "UL"},
        {{0x0028, 0x0010}, "Rows", "US"},
        {{0x0028, 0x0034}, "Pixel Aspect Ratio", "IS"},
        {{0x0028, 0x1201}, "Red Palette Color Lookup Table Data", "US"},
        {{0x0018, 0x1065}, "Frame Time Vector DS", ""},
        {{0x7FE0, 0x0010}, "Frame Data", "OB"},
        {{0x7FE0, 0x0000}, "Group Length", "UL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TagDictionary::name(c.tag), c.name);
        ASSERT_TRUE(TagDictionary::vr(c.tag).has_value());
        EXPECT_EQ(*TagDictionary::vr(c.tag), c.vr);
    }
    EXPECT_EQ(TagDictionary::name({0x0009, 0x0010}), "");
    EXPECT_FALSE(TagDictionary::vr({0x0009, 0x0010}).has_value());
    EXPECT_FALSE(TagDictionary::vr({0xFFFE, 0xE000}).has_value());
    EXPECT_FALSE(TagDictionary::vr({0xFFFF, 0xFFFF}).has_value());
    EXPECT_FALSE(TagDictionary::vr({0x0000, 0x0000}).has_value());
}

TEST(UidDictionary, NamesExactValuesOnly)
{
    EXPECT_EQ(UidDictionary::entries().size(), 116u);
    EXPECT_EQ(UidDictionary::entries()[21].uid, "1.2.840.10008.1.2.5");
    EXPECT_EQ(UidDictionary::name("1.2.840.10008.5.1.4.1.1.7"), "Secondary Capture Image Storage ");
    EXPECT_EQ(UidDictionary::name("1.2.840.10008.1.2.4.70"),
              "JPEG Lossless, Non-Hierarchical,First-Order Prediction (Process 14 [Selection Value 1])");
    EXPECT_EQ(UidDictionary::name("1.2.840.10008.1.2.4.80"), "JPEG-LS Lossless Image Compression");
    EXPECT_FALSE(UidDictionary::name("1.2.840.10008.5.1.4.1.1.7 ").has_value());
    EXPECT_FALSE(UidDictionary::name("").has_value());
}
