#include "export/ReportText.h"

#include "ReportTestSupport.h"

#include <gtest/gtest.h>

using exporting::CharacterSet;

namespace {

struct TextCase {
    const char* name;
    CharacterSet set;
    std::string bytes;
    std::string html;
    std::string rtf;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReportText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReportText, DecodesAndEscapes)
{
    const auto text = exporting::decodeText(GetParam().bytes, GetParam().set);
    EXPECT_EQ(exporting::htmlText(text), GetParam().html);
    EXPECT_EQ(exporting::rtfText(text), GetParam().rtf);
}

INSTANTIATE_TEST_SUITE_P(Sets, ReportText, ::testing::Values(
    TextCase {"Latin1", CharacterSet::Latin1, "Jos\xE9", "Jos&#233;", "Jos\\u233?"},
    TextCase {"Utf8Euro", CharacterSet::Utf8, "\xE2\x82\xAC", "&#8364;", "\\u8364?"},
    TextCase {"Utf8AboveBmp", CharacterSet::Utf8, "\xF0\x9F\x98\x80", "&#128512;", "\\u-10179?\\u-8704?"},
    TextCase {"Utf8Broken", CharacterSet::Utf8, "a\xC3", "a&#65533;", "a\\u-3?"},
    TextCase {"Utf8Overlong", CharacterSet::Utf8, "\xC0\xAF", "&#65533;&#65533;", "\\u-3?\\u-3?"},
    TextCase {"Greek", CharacterSet::Greek, "\xC1\xE2", "&#913;&#946;", "\\u913?\\u946?"},
    TextCase {"Cyrillic", CharacterSet::Cyrillic, "\xC0", "&#1056;", "\\u1056?"},
    TextCase {"Latin2", CharacterSet::Latin2, "\xA3\xF9", "&#321;&#367;", "\\u321?\\u367?"},
    TextCase {"Iso2022Escape", CharacterSet::Greek, "A\x1B-F\xC1", "A&#913;", "A\\u913?"},
    TextCase {"Controls", CharacterSet::Latin1, "a\x01\r\n\x7F\x85z", "a?????z", "az"},
    TextCase {"Markup", CharacterSet::Latin1, "<>&\"\\{}", "&lt;&gt;&amp;&quot;\\{}", "<>&\"\\\\\\{\\}"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SetCase {
    const char* name;
    const char* term; // nullptr: no (0008,0005)
    CharacterSet set;
};

void PrintTo(const SetCase& c, std::ostream* os)
{
    *os << c.name;
}

class DatasetCharacterSet : public ::testing::TestWithParam<SetCase> {};

TEST_P(DatasetCharacterSet, ReadsTheFirstNonEmptyValue)
{
    auto bytes = reporttest::part10();
    if (GetParam().term != nullptr)
        bytes.element(0x0008, 0x0005, "CS", GetParam().term);
    EXPECT_EQ(exporting::characterSetOf(reporttest::readDataset(bytes)), GetParam().set);
}

INSTANTIATE_TEST_SUITE_P(Terms, DatasetCharacterSet, ::testing::Values(
    SetCase {"Absent", nullptr, CharacterSet::Latin1},
    SetCase {"Utf8", "ISO_IR 192", CharacterSet::Utf8},
    SetCase {"Cyrillic", "ISO_IR 144", CharacterSet::Cyrillic},
    SetCase {"Iso2022AfterDefault", "\\ISO 2022 IR 126", CharacterSet::Greek},
    SetCase {"Latin2", "ISO_IR 101", CharacterSet::Latin2},
    SetCase {"Unknown", "GB18030 ", CharacterSet::Latin1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlainText, WritesUtf8WithoutControls)
{
    EXPECT_EQ(exporting::plainText(U"\u00E9\u20AC\U0001F600a\tb"), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" "ab");
}

} // namespace
