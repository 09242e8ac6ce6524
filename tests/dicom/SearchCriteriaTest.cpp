#include "dicom/SearchCriteria.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

dicom::DicomElement textElement(std::uint16_t group, std::uint16_t element, const char* text)
{
    dicom::DicomElement e;
    e.group = group;
    e.element = element;
    e.setValue({reinterpret_cast<const std::uint8_t*>(text), std::strlen(text)});
    return e;
}

struct PatternCase {
    const char* pattern;
    const char* value;
    bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.pattern << " ~ " << c.value; }

class Wildcards : public testing::TestWithParam<PatternCase> {};

TEST_P(Wildcards, MatchWholeValues)
{
    EXPECT_EQ(dicom::wildcardMatch(GetParam().pattern, GetParam().value), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Patterns, Wildcards,
                         testing::Values(PatternCase {"SM*TH", "SMITH", true}, PatternCase {"SM*TH", "SMYTH", true},
                                         PatternCase {"SM?TH", "SMITH", true}, PatternCase {"SM?TH", "SMIITH", false},
                                         PatternCase {"SMITH", "SMITH", true}, PatternCase {"SMITH", "SMITHS", false},
                                         PatternCase {"SMI", "SMITH", false}, PatternCase {"*", "", true},
                                         PatternCase {"S*", "SMITH^JOHN", true}, PatternCase {"*TH", "SMITHS", false},
                                         PatternCase {"A*B*C", "AXXBYYBZC", true}));

struct SearchCase {
    const char* name;
    dicom::SearchCriteria criteria;
    std::vector<dicom::DicomElement> elements;
    bool matches;
};

void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

class Search : public testing::TestWithParam<SearchCase> {};

TEST_P(Search, MatchesTheUsedCriteria)
{
    dicom::DicomDataset dataset;
    dataset.elements = GetParam().elements;
    EXPECT_EQ(dicom::SearchMatcher(GetParam().criteria).matches(dataset), GetParam().matches);
}

dicom::SearchCriteria byName(const char* name)
{
    dicom::SearchCriteria c;
    c.patientName = name;
    return c;
}

dicom::SearchCriteria byDates(const char* from, const char* to)
{
    dicom::SearchCriteria c;
    c.dateFrom = from;
    c.dateTo = to;
    return c;
}

const auto smith = textElement(0x0010, 0x0010, "smith ");
const auto midYear = textElement(0x0008, 0x0020, "20200615");

INSTANTIATE_TEST_SUITE_P(
    Criteria, Search,
    testing::Values(SearchCase {"TrimmedUpperCased", byName(" SMITH"), {smith}, true},
                    SearchCase {"LowerCaseCriterion", byName("sm*"), {smith}, true},
                    SearchCase {"MissingElementFails", byName("SMITH"), {midYear}, false},
                    SearchCase {"StarUnused", byName("*"), {midYear}, true},
                    SearchCase {"QuestionMarkUnused", byName(" ? "), {}, true},
                    SearchCase {"InsideTheYear", byDates("20200101", "20201231"), {midYear}, true},
                    SearchCase {"NextYear", byDates("20200101", "20201231"),
                                {textElement(0x0008, 0x0020, "20210102")}, false},
                    SearchCase {"OnTheBound", byDates("20200615", ""), {midYear}, true},
                    SearchCase {"NoDateWithABound", byDates("", "20201231"), {smith}, false},
                    SearchCase {"ShortBoundMatchesNothing", byDates("2020", ""), {midYear}, false},
                    SearchCase {"ShortDateFails", byDates("20200101", ""), {textElement(0x0008, 0x0020, "2020")},
                                false}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

TEST(Search, NoCriteriaMatchEverything)
{
    EXPECT_TRUE(dicom::SearchMatcher(byName(" * ")).matchesEverything());
    EXPECT_FALSE(dicom::SearchMatcher(byName("A")).matchesEverything());
}

} // namespace
