#include "dicom/Anonymizer.h"

#include <gtest/gtest.h>

using dicom::AnonOptionsError;

namespace {

struct OptionsCase {
    const char* name;
    const char* text;
    AnonOptionsError error;
    int line;
    const char* key;
    int offSwitch; // the one switch turned off, -1 for none
    bool attention;
    bool profile;
};

class OptionsText : public testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsText, SetsTheNamedSwitchesOrNamesTheFaultyLine)
{
    const auto& c = GetParam();
    auto options = dicom::AnonOptions::defaults();
    const auto parsed = dicom::parseAnonOptions(c.text, options);
    EXPECT_EQ(parsed.error, c.error);
    EXPECT_EQ(parsed.line, c.line);
    EXPECT_EQ(parsed.key, c.key);
    for (std::size_t i = 0; i < dicom::AnonSwitchCount; ++i)
        EXPECT_EQ(options.on[i], static_cast<int>(i) != c.offSwitch) << dicom::anonSwitches()[i].key;
    EXPECT_EQ(options.attention, c.attention);
    EXPECT_EQ(options.basicProfile, c.profile);
}

constexpr auto None = AnonOptionsError::None;
constexpr auto BadValue = AnonOptionsError::BadValue;
constexpr auto UnknownKey = AnonOptionsError::UnknownKey;

INSTANTIATE_TEST_SUITE_P(Cases, OptionsText,
    testing::Values(
        OptionsCase {"empty", "", None, 0, "", -1, true, false},
        OptionsCase {"keyOff", "PatientsName=0\n", None, 0, "", 0, true, false},
        OptionsCase {"keyOnStaysOn", "PatientsName=1", None, 0, "", -1, true, false},
        OptionsCase {"blanksAndCrlf", "  ImageComments = 0 \r\n", None, 0, "", 35, true, false},
        OptionsCase {"commentsSkipped", "# PatientsName=0\n; ImageComments=0\nAttention=0\n", None, 0, "", -1, false, false},
        OptionsCase {"sectionAndBlankLines", "[Anonymizing Options]\n\n \nBasicProfile=1\n", None, 0, "", -1, true, true},
        OptionsCase {"unknownKeyOnLine3", "PatientsName=0\n\nNoSuchKey=1\nAttention=0\n", UnknownKey, 3, "NoSuchKey", 0, true, false},
        OptionsCase {"valueTwo", "# x\nAttention=2\n", BadValue, 2, "Attention", -1, true, false},
        OptionsCase {"noEquals", "PatientsName", BadValue, 1, "PatientsName", -1, true, false},
        OptionsCase {"emptyValue", "PatientsName=", BadValue, 1, "PatientsName", -1, true, false},
        OptionsCase {"otherSection", "[Settings]", BadValue, 1, "[Settings]", -1, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
